// vexa-rec config: the stored settings as the program reads them, one
// "Name: value" line per field in file order. Like the program, it creates a
// default vexa.cfg when there is none and replaces one of another version.
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
  TGLOB settings(ConfigDir());
  for (const auto& [name, value] : DescribeSettings(settings)) {
    std::printf("%s: %s\n", name.c_str(), value.c_str());
  }
  if (!FileExists(settings.ConfigPath)) {
    std::fprintf(stderr, "vexa-rec config: cannot create %s; these are the defaults\n",
                 settings.ConfigPath.c_str());
    return 1;
  }
  return 0;
}

}  // namespace vexa::rec
