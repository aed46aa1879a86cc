// The flow meter's frames and the running average kept from them; pure
// functions without I/O.
//
// A frame is 7 bytes: the sync byte 0x55, then three unsigned 16-bit
// little-endian values: V in 0.01 l, F in breaths per minute, M in 0.1 l/min.
// There is no checksum and no end marker.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

inline constexpr uint8_t kSyncByte = 0x55;
inline constexpr size_t kFrameDataSize = 6;  // the bytes after the sync byte
inline constexpr uint8_t kKindAiro = 1;      // gas analyser: known, never read
inline constexpr uint8_t kKindFlown = 2;     // flow meter

struct TFlowValues {
  double V = 0;  // litres
  double F = 0;  // per minute
  double M = 0;  // litres per minute
};

// Scales the six data bytes of a flow-meter frame.
TFlowValues DecodeFlowFrame(const uint8_t (&data)[kFrameDataSize]);

// What the flow meter can measure on a person. The frame's scaling reaches
// 655.35 l, 65535 /min and 6553.5 l/min, but no breath is larger than a
// vital capacity (about 7 l in the tallest athletes), nobody breathes faster
// than about 120 /min (a newborn crying, panting), and no minute volume
// passes about 250 l/min (the maximal voluntary ventilation of trained
// men). A frame beyond these bounds is a line fault: bytes of two frames
// run together, or 0x55 bytes taken for a frame. The bounds leave room
// above physiology so that no real breath is ever refused.
inline constexpr double kMaxFlowV = 10.0;   // litres
inline constexpr double kMaxFlowF = 150.0;  // per minute
inline constexpr double kMaxFlowM = 300.0;  // litres per minute
bool InMeterRange(const TFlowValues& v);

// Two frames that tell the same breath: V, F and M each within 2 % of the
// larger, or within one step of the frame's scaling (0.01 l, 1 /min,
// 0.1 l/min). The meter repeats a breath's values in every frame until the
// next breath.
bool FramesAgree(const TFlowValues& a, const TFlowValues& b);

// Takes one decoded frame into `values` (V, F, M): the first frame after a
// restart replaces them, every following one is averaged in with weight one
// half, so the latest frame counts most.
void TakeFlowFrame(const TFlowValues& frame, bool restart, double (&values)[3]);

}  // namespace vexa
