// Rules of the desktop program that need no window: what the control panel
// shows for a loaded recording, which recording the command line names, how
// the instrument link is described to the operator, and why a folder was not
// taken into a history. The windows call these; tests drive them directly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/atomic_file.h"

#include "core/settings.h"

namespace vexa {

struct TLinkCounters;

// The postfix field's text for a loaded recording: in the file name (not
// the folders above it), the text after the first ")" up to the extension's
// ".", less the one blank the writer puts before a postfix: so
// "2026-12-08 (14-23-05) test.vxa" gives "test", the postfix as it was
// typed, and a postfix holding a dot keeps it. Empty when the name has no
// ")" or no extension after it.
std::string LoadedPostfix(std::string_view path);

// The recording the command-line text names: blanks around it dropped, then
// a pair of double quotes around the whole path. A quote inside a path is
// part of it (Linux allows it in file names).
std::string CommandLinePath(std::string_view text);

// The command-line text of the arguments after the program's name: the
// arguments joined by single blanks, as one string.
std::string CommandLineText(int argc, const char* const* argv);

// The link as the Monitor page shows it: a short line and the details.
struct TLinkStatus {
  enum State { kIdle, kAlive, kSilent };
  State Link = kIdle;
  std::string Line;     // "COM2: alive, 240 frames"
  std::string Details;  // every counter and the device, one per line
};
// running: a recording has the port open; alive: the last read heard the
// instrument; device: what COM port stands for on this machine.
TLinkStatus DescribeLink(bool running, bool alive, int32_t port, std::string_view device,
                         const TLinkCounters& counters, int language);

// Why a folder could not be taken into a folder history; empty for kStored.
std::string FolderChoiceMessage(FolderChoice choice, std::string_view folder, int language);

// The printer the print window offers among `names` (the system's, in its
// order). A stored index alone names another printer once a printer whose
// name sorts before it is added, so the chosen printer's name is kept too:
//   - a stored name that the list holds: that printer;
//   - a stored name the list no longer holds: the system's default printer,
//     else the first;
//   - no stored name (settings from before names were kept): the stored
//     index while it names a printer of the list, else the default, else
//     the first;
// with no printer at all the PDF entry after them (index names.size()).
int OfferedPrinter(const std::vector<std::string>& names, std::string_view storedName, int storedIndex,
                   int defaultIndex);

// The chosen printer's name, kept beside the settings in this file of the
// settings folder (one line, UTF-8): vexa.cfg's format keeps an index only.
inline constexpr char kPrinterFileName[] = "vexa.printer";
// The name stored in configDir; empty when there is none, it cannot be read
// or it is not a name (longer than kPrinterNameMax, control characters).
inline constexpr std::size_t kPrinterNameMax = 1024;
std::string ReadChosenPrinter(const std::string& configDir);
// Replaces the file whole (WriteFileAtomic).
FileResult WriteChosenPrinter(const std::string& configDir, std::string_view name);

}  // namespace vexa
