#include "platform/version.h"

namespace vexa::platform {

std::string ProgramFileVersion() { return VEXA_VERSION; }

}  // namespace vexa::platform
