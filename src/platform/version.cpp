#include "platform/version.h"

#include "core/file_version.h"

namespace vexa::platform {

std::string ProgramFileVersion() { return ProgramVersionText(VEXA_VERSION); }

}  // namespace vexa::platform
