// Feeds arbitrary bytes to the configuration-file reader: it must never read
// past the data, and whatever it accepts must write back as a 2856-byte image
// that reads the same again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace vexa;
  TGLOB g(TGLOB::NoFile{}, "/cfg");
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
  if (DecodeSettings(bytes, g) == SettingsDecode::kRejected) return 0;
  const auto image = EncodeSettings(g);
  TGLOB again(TGLOB::NoFile{}, "/cfg");
  if (DecodeSettings(image, again) != SettingsDecode::kAccepted) std::abort();
  if (EncodeSettings(again) != image) std::abort();
  (void)DescribeSettings(again);
  return 0;
}
