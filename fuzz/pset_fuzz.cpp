// Feeds arbitrary bytes to the preset-file reader: it must never read past
// the data, must keep the list's invariants, and what it read must write
// back to an image that reads the same again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "recording/preset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace vexa;
  TPresets list;
  ParsePresets(std::span<const std::byte>(reinterpret_cast<const std::byte*>(data), size), list);
  if (list.Count < 1 || list.Count > kMaxPresets || list.Current < 0 ||
      list.Current >= list.Count || list.Items[0]->Name != "Default") {
    std::abort();
  }
  const auto image = SerializePresets(list);
  if (list.Count == 1) {  // "Default" alone is never stored: the file is deleted
    if (!image.empty()) std::abort();
    return 0;
  }
  TPresets again;
  const PresetParseResult back = ParsePresets(image, again);
  if (!back.complete || !back.problem.empty() || again.Count != list.Count ||
      again.Current != list.Current || SerializePresets(again) != image) {
    std::abort();
  }
  return 0;
}
