// The program's version as the About page shows it ("1.1.0.135"): on
// Windows what the program file's version resource says (empty when it has
// none), elsewhere the build's version (the CMake project version).
#pragma once

#include <string>

namespace vexa::platform {

// The program file's version text; empty when there is none.
std::string ProgramFileVersion();

}  // namespace vexa::platform
