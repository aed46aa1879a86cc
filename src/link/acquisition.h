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

// How frames are told from line faults, by their bytes alone (the frame has
// no checksum; when the bytes arrive, and when the thread gets to read them,
// play no part):
//  - a frame is a sync byte, six data bytes and the next frame's sync byte
//    right after them. A frame cut short, a stray 0x55 or a data byte 0x55
//    taken for a sync byte is followed by some other byte, so it is refused
//    and its bytes are looked at again from the one after the refused sync
//    byte: the true next frame among them is found;
//  - a frame followed by noise instead cannot be told from one cut short
//    and followed by noise, and is taken only when it agrees with the
//    candidate before it (FramesAgree: the meter repeats a breath's values
//    in every frame), so a false one cannot pass unless it differs from the
//    true values by no more than 2 % and a step;
//  - its values lie within what the meter measures (InMeterRange): a burst
//    of 0x55 bytes, or frames run together in another way, read as hundreds
//    of litres and are refused the same way.
// A refused sync byte counts as a skipped byte. A frame is therefore taken
// when the byte after it has come (one frame period later, 50 ms at 20
// frames/s), and the last frame before a silence is never taken.

// What one pass of the thread's loop did.
enum class TAcquireStep {
  Silent,      // no byte for the whole read time-out
  Skipped,     // one byte that is not a sync byte
  ShortFrame,  // a sync byte not followed by six data bytes and a sync byte: refused
  OutOfRange,  // a frame with a value the meter cannot measure: refused
  FirstFrame,  // a frame that started a new average
  Averaged,    // a frame averaged in; the queued input was then purged
  Lost,        // the device went away
};

// One pass of the loop for one instrument, on its open Port: take a byte
// (held back ones first); on a sync byte take the six data bytes and the
// byte after them, and take the frame when it passes the rules above.
// Exposed for tests and the fuzz target, which drive it through a scripted
// port.
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

  // Rest after an averaged frame when no input waits. Nothing is discarded:
  // bytes that arrive meanwhile are read in order afterwards, so the frames
  // stay aligned, and as the thread rests only while the input is empty, at
  // most one rest's worth of bytes ever waits. The pause only spares a
  // wake-up per frame from a fast instrument (every wake-up costs the system
  // tens of microseconds, a frame's decode one). A restart (a stored sample)
  // ends the pause. Set before Start; zero never rests.
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
