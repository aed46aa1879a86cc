// The program's version as the About page shows it ("1.1.0.135"). It comes
// from the build (the CMake project version); a Windows build will read it
// from the program file's version resource instead, here and nowhere else.
#pragma once

#include <string>

namespace vexa::platform {

// The program file's version text; empty when there is none.
std::string ProgramFileVersion();

}  // namespace vexa::platform
