// A flow meter on a pseudo-terminal for the serial tests: the test writes the
// instrument's bytes into the master side; the program opens the slave side
// by path, as it opens a serial port. Plugging it under a symbolic link
// stands for an adapter's device node that vanishes when it is pulled out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexa::test {

class PtyMeter {
 public:
  PtyMeter();  // fails the test (ADD_FAILURE) when no pseudo-terminal is available
  ~PtyMeter();
  PtyMeter(const PtyMeter&) = delete;
  PtyMeter& operator=(const PtyMeter&) = delete;

  bool Ok() const { return master_ >= 0; }
  const std::string& Path() const { return path_; }
  void Send(const std::vector<uint8_t>& bytes);
  // Closes both ends: a reader of the slave side sees a hang-up.
  void Unplug();

 private:
  int master_ = -1;
  int slave_ = -1;  // kept open so that bytes sent before the reader opens are buffered
  std::string path_;
};

// Makes `link` name `target`, replacing a link already there.
void PointLink(const std::string& link, const std::string& target);

inline const std::vector<uint8_t> kFrame1 = {0x55, 0x2C, 0x01, 0x0F, 0x00, 0x4B, 0x00};
inline const std::vector<uint8_t> kFrame2 = {0x55, 0x90, 0x01, 0x11, 0x00, 0x55, 0x00};

// Frame bytes for raw V, F, M.
std::vector<uint8_t> FrameOf(uint16_t v, uint16_t f, uint16_t m);

// Polls `done` every millisecond until it holds or `ms` have passed.
template <class Pred>
bool WaitFor(Pred done, int ms);

// Bytes concatenated.
std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b);

// Number of open file descriptors of this process.
int OpenDescriptors();

}  // namespace vexa::test

#include <chrono>
#include <thread>

template <class Pred>
bool vexa::test::WaitFor(Pred done, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
