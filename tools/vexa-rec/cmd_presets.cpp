// vexa-rec presets: the preset list as the program loads it, one line per
// preset in list order: index, name, flow-meter port, the visible channels by
// title, the seven colours (0x00BBGGRR, channel order VO2t, Ves, O2, T, V, F,
// M) and "*" on the current preset. Only reads: the file is never rewritten.
#include <cstdio>
#include <string>

#include "commands.h"
#include "core/paths.h"
#include "core/settings.h"
#include "recording/channels.h"
#include "recording/preset.h"

namespace vexa::rec {

int RunPresets(const Args& args) {
  if (!args.empty()) {
    std::fprintf(stderr, "vexa-rec presets: no arguments expected\nusage: vexa-rec presets\n");
    return 2;
  }
  TPresets presets;
  presets.FileName = JoinPath(ConfigDir(), kPresetFileName);
  presets.Load();
  presets.FileName.clear();  // an inspection must not save (or delete) the file
  if (!presets.LoadProblem.empty()) std::fprintf(stderr, "vexa-rec presets: %s\n", presets.LoadProblem.Text(kEnglish).c_str());
  for (int i = 0; i < presets.Count; ++i) {
    const TPreset& p = *presets.Items[i];
    std::string visible;
    for (int c = 0; c < kChannelCount; ++c) {
      if (!p.Visible[c]) continue;
      if (!visible.empty()) visible += ", ";
      visible += kChannelTitle[c];
    }
    std::printf("%2d  \"%s\"  port %d  visible: %s  colours:", i, p.Name.c_str(),
                static_cast<int>(p.FlownPort), visible.empty() ? "none" : visible.c_str());
    for (const uint32_t colour : p.Color) std::printf(" 0x%08X", static_cast<unsigned>(colour));
    std::printf("%s\n", i == presets.Current ? "  *" : "");
  }
  return 0;
}

}  // namespace vexa::rec
