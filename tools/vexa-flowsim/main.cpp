// vexa-flowsim: a simulated flow meter on a pseudo-terminal. It prints the
// path of the terminal's slave side, where a recorder opens it like a serial
// port, and sends flow-meter frames there at a fixed rate until SIGINT or
// SIGTERM.
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "link/frame.h"

namespace {

// Also the man page: help2man turns the "Xxx:" headings into its sections.
constexpr const char* kUsage =
    "Usage: vexa-flowsim [OPTION]...\n"
    "A simulated Flown-710 flow meter on a pseudo-terminal: prints the device's path,\n"
    "where a recorder opens it like a serial port, and sends flow-meter frames (sync\n"
    "byte 0x55, then V, F, M as 16-bit little-endian values) at a fixed rate until\n"
    "interrupted (SIGINT, SIGTERM). VEXA's built-in instrument for demonstrations,\n"
    "tests and trying the programs without a flow meter.\n"
    "\n"
    "Options:\n"
    "  --link PATH          also make PATH a symbolic link to the device (an existing\n"
    "                       link there is replaced; any other file is left alone)\n"
    "  --rate HZ            frames per second, 0.1 to 10000 (default 20)\n"
    "  --constant V,F,M     send fixed values in the meter's units: litres, breaths\n"
    "                       per minute, litres per minute (e.g. 3.00,15,7.5); without\n"
    "                       it the --profile is sent\n"
    "  --profile NAME       the breathing sent without --constant: rest (default) is a\n"
    "                       resting adult (V about 0.5 l, F about 14/min, M about\n"
    "                       7 l/min) who, after two minutes, works up slowly towards\n"
    "                       moderate exercise (V 1.6 l, F 28/min, M 45 l/min) and back\n"
    "                       within eight minutes, every twelve minutes; exercise is a\n"
    "                       hard effort throughout (V 0.4-3 l, F 10-40/min, M = V x F)\n"
    "  --garbage N          N random bytes (never the sync byte 0x55) before each frame\n"
    "  --silence EVERY,LEN  stay silent for LEN seconds out of every EVERY seconds\n"
    "  --cut-every N        cut every N-th frame short after 1 to 6 of its 7 bytes\n"
    "  --seconds S          stop after S seconds (default: run until interrupted)\n"
    "  --seed N             seed of the random numbers (default 1)\n"
    "  --help               prints this text\n"
    "  --version            prints the program's version\n"
    "\n"
    "Exit status:\n"
    "  0 stopped by a signal or after --seconds; 1 no pseudo-terminal, or the\n"
    "  --link could not be made; 2 a malformed command line.\n"
    "\n"
    "Examples:\n"
    "  vexa-flowsim --link /tmp/flowmeter &\n"
    "  VEXA_COM2=/tmp/flowmeter vexa-rec monitor --port 2 --seconds 10\n";

volatile sig_atomic_t gStop = 0;

extern "C" void OnStopSignal(int) { gStop = 1; }

struct Options {
  std::string link;
  double rate = 20;
  bool constant = false;
  bool exercise = false;  // --profile exercise
  double v = 0, f = 0, m = 0;
  int garbage = 0;
  double silenceEvery = 0, silenceLength = 0;
  long cutEvery = 0;
  double seconds = 0;  // 0: until interrupted
  unsigned seed = 1;
};

bool ParseDouble(const std::string& s, double low, double high, double& out) {
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return false;
  if (!(v >= low && v <= high)) return false;
  out = v;
  return true;
}

bool ParseLong(const std::string& s, long low, long high, long& out) {
  long v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size() || v < low || v > high) {
    return false;
  }
  out = v;
  return true;
}

// "a,b" or "a,b,c" into numbers.
bool ParseList(const std::string& s, std::vector<double>& out, size_t count) {
  out.clear();
  size_t start = 0;
  while (out.size() < count) {
    const size_t comma = s.find(',', start);
    double v = 0;
    if (!ParseDouble(s.substr(start, comma - start), 0, 1e9, v)) return false;
    out.push_back(v);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out.size() == count && s.find(',', start) == std::string::npos;
}

int Fail(const std::string& problem) {
  std::fprintf(stderr, "vexa-flowsim: %s\n%s", problem.c_str(), kUsage);
  return 2;
}

// 0 when parsed; otherwise the exit status.
int ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return -1;
    }
    if (a == "--version") {
      std::printf("vexa-flowsim %s\n", VEXA_VERSION);
      return -1;
    }
    if (i + 1 >= argc) return Fail("unknown option or missing value: " + a);
    const std::string v = argv[++i];
    std::vector<double> list;
    long n = 0;
    if (a == "--link") {
      if (v.empty()) return Fail("--link needs a path");
      o.link = v;
    } else if (a == "--rate") {
      if (!ParseDouble(v, 0.1, 10000, o.rate)) return Fail("--rate takes 0.1 to 10000");
    } else if (a == "--constant") {
      if (!ParseList(v, list, 3)) return Fail("--constant takes V,F,M");
      o.constant = true;
      o.v = list[0], o.f = list[1], o.m = list[2];
      if (std::lround(o.v * 100) > 65535 || std::lround(o.f) > 65535 ||
          std::lround(o.m * 10) > 65535) {
        return Fail("--constant: values up to 655.35 l, 65535/min, 6553.5 l/min");
      }
    } else if (a == "--profile") {
      if (v != "rest" && v != "exercise") return Fail("--profile takes rest or exercise");
      o.exercise = v == "exercise";
    } else if (a == "--garbage") {
      if (!ParseLong(v, 0, 10000, n)) return Fail("--garbage takes 0 to 10000 bytes");
      o.garbage = static_cast<int>(n);
    } else if (a == "--silence") {
      if (!ParseList(v, list, 2) || list[0] <= 0 || list[1] >= list[0]) {
        return Fail("--silence takes EVERY,LEN seconds with LEN below EVERY");
      }
      o.silenceEvery = list[0], o.silenceLength = list[1];
    } else if (a == "--cut-every") {
      if (!ParseLong(v, 1, 1000000000, o.cutEvery)) return Fail("--cut-every takes 1 and up");
    } else if (a == "--seconds") {
      if (!ParseDouble(v, 0.001, 1e9, o.seconds)) return Fail("--seconds takes a positive number");
    } else if (a == "--seed") {
      if (!ParseLong(v, 0, 4294967295L, n)) return Fail("--seed takes 0 to 4294967295");
      o.seed = static_cast<unsigned>(n);
    } else {
      return Fail("unknown option " + a);
    }
  }
  return 0;
}

constexpr double kTwoPi = 6.283185307179586;

// A hard effort throughout, drifting between shallow fast and deep slow
// breathing.
void ExerciseProfile(double t, std::mt19937& rng, double& v, double& f, double& m) {
  std::uniform_real_distribution<double> jitter(-0.02, 0.02);
  v = 1.7 + 1.3 * std::sin(kTwoPi * t / 47 + 1.0);
  f = 25 + 15 * std::sin(kTwoPi * t / 90);
  v = std::clamp(v * (1 + jitter(rng)), 0.4, 3.0);
  f = std::clamp(f * (1 + jitter(rng)), 10.0, 40.0);
  m = v * f;
}

// A resting adult (within the V, F and M axes' home ranges 0-1 l, 0-80/min,
// 0-100 l/min) who rests two minutes, then works up smoothly to moderate
// exercise and back down over eight minutes, then rests two more: a cycle
// of twelve minutes. Breath-to-breath scatter of a few per cent on top.
void RestProfile(double t, std::mt19937& rng, double& v, double& f, double& m) {
  constexpr double kCycle = 720, kRest = 120, kEffort = 480;
  const double p = std::fmod(t, kCycle) - kRest;
  const double effort = p > 0 && p < kEffort ? 0.5 - 0.5 * std::cos(kTwoPi * p / kEffort) : 0;
  std::uniform_real_distribution<double> jitter(-0.03, 0.03);
  v = (0.5 + 1.1 * effort) * (1 + jitter(rng));
  f = (14 + 14 * effort) * (1 + jitter(rng));
  m = v * f;
}

std::vector<uint8_t> Frame(double v, double f, double m) {
  const auto raw = [](double x) {
    return static_cast<uint16_t>(std::clamp<long>(std::lround(x), 0, 65535));
  };
  const uint16_t rv = raw(v * 100), rf = raw(f), rm = raw(m * 10);
  return {vexa::kSyncByte,
          static_cast<uint8_t>(rv), static_cast<uint8_t>(rv >> 8),
          static_cast<uint8_t>(rf), static_cast<uint8_t>(rf >> 8),
          static_cast<uint8_t>(rm), static_cast<uint8_t>(rm >> 8)};
}

// The slave side in raw mode, kept open by the simulator itself so that the
// terminal outlives a recorder that closes and reopens it.
bool OpenPty(int& master, int& slave, std::string& path) {
  master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  char name[256] = {};
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 ||
      ptsname_r(master, name, sizeof name) != 0) {
    return false;
  }
  path = name;
  slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios tio{};
  if (slave < 0 || tcgetattr(slave, &tio) != 0) return false;
  cfmakeraw(&tio);
  cfsetispeed(&tio, B57600);
  cfsetospeed(&tio, B57600);
  tcsetattr(slave, TCSANOW, &tio);
  // A full buffer (nobody reading) drops frames instead of stalling the clock.
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  return true;
}

bool MakeLink(const std::string& link, const std::string& target) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status st = fs::symlink_status(link, ec);
  if (fs::exists(st) && !fs::is_symlink(st)) {
    std::fprintf(stderr, "vexa-flowsim: %s exists and is not a symbolic link\n", link.c_str());
    return false;
  }
  const std::string temp = link + ".vexa-flowsim-" + std::to_string(getpid());
  fs::remove(temp, ec);
  fs::create_symlink(target, temp, ec);
  if (!ec) fs::rename(temp, link, ec);  // replaces an old link in one step
  if (ec) {
    fs::remove(temp, ec);
    std::fprintf(stderr, "vexa-flowsim: cannot make the link %s\n", link.c_str());
    return false;
  }
  return true;
}

void RemoveLink(const std::string& link, const std::string& target) {
  std::error_code ec;
  // Only our own link: another simulator may have taken the name over since.
  if (std::filesystem::read_symlink(link, ec) == target && !ec) {
    std::filesystem::remove(link, ec);
  }
}

void SendAll(int fd, const uint8_t* p, size_t n) {
  while (n > 0) {
    const ssize_t k = write(fd, p, n);
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) return;  // full: the rest is dropped, as a real line would lose it
    p += k;
    n -= static_cast<size_t>(k);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (const int status = ParseOptions(argc, argv, o); status != 0) return status < 0 ? 0 : status;

  struct sigaction sa{};
  sa.sa_handler = OnStopSignal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);  // no SA_RESTART: the sleep ends at once
  sigaction(SIGTERM, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);

  int master = -1, slave = -1;
  std::string path;
  if (!OpenPty(master, slave, path)) {
    std::fprintf(stderr, "vexa-flowsim: no pseudo-terminal: %s\n", std::strerror(errno));
    return 1;
  }
  if (!o.link.empty() && !MakeLink(o.link, path)) return 1;
  std::printf("%s\n", path.c_str());
  std::fflush(stdout);

  std::mt19937 rng(o.seed);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> cutAt(1, 6);
  const long periodNs = std::lround(1e9 / o.rate);
  timespec next{};
  clock_gettime(CLOCK_MONOTONIC, &next);
  const timespec begin = next;
  std::vector<uint8_t> out;
  uint8_t drain[256];
  for (long frame = 1; !gStop; ++frame) {
    const double t = static_cast<double>(next.tv_sec - begin.tv_sec) +
                     (next.tv_nsec - begin.tv_nsec) * 1e-9;
    if (o.seconds > 0 && t >= o.seconds) break;
    const bool silent =
        o.silenceEvery > 0 && std::fmod(t, o.silenceEvery) >= o.silenceEvery - o.silenceLength;
    if (!silent) {
      out.clear();
      for (int i = 0; i < o.garbage; ++i) {
        int b = byte(rng);
        while (b == vexa::kSyncByte) b = byte(rng);
        out.push_back(static_cast<uint8_t>(b));
      }
      double v = o.v, f = o.f, m = o.m;
      if (!o.constant) (o.exercise ? ExerciseProfile : RestProfile)(t, rng, v, f, m);
      std::vector<uint8_t> bytes = Frame(v, f, m);
      if (o.cutEvery > 0 && frame % o.cutEvery == 0) bytes.resize(cutAt(rng));
      out.insert(out.end(), bytes.begin(), bytes.end());
      SendAll(master, out.data(), out.size());
    }
    while (read(master, drain, sizeof drain) > 0) {
    }  // anything written to the meter goes nowhere
    next.tv_nsec += periodNs;
    while (next.tv_nsec >= 1000000000L) {
      next.tv_nsec -= 1000000000L;
      ++next.tv_sec;
    }
    while (!gStop && clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR) {
    }
  }
  if (!o.link.empty()) RemoveLink(o.link, path);
  close(slave);
  close(master);
  return 0;
}
