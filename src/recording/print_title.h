// The title lines of a printed chart page: which of the four lines (file,
// date, description, sample interval) appear, in which order, and whether
// the title shows at all. The print window rebuilds them whenever one of its
// check boxes changes; its preview, its Print button and vexa-render print
// the same lines.
//
// The date and the interval are written the way the system writes them
// (its short date and long time, its decimal separator): that part needs the
// locale and lives in platform/print_page.h, which passes it in here.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/settings.h"

namespace vexa {

class TChannel;

struct TitleFormat {
  std::function<std::string(double dateTime)> dateTime;
  std::function<std::string(double seconds)> number;
};

struct PrintTitle {
  std::vector<std::string> lines;
  // Shown when any of the four settings is on, even when the only one is the
  // description and there is none: then the title is visible and empty.
  bool visible = false;
};

// Each line is its caption (Captions 80..83 in settings.AppliedLanguage,
// already ending in a blank) followed by the value: the recording's file name
// without its folder, its start time, its description (only when there is
// one), its sample interval in seconds.
PrintTitle BuildPrintTitle(const TGLOB& settings, const TChannel& channel, const TitleFormat& format);

// Whether the recording has a description to print (the print window enables
// cbDESCR by it). A description of blanks only is none: a session that
// stops without one keeps a single blank, and the file reads back empty.
bool HasPrintableDescription(const TChannel& channel);

// The file's own name: the text after the last path separator ("\" or ":"
// on Windows as well).
std::string FileNameWithoutFolder(const std::string& path);

}  // namespace vexa
