// The seven channels of a recording, in the order every preset, chart layout
// and file column uses: VO2t, Ves, O2, T, V, F, M.
#pragma once

namespace vexa {

enum ChannelIndex : int { kVO2t = 0, kVes, kO2, kT, kV, kF, kM };
inline constexpr int kChannelCount = 7;

// Series titles, UTF-8. They are also the column names of the recording
// files, so the spelling is fixed: digit zero in "V02t" and "02", no space in
// "Ves(l/min)", and "°" (byte 0xB0 once written as Windows-1251).
inline constexpr const char* kChannelTitle[kChannelCount] = {
    "V02t (l/min)", "Ves(l/min)", "02 (%)", "T (\u00B0C)", "V (l)", "F (1/min)", "M (l/min)",
};

// The range each channel's own axis starts with.
struct AxisRange {
  double min;
  double max;
};
inline constexpr AxisRange kChannelHomeRange[kChannelCount] = {
    {0, 2}, {0, 60}, {0, 25}, {15, 45}, {0, 1}, {0, 80}, {0, 100},
};

}  // namespace vexa
