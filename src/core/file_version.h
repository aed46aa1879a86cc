// The version a program file carries in its Windows version resource, as
// the About page shows it.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

// The FileVersion text of the file's version resource, read in the first
// language and code page its translation table lists. "" when the file has
// no resource, the table is missing or empty, that language has no
// FileVersion, or the system has no such resources (everything but Windows).
std::string FileVersionOf(const std::string& path);

// The running program's version as shown to the operator: on Windows what
// its own program file's resource says (FileVersionOf(ProgramPath()), so ""
// when it has none); elsewhere buildVersion.
std::string ProgramVersionText(std::string_view buildVersion);

}  // namespace vexa
