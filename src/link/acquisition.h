// The acquisition thread: reads the flow meter's port while a recording
// runs, decodes its frames and keeps a running average of V, F and M.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <thread>

#include "link/device.h"

namespace vexa {

// Link diagnostics for the operator, counted by the thread since the start.
struct TLinkCounters {
  std::atomic<uint64_t> FramesDecoded{0};  // complete flow-meter frames taken
  std::atomic<uint64_t> BytesSkipped{0};   // bytes dropped while looking for a sync byte,
                                           // including the bytes of frames cut short
  std::atomic<uint64_t> SilentReads{0};    // reads that ended with no byte (about 1 s each)
  std::atomic<uint64_t> ReopenAttempts{0};  // tries to open a lost device again
  void Reset();
};

// The fields the acquisition thread shares with the window thread; the
// recording object derives from this.
struct TLinkShared {
  std::atomic<bool> Running{false};
  std::atomic<double> ValueV{0}, ValueF{0}, ValueM{0};
  TLinkCounters Counters;
};

// How long after its sync byte a frame's six data bytes may take to arrive.
// On the line they take about 1 ms (57600 baud), but a USB serial adapter
// passes received bytes on when its latency timer runs out (16 ms by
// default), so a frame can arrive in two bursts up to about 17 ms apart;
// 30 ms leaves room for a busy system. A sync byte whose data do not come
// within this is a lone one (a frame cut after its sync byte, a stray 0x55),
// and the bytes that come later belong to the next frame. An instrument
// must therefore pause longer than this between frames for a lone sync byte
// to be told from a frame, as one sending up to 30 frames a second does.
inline constexpr int kFrameDataWindowMs = 30;

// What one pass of the thread's loop did.
enum class TAcquireStep {
  Silent,      // no byte for the whole read time-out
  Skipped,     // one byte that is not a sync byte
  ShortFrame,  // a sync byte whose six data bytes did not all come in time: dropped
  FirstFrame,  // a frame that started a new average
  Averaged,    // a frame averaged in; the queued input was then purged
  Lost,        // the device went away
};

// One pass of the loop for one instrument, on its open Port: read a byte; on
// a sync byte read the six data bytes, which must all come within
// kFrameDataWindowMs, and take the frame. Exposed for tests and the fuzz
// target, which drive it through a scripted port.
TAcquireStep AcquireStep(TDev& dev, TLinkShared& shared);

// Owns the acquisition thread (ThreadHandle); at most one runs.
//
// Hand-off between the two threads. The window thread writes Running (set by
// Start, cleared by Stop), zeroes ValueV/F/M and sets each instrument's
// Restart at every stored sample, and opens and closes the ports only while
// no thread exists. The acquisition thread writes ValueV/F/M, LinkAlive,
// Restart (clears it on a first frame, sets it after silence or a loss), the
// Counters, and the instrument's Frame and Values (which nobody else touches
// while it runs); it reads Running once per pass. Each shared field is a
// single std::atomic because each is read whole on the other side without a
// lock, and no ordering between different fields is relied on: a sample may
// mix V from one frame with F from the next. Restart is taken with an
// exchange, so a restart asked for while a frame is decoded is never lost.
//
// A device lost while open (USB adapter unplugged, far end of a
// pseudo-terminal closed) reads as silence: LinkAlive false, Restart set. The
// thread closes it and tries to open the same device again every
// ReopenInterval, sleeping in between, until it is back or Stop is called.
class TAcquisition {
 public:
  TAcquisition() = default;
  ~TAcquisition();  // ends a thread still running (ports are left to their TDev)
  TAcquisition(const TAcquisition&) = delete;
  TAcquisition& operator=(const TAcquisition&) = delete;

  // The instrument-link steps of StartRecording: for each instrument Restart
  // and OpenPort; then Running and the thread, which reads devices[0]. 0 when
  // started; 1 when a port failed (errorPort = its FailedPort, the ports
  // opened before it closed again); -1 when the thread could not be created
  // or one already exists (nothing left open, Running cleared).
  int Start(std::span<TDev* const> devices, TLinkShared& shared, int32_t& errorPort);

  // The instrument-link steps of StopRecording: nothing at all when Running
  // is not set; else clear Running, wait for the thread to end, ClosePort
  // each instrument.
  void Stop(std::span<TDev* const> devices, TLinkShared& shared);

  bool ThreadExists() const { return ThreadHandle.joinable(); }

  // Pause between two attempts to reopen a lost device. Set before Start.
  std::chrono::milliseconds ReopenInterval{1000};

  // Rest after an averaged frame, once the queued input is purged. The frame
  // taken next is still the first whose sync byte arrives after the purge;
  // the pause only spares a wake-up per frame from a fast instrument (every
  // wake-up costs the system tens of microseconds, a frame's decode one).
  // A restart (a stored sample) ends the pause, so a new average begins with
  // the next frame as it would without one. Set before Start; zero never rests.
  std::chrono::milliseconds FramePause{20};

  // Ends a frame pause early: call after setting an instrument's Restart.
  void Nudge();

 private:
  void Run(TDev* dev, TLinkShared* shared);
  void EndThread(TLinkShared& shared);

  std::thread ThreadHandle;
  TLinkShared* shared_ = nullptr;
  std::mutex wakeMutex_;  // only for the pauses, so Stop can cut them short
  std::condition_variable wake_;
};

}  // namespace vexa
