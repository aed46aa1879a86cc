#include "core/file_version.h"

#include "core/paths.h"

namespace vexa {

// Only Windows program files carry version resources.
std::string FileVersionOf(const std::string&) { return {}; }

std::string ProgramVersionText(std::string_view buildVersion) { return std::string(buildVersion); }

}  // namespace vexa
