#include "link/acquisition.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#ifndef _WIN32
#include <pthread.h>
#include <signal.h>
#endif

namespace vexa {

void TLinkCounters::Reset() {
  FramesDecoded = 0;
  BytesSkipped = 0;
  SilentReads = 0;
  ReopenAttempts = 0;
}

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

// A read that heard nothing (silence) or found the device gone: both end
// the link's run of frames, so the next frame starts a new average.
TAcquireStep NothingHeard(TDev& dev, TLinkCounters& counters, bool lost) {
  dev.LinkAlive = false;
  dev.Restart = true;
  if (lost) return TAcquireStep::Lost;
  counters.SilentReads.fetch_add(1, kRelaxed);
  return TAcquireStep::Silent;
}

}  // namespace

namespace {

// Up to n bytes of the line: the held-back ones first, then the port's,
// reading on until all n are there, the line stays silent for a whole read
// time-out, or the device is lost.
TReadResult TakeBytes(TDev& dev, uint8_t* out, size_t n) {
  TReadResult r;
  const size_t held = std::min(n, dev.HeldCount);
  std::memcpy(out, dev.Held, held);
  std::memmove(dev.Held, dev.Held + held, dev.HeldCount - held);
  dev.HeldCount -= held;
  r.Count = held;
  while (r.Count < n) {
    const TReadResult more = dev.Port->Read(out + r.Count, n - r.Count);
    r.Count += more.Count;
    if (more.Lost) {
      r.Lost = true;
      break;
    }
    if (more.Count == 0) break;
  }
  return r;
}

// Puts bytes back in front of the held ones, to be taken first.
void HoldBack(TDev& dev, const uint8_t* bytes, size_t n) {
  n = std::min(n, sizeof dev.Held - dev.HeldCount);  // never more than one look-ahead
  std::memmove(dev.Held + n, dev.Held, dev.HeldCount);
  std::memcpy(dev.Held, bytes, n);
  dev.HeldCount += n;
}

}  // namespace

TAcquireStep AcquireStep(TDev& dev, TLinkShared& shared) {
  TLinkCounters& counters = shared.Counters;

  uint8_t first = 0;
  TReadResult read = TakeBytes(dev, &first, 1);
  if (read.Lost || read.Count == 0) {
    dev.HeldCount = 0;
    dev.HaveLastSeen = false;
    return NothingHeard(dev, counters, read.Lost);
  }
  dev.LinkAlive = true;
  if (first != kSyncByte) {
    counters.BytesSkipped.fetch_add(1, kRelaxed);
    return TAcquireStep::Skipped;
  }

  // The six data bytes and the byte after them.
  uint8_t bytes[kFrameDataSize + 1];
  read = TakeBytes(dev, bytes, sizeof bytes);
  if (read.Count < sizeof bytes) {
    // The line fell silent (or was lost) before the frame was followed by
    // the next one: nothing shows it whole.
    counters.BytesSkipped.fetch_add(1 + read.Count, kRelaxed);
    dev.HeldCount = 0;
    dev.HaveLastSeen = false;
    if (read.Lost) return NothingHeard(dev, counters, true);
    dev.LinkAlive = false;
    dev.Restart = true;
    counters.SilentReads.fetch_add(1, kRelaxed);
    return TAcquireStep::ShortFrame;
  }
  std::memcpy(dev.Frame, bytes, kFrameDataSize);
  const TFlowValues values = DecodeFlowFrame(dev.Frame);
  const bool framed = bytes[kFrameDataSize] == kSyncByte;
  const bool inRange = dev.Kind != kKindFlown || InMeterRange(values);
  // Noise after a frame hides whether it was whole: it is taken only when
  // it repeats the breath of the candidate before it.
  const bool repeats = dev.HaveLastSeen && FramesAgree(values, dev.LastSeen);
  if (inRange) {
    dev.LastSeen = values;
    dev.HaveLastSeen = true;
  }
  if (!inRange || (!framed && !repeats)) {
    // Not a frame: the sync byte was another frame's data, a stray 0x55 or
    // the start of a frame cut short. Its bytes may hold the next frame.
    HoldBack(dev, bytes, sizeof bytes);
    counters.BytesSkipped.fetch_add(1, kRelaxed);
    return inRange ? TAcquireStep::ShortFrame : TAcquireStep::OutOfRange;
  }
  HoldBack(dev, bytes + kFrameDataSize, 1);  // the next frame's sync byte, or the noise

  const bool restart = dev.Restart.exchange(false);
  if (dev.Kind == kKindFlown) {
    TakeFlowFrame(values, restart, dev.Values);
    shared.ValueV = dev.Values[0];
    shared.ValueF = dev.Values[1];
    shared.ValueM = dev.Values[2];
    counters.FramesDecoded.fetch_add(1, kRelaxed);
  }
  return restart ? TAcquireStep::FirstFrame : TAcquireStep::Averaged;
}

TAcquisition::~TAcquisition() {
  if (ThreadHandle.joinable() && shared_) EndThread(*shared_);
}

int TAcquisition::Start(std::span<TDev* const> devices, TLinkShared& shared,
                        int32_t& errorPort) {
  // A second thread would leave the first one running without an owner.
  if (ThreadHandle.joinable()) return -1;
  for (size_t i = 0; i < devices.size(); ++i) {
    TDev* dev = devices[i];
    if (!dev) continue;
    dev->Restart = true;
    if (dev->OpenPort() != 0) {
      errorPort = dev->FailedPort;
      // No recording runs, so no port of this program may stay held.
      for (size_t k = 0; k < i; ++k) {
        if (devices[k]) devices[k]->ClosePort();
      }
      return 1;
    }
  }
  shared.Counters.Reset();
  shared.Running = true;
  shared_ = &shared;
  try {
    ThreadHandle = std::thread(&TAcquisition::Run, this, devices.empty() ? nullptr : devices[0],
                               &shared);
  } catch (const std::system_error&) {
    shared.Running = false;
    for (TDev* dev : devices) {
      if (dev) dev->ClosePort();
    }
    return -1;
  }
  return 0;
}

void TAcquisition::Stop(std::span<TDev* const> devices, TLinkShared& shared) {
  if (!shared.Running) return;
  EndThread(shared);
  for (TDev* dev : devices) {
    if (dev) dev->ClosePort();
  }
}

void TAcquisition::EndThread(TLinkShared& shared) {
  shared.Running = false;
  {
    // Taking the lock orders this wake-up after the thread's test of Running
    // or before its wait: either way it is not missed.
    std::lock_guard<std::mutex> lock(wakeMutex_);
  }
  wake_.notify_all();
  // One pass takes at most 1001 ms + 1006 ms for its two reads, so the thread
  // normally ends within about 2000 ms. A wait cut short there would close the
  // ports under a thread that can still read them: it waits for the end.
  if (ThreadHandle.joinable()) ThreadHandle.join();
  shared_ = nullptr;
}

void TAcquisition::Nudge() {
  {
    std::lock_guard<std::mutex> lock(wakeMutex_);  // as in EndThread: never missed
  }
  wake_.notify_all();
}

void TAcquisition::Run(TDev* dev, TLinkShared* shared) {
#ifndef _WIN32
  // Stop signals are the program's business: its main thread takes them, so
  // a Ctrl-C can cut that thread's sleep short instead of landing here.
  sigset_t stops;
  sigemptyset(&stops);
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&stops, s);
  pthread_sigmask(SIG_BLOCK, &stops, nullptr);
#endif
  const auto stopped = [shared] { return !shared->Running; };
  while (shared->Running) {
    if (!dev || !dev->Port) {
      // Nothing to read: idle until stopped.
      std::unique_lock<std::mutex> lock(wakeMutex_);
      wake_.wait(lock, stopped);
      break;
    }
    if (!dev->Port->IsOpen()) {
      {
        std::unique_lock<std::mutex> lock(wakeMutex_);
        if (wake_.wait_for(lock, ReopenInterval, stopped)) break;
      }
      shared->Counters.ReopenAttempts.fetch_add(1, kRelaxed);
      (void)dev->Port->Open(dev->DevicePath, dev->LineSettings);
      continue;
    }
    const TAcquireStep step = AcquireStep(*dev, *shared);
    if (step == TAcquireStep::Lost) dev->Port->Close();
    // The rest only while nothing waits beyond the next frame's sync byte.
    if (step == TAcquireStep::Averaged && FramePause.count() > 0 && dev->HeldCount <= 1 &&
        dev->Port->Available() == 0) {
      std::unique_lock<std::mutex> lock(wakeMutex_);
      wake_.wait_for(lock, FramePause, [&] { return stopped() || dev->Restart.load(); });
    }
  }
}

}  // namespace vexa
