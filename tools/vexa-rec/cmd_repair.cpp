// vexa-rec repair FILE: completes an interrupted recording (its session was
// killed or lost its power) as the desktop program's question does: the stop
// time of its last whole row and its row count written over the header's
// placeholders, a torn last row cut off first. Anything else is never
// written: exit 1 with the reason.
#include <cstdio>
#include <string>

#include "commands.h"
#include "recording/interrupted.h"

namespace vexa::rec {

int RunRepair(const Args& args) {
  if (args.size() != 1 || args[0].rfind("--", 0) == 0) {
    std::fprintf(stderr, "vexa-rec repair: one recording file expected\nusage: vexa-rec repair FILE\n");
    return 2;
  }
  const TCompletion done = CompleteInterruptedRecording(args[0]);
  if (!done.ok) {
    std::fprintf(stderr, "vexa-rec repair: %s\n", done.Text(kEnglish).c_str());
    return 1;
  }
  std::printf("%s\n", done.Text(kEnglish).c_str());
  return 0;
}

}  // namespace vexa::rec
