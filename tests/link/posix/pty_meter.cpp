#include "pty_meter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace vexa::test {

PtyMeter::PtyMeter() {
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

PtyMeter::~PtyMeter() { Unplug(); }

void PtyMeter::Send(const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (master_ >= 0 && done < bytes.size()) {
    const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ASSERT_GT(n, 0) << std::strerror(errno);
    done += static_cast<size_t>(n);
  }
}

void PtyMeter::Unplug() {
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
  master_ = slave_ = -1;
}

void PointLink(const std::string& link, const std::string& target) {
  const std::string temp = link + ".new";
  std::filesystem::remove(temp);
  std::filesystem::create_symlink(target, temp);
  std::filesystem::rename(temp, link);  // atomic: the link never goes missing
}

std::vector<uint8_t> FrameOf(uint16_t v, uint16_t f, uint16_t m) {
  return {0x55,
          static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>(v >> 8),
          static_cast<uint8_t>(f & 0xFF), static_cast<uint8_t>(f >> 8),
          static_cast<uint8_t>(m & 0xFF), static_cast<uint8_t>(m >> 8)};
}

std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

int OpenDescriptors() {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/dev/fd")) {
    ++n;
  }
  return n;
}

}  // namespace vexa::test
