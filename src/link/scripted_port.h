// A serial port that replays a script instead of a device: the tests of the
// decoding loop that must run everywhere, and the fuzz target, drive the
// acquisition step through it. The pseudo-terminal tests use the real port.
#pragma once

#include <algorithm>
#include <cstring>
#include <chrono>
#include <deque>
#include <thread>
#include <vector>

#include "link/serial_port.h"

namespace vexa {

class ScriptedPort final : public SerialPort {
 public:
  // One burst of bytes that arrive together. A read never crosses into the
  // next burst (the line paused longer than the gap time-out); a ReadWithin
  // does when the pause before it, AfterMs, fits its window. An empty burst
  // is one silent read; Lost makes the device go away at that point.
  struct Burst {
    std::vector<uint8_t> Bytes;
    bool Lost = false;
    int AfterMs = kApart;
  };
  // The pause before a burst added with Add: longer than any read waits.
  static constexpr int kApart = 1 << 20;

  void Add(std::vector<uint8_t> bytes) { script_.push_back({std::move(bytes), false}); }
  // A burst that follows the one before it after ms, as a USB adapter's
  // latency timer splits a frame.
  void AddAfter(int ms, std::vector<uint8_t> bytes) {
    script_.push_back({std::move(bytes), false, ms});
  }
  void AddSilence() { script_.push_back({{}, false}); }
  void AddLoss() { script_.push_back({{}, true}); }
  bool Finished() const { return script_.empty(); }
  int Purges() const { return purges_; }

  bool Open(const std::string&, const TLineSettings&) override {
    open_ = true;
    return true;
  }

  TReadResult Read(uint8_t* buffer, size_t n) override {
    TReadResult r;
    if (!open_) {
      r.Lost = true;
      return r;
    }
    if (n == 0) return r;
    if (script_.empty()) {
      // Past the script: silence, with a short pause so that a thread
      // reading on does not spin.
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      return r;
    }
    if (script_.front().Lost) {
      script_.pop_front();
      r.Lost = true;
      return r;
    }
    r.Count = Take(buffer, n);
    return r;
  }

  TReadResult ReadWithin(uint8_t* buffer, size_t n, int windowMs) override {
    TReadResult r;
    if (!open_) {
      r.Lost = true;
      return r;
    }
    int waited = 0;
    while (r.Count < n && !script_.empty()) {
      const Burst& next = script_.front();
      if (!inBurst_) {
        // A burst not yet begun arrives in time only when its pause fits.
        if ((next.Bytes.empty() && !next.Lost) || waited + next.AfterMs > windowMs) break;
        waited += next.AfterMs;
        if (next.Lost) {
          script_.pop_front();
          r.Lost = true;
          break;
        }
      }
      r.Count += Take(buffer + r.Count, n - r.Count);
    }
    return r;
  }

  // Discards the rest of the burst being read: the bytes already received.
  void Purge() override {
    ++purges_;
    if (inBurst_) script_.pop_front();
    inBurst_ = false;
  }

  // The rest of the burst being read: what has arrived and is not read yet.
  size_t Available() override { return inBurst_ && !script_.empty() ? script_.front().Bytes.size() : 0; }

  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }

 private:
  // Up to n bytes of the front burst.
  size_t Take(uint8_t* buffer, size_t n) {
    Burst& burst = script_.front();
    const size_t count = std::min(n, burst.Bytes.size());
    if (count > 0) std::memcpy(buffer, burst.Bytes.data(), count);
    burst.Bytes.erase(burst.Bytes.begin(), burst.Bytes.begin() + static_cast<long>(count));
    inBurst_ = !burst.Bytes.empty();
    if (!inBurst_) script_.pop_front();
    return count;
  }

  std::deque<Burst> script_;
  bool open_ = true;
  bool inBurst_ = false;  // the front burst has begun to arrive
  int purges_ = 0;
};

}  // namespace vexa
