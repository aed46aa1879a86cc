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
  // One burst of bytes that arrive together; a read never crosses into the
  // next burst (the line paused longer than the gap time-out). An empty burst
  // is one silent read; Lost makes the device go away at that point.
  struct Burst {
    std::vector<uint8_t> Bytes;
    bool Lost = false;
  };

  void Add(std::vector<uint8_t> bytes) { script_.push_back({std::move(bytes), false}); }
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
    Burst& burst = script_.front();
    if (burst.Lost) {
      script_.pop_front();
      r.Lost = true;
      return r;
    }
    r.Count = std::min(n, burst.Bytes.size());
    if (r.Count > 0) std::memcpy(buffer, burst.Bytes.data(), r.Count);
    burst.Bytes.erase(burst.Bytes.begin(), burst.Bytes.begin() + static_cast<long>(r.Count));
    inBurst_ = !burst.Bytes.empty();
    if (!inBurst_) script_.pop_front();
    return r;
  }

  // Discards the rest of the burst being read: the bytes already received.
  void Purge() override {
    ++purges_;
    if (inBurst_) script_.pop_front();
    inBurst_ = false;
  }

  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }

 private:
  std::deque<Burst> script_;
  bool open_ = true;
  bool inBurst_ = false;  // the front burst has begun to arrive
  int purges_ = 0;
};

}  // namespace vexa
