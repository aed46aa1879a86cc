#include "link/acquisition.h"

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

TAcquireStep AcquireStep(TDev& dev, TLinkShared& shared) {
  SerialPort& port = *dev.Port;
  TLinkCounters& counters = shared.Counters;

  TReadResult read = port.Read(dev.Frame, 1);
  if (read.Lost || read.Count == 0) return NothingHeard(dev, counters, read.Lost);
  dev.LinkAlive = true;
  if (dev.Frame[0] != kSyncByte) {
    counters.BytesSkipped.fetch_add(1, kRelaxed);
    return TAcquireStep::Skipped;
  }

  read = port.ReadWithin(dev.Frame, kFrameDataSize, kFrameDataWindowMs);
  if (read.Count < kFrameDataSize) {
    // A lone sync byte, or a frame cut short: waiting on would take the next
    // frame's first bytes as data, and decoding what came would mix in bytes
    // of an older frame, so the frame is dropped. The bytes after it are read
    // afresh, the next frame's sync byte among them.
    counters.BytesSkipped.fetch_add(1 + read.Count, kRelaxed);
    if (read.Lost) return NothingHeard(dev, counters, true);
    return TAcquireStep::ShortFrame;
  }

  const bool restart = dev.Restart.exchange(false);
  if (dev.Kind == kKindFlown) {
    TakeFlowFrame(DecodeFlowFrame(dev.Frame), restart, dev.Values);
    shared.ValueV = dev.Values[0];
    shared.ValueF = dev.Values[1];
    shared.ValueM = dev.Values[2];
    counters.FramesDecoded.fetch_add(1, kRelaxed);
  }
  if (restart) return TAcquireStep::FirstFrame;
  // Whatever queued up while this frame was taken is discarded, so the input
  // never backs up however fast the instrument sends.
  port.Purge();
  return TAcquireStep::Averaged;
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
    if (step == TAcquireStep::Averaged && FramePause.count() > 0) {
      std::unique_lock<std::mutex> lock(wakeMutex_);
      wake_.wait_for(lock, FramePause, [&] { return stopped() || dev->Restart.load(); });
    }
  }
}

}  // namespace vexa
