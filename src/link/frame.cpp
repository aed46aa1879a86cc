#include "link/frame.h"

#include <algorithm>
#include <cmath>

namespace vexa {

namespace {

unsigned Raw16(const uint8_t* p) { return p[0] + 256u * p[1]; }

}  // namespace

TFlowValues DecodeFlowFrame(const uint8_t (&data)[kFrameDataSize]) {
  TFlowValues v;
  v.V = Raw16(data + 0) * 0.01;
  v.F = Raw16(data + 2) * 1.0;
  v.M = Raw16(data + 4) * 0.1;
  return v;
}

bool InMeterRange(const TFlowValues& v) {
  return v.V <= kMaxFlowV && v.F <= kMaxFlowF && v.M <= kMaxFlowM;
}

namespace {

bool Near(double a, double b, double step) {
  return std::fabs(a - b) <= step * 1.001 + 0.02 * std::max(std::fabs(a), std::fabs(b));
}

}  // namespace

bool FramesAgree(const TFlowValues& a, const TFlowValues& b) {
  return Near(a.V, b.V, 0.01) && Near(a.F, b.F, 1.0) && Near(a.M, b.M, 0.1);
}

void TakeFlowFrame(const TFlowValues& frame, bool restart, double (&values)[3]) {
  if (restart) {
    values[0] = frame.V;
    values[1] = frame.F;
    values[2] = frame.M;
  } else {
    values[0] = (values[0] + frame.V) * 0.5;
    values[1] = (values[1] + frame.F) * 0.5;
    values[2] = (values[2] + frame.M) * 0.5;
  }
}

}  // namespace vexa
