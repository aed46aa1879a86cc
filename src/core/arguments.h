// The program's command line as UTF-8, the text every path inside uses.
#pragma once

#include <string>
#include <vector>

namespace vexa {

// argv[0..argc) as UTF-8. Windows hands main its arguments in the ANSI code
// page, which turns every character outside it (Cyrillic on a Western
// system) into "?": there the wide command line is read instead, as the
// program path and the environment already are.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace vexa
