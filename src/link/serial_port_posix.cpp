// Serial ports on POSIX: termios for the line, poll() for the read time-outs,
// TIOCEXCL plus flock() for exclusive use.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "link/serial_port.h"

namespace vexa {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

speed_t SpeedFor(uint32_t baud) {
  switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return B0;  // not a standard rate: the line keeps its speed
  }
}

void ApplyLineSettings(int fd, const TLineSettings& s) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) return;
  cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB);
  switch (s.DataBits) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    default: tio.c_cflag |= CS8; break;
  }
  // Mark and space parity have no portable termios form; they read as none.
  if (s.Parity == 'e') tio.c_cflag |= PARENB;
  if (s.Parity == 'o') tio.c_cflag |= PARENB | PARODD;
  if (s.StopBits != 1) tio.c_cflag |= CSTOPB;  // 1.5 is as near to 2 as termios gets
  // poll() does the timing: read() itself never waits.
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (const speed_t speed = SpeedFor(s.BaudRate); speed != B0) {
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
  }
  (void)tcsetattr(fd, TCSANOW, &tio);  // a line that refuses is used unchanged
}

class PosixSerialPort final : public SerialPort {
 public:
  ~PosixSerialPort() override { Close(); }

  bool Open(const std::string& device, const TLineSettings& settings) override {
    Close();
    if (device.empty()) return false;
    // O_NONBLOCK keeps open() from waiting for modem lines; reads wait in poll().
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    // A regular file or a pipe would read as an endless stream or an endless
    // hang-up: only a terminal is a serial line.
    // TIOCEXCL keeps other programs out but is ignored for root; flock() also
    // holds between two openers running as root, and every copy of VEXA takes it.
    if (!isatty(fd) || flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return false;
    }
    (void)ioctl(fd, TIOCEXCL);
    ApplyLineSettings(fd, settings);
    // Bytes queued while nobody had the line open are stale by now.
    (void)tcflush(fd, TCIFLUSH);
    fd_ = fd;
    return true;
  }

  TReadResult Read(uint8_t* buffer, size_t n) override {
    const size_t perByte = std::min<size_t>(n, 3600 * 1000) * kReadPerByteMs;
    return ReadUntil(buffer, n, Clock::now() + milliseconds(kReadBaseMs + perByte), kReadGapMs);
  }

  TReadResult ReadWithin(uint8_t* buffer, size_t n, int windowMs) override {
    return ReadUntil(buffer, n, Clock::now() + milliseconds(windowMs), -1);
  }

  void Purge() override {
    if (fd_ >= 0) (void)tcflush(fd_, TCIFLUSH);
  }

  size_t Available() override {
    int n = 0;
    if (fd_ < 0 || ioctl(fd_, FIONREAD, &n) != 0 || n < 0) return 0;
    return static_cast<size_t>(n);
  }

  void Close() override {
    if (fd_ < 0) return;
    // TIOCEXCL outlives this descriptor while another one holds the line
    // (a simulator's own end): clear it, or nobody but root could open it again.
    (void)ioctl(fd_, TIOCNXCL);
    ::close(fd_);  // also releases the flock()
    fd_ = -1;
  }

  bool IsOpen() const override { return fd_ >= 0; }

 private:
  // Reads until n bytes are in or the deadline has passed; with gapMs >= 0
  // also gapMs after a byte without the next. Bytes already received when
  // the deadline comes are still taken.
  TReadResult ReadUntil(uint8_t* buffer, size_t n, Clock::time_point deadline, int gapMs) {
    TReadResult result;
    if (fd_ < 0) {
      result.Lost = true;
      return result;
    }
    while (result.Count < n) {
      const auto left =
          std::max<long long>(0, std::chrono::ceil<milliseconds>(deadline - Clock::now()).count());
      const bool gapCounts = result.Count > 0 && gapMs >= 0;
      const int timeout = static_cast<int>(gapCounts ? std::min<long long>(left, gapMs) : left);
      pollfd p{fd_, POLLIN, 0};
      const int ready = ::poll(&p, 1, timeout);
      if (ready < 0) {
        if (errno == EINTR) continue;
        result.Lost = true;
        break;
      }
      if (ready == 0) {
        if (gapCounts || left == 0) break;  // the gap after a byte, or the deadline
        continue;
      }
      if ((p.revents & POLLNVAL) || !(p.revents & POLLIN)) {
        // POLLHUP or POLLERR without data: the device is gone. Waiting on it
        // again would return at once, forever.
        result.Lost = true;
        break;
      }
      const ssize_t got = ::read(fd_, buffer + result.Count, n - result.Count);
      if (got > 0) {
        result.Count += static_cast<size_t>(got);
      } else if (got == 0) {
        result.Lost = true;  // end of file on a terminal is a hang-up
        break;
      } else if (errno != EAGAIN && errno != EINTR) {
        result.Lost = true;  // EIO from an unplugged USB adapter, and the like
        break;
      }
    }
    return result;
  }

  int fd_ = -1;
};

}  // namespace

std::unique_ptr<SerialPort> MakeSerialPort() { return std::make_unique<PosixSerialPort>(); }

}  // namespace vexa
