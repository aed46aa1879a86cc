// A flow meter on a pseudo-terminal for the serial tests: the test writes the
// instrument's bytes into the master side; the program opens the slave side
// by path, as it opens a serial port. Plugging it under a symbolic link
// stands for an adapter's device node that vanishes when it is pulled out.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace vexa::test {

class PtyMeter {
 public:
  // Fails the test (ADD_FAILURE) when no pseudo-terminal is available.
  PtyMeter() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0) {
      ADD_FAILURE() << "no pseudo-terminal: " << std::strerror(errno);
      Unplug();
      return;
    }
    path_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (slave_ < 0 || tcgetattr(slave_, &tio) != 0) {
      ADD_FAILURE() << "cannot open " << path_;
      Unplug();
      return;
    }
    cfmakeraw(&tio);  // no echo, no line editing: the bytes pass as they are
    tcsetattr(slave_, TCSANOW, &tio);
  }
  ~PtyMeter() { Unplug(); }
  PtyMeter(const PtyMeter&) = delete;
  PtyMeter& operator=(const PtyMeter&) = delete;

  bool Ok() const { return master_ >= 0; }
  const std::string& Path() const { return path_; }
  void Send(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (master_ >= 0 && done < bytes.size()) {
      const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      ASSERT_GT(n, 0) << std::strerror(errno);
      done += static_cast<size_t>(n);
    }
  }
  // Bytes received on the slave side and not yet read by anyone.
  int Queued() const {
    int n = 0;
    return slave_ >= 0 && ioctl(slave_, FIONREAD, &n) == 0 ? n : -1;
  }
  // Closes both ends: a reader of the slave side sees a hang-up.
  void Unplug() {
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
    master_ = slave_ = -1;
  }

 private:
  int master_ = -1;
  int slave_ = -1;  // kept open so that bytes sent before the reader opens are buffered
  std::string path_;
};

// Makes `link` name `target`, replacing a link already there.
inline void PointLink(const std::string& link, const std::string& target) {
  const std::string temp = link + ".new";
  std::filesystem::remove(temp);
  std::filesystem::create_symlink(target, temp);
  std::filesystem::rename(temp, link);  // atomic: the link never goes missing
}

inline const std::vector<uint8_t> kFrame1 = {0x55, 0x2C, 0x01, 0x0F, 0x00, 0x4B, 0x00};
inline const std::vector<uint8_t> kFrame2 = {0x55, 0x90, 0x01, 0x11, 0x00, 0x55, 0x00};

// Frame bytes for raw V, F, M.
inline std::vector<uint8_t> FrameOf(uint16_t v, uint16_t f, uint16_t m) {
  return {0x55,
          static_cast<uint8_t>(v & 0xFF),
          static_cast<uint8_t>(v >> 8),
          static_cast<uint8_t>(f & 0xFF),
          static_cast<uint8_t>(f >> 8),
          static_cast<uint8_t>(m & 0xFF),
          static_cast<uint8_t>(m >> 8)};
}

// Polls `done` every millisecond until it holds or `ms` have passed.
template <class Pred>
bool WaitFor(Pred done, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Bytes concatenated.
inline std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Number of open file descriptors of this process.
inline int OpenDescriptors() {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/dev/fd")) {
    ++n;
  }
  return n;
}

}  // namespace vexa::test
