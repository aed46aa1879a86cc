// vexa-rec config: the stored settings as the program reads them, one
// "Name: value" line per field in file order. Like the program, it creates a
// default vexa.cfg when there is none; an existing one is only read, never
// written, whatever it holds.
#include <cstdio>

#include "commands.h"
#include "core/atomic_file.h"
#include "core/paths.h"
#include "core/settings.h"

namespace vexa::rec {

int RunConfig(const Args& args) {
  if (!args.empty()) {
    std::fprintf(stderr, "vexa-rec config: no arguments expected\nusage: vexa-rec config\n");
    return 2;
  }
  TGLOB settings(TGLOB::Inspection{}, ConfigDir());
  const TGLOB::LoadResult loaded = settings.Load();
  for (const auto& [name, value] : DescribeSettings(settings)) {
    std::printf("%s: %s\n", name.c_str(), value.c_str());
  }
  switch (loaded) {
    case TGLOB::LoadResult::kUnreadable:
      std::fprintf(stderr, "vexa-rec config: %s\n", settings.LoadProblem.Text(kEnglish).c_str());
      return 1;
    case TGLOB::LoadResult::kRejected:
      std::fprintf(stderr,
                   "vexa-rec config: %s is not a settings file of versions 4 and 2; these are the "
                   "defaults, and the program replaces the file when it next ends\n",
                   settings.ConfigPath.c_str());
      return 0;
    default:
      break;
  }
  if (!FileExists(settings.ConfigPath)) {
    std::fprintf(stderr, "vexa-rec config: cannot create %s; these are the defaults\n",
                 settings.ConfigPath.c_str());
    return 1;
  }
  return 0;
}

}  // namespace vexa::rec
