#include "stop_signal.h"

#include <algorithm>
#include <csignal>
#include <ctime>
#include <thread>

namespace vexa::rec {

namespace {

volatile std::sig_atomic_t gStop = 0;

extern "C" void OnStopSignal(int) { gStop = 1; }

}  // namespace

bool StopRequested() { return gStop != 0; }

using Clock = std::chrono::steady_clock;

#ifdef _WIN32

void CatchStopSignals() {
  gStop = 0;
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
}

void ReleaseStopSignals() {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
}

void SleepUntil(Clock::time_point when) {
  // The console's handler runs on a thread of its own and cannot cut a sleep
  // short: short naps keep a stop prompt.
  while (!gStop && Clock::now() < when) {
    std::this_thread::sleep_for(std::min<Clock::duration>(when - Clock::now(),
                                                          std::chrono::milliseconds(50)));
  }
}

#else

void CatchStopSignals() {
  gStop = 0;
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: the signal ends a sleep at once
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

void ReleaseStopSignals() {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
}

void SleepUntil(Clock::time_point when) {
  // The acquisition thread blocks these signals, so they reach this thread
  // and interrupt nanosleep; the one-second cap only bounds a surprise.
  while (!gStop) {
    const Clock::time_point now = Clock::now();
    if (now >= when) return;
    const auto left = std::min<Clock::duration>(when - now, std::chrono::seconds(1));
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    timespec nap{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    nanosleep(&nap, nullptr);
  }
}

#endif

}  // namespace vexa::rec
