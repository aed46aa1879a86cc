// One measuring instrument on one serial port.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "link/frame.h"
#include "link/serial_port.h"

namespace vexa {

inline constexpr const char* kLineMode = "57600,n,8,1";

class TDev {
 public:
  explicit TDev(uint8_t kind);
  ~TDev();
  TDev(const TDev&) = delete;
  TDev& operator=(const TDev&) = delete;

  // Opens the port named by PortNumber (see port_names.h) exclusively with
  // LineSettings. 0 on success (FailedPort = 0); 1 on failure (FailedPort =
  // PortNumber).
  int32_t OpenPort();
  // Closes the port if it is open and sets Restart.
  void ClosePort();

  std::string Model;           // "Airo-510" (kind 1) or "Flown-710" (kind 2)
  TLineSettings LineSettings;  // from kLineMode
  // The port object lives as long as the instrument (made on first open; a
  // test may put its own in first); "closed" is !Port || !Port->IsOpen().
  std::unique_ptr<SerialPort> Port;
  uint8_t Kind = 0;
  int32_t PortNumber = 0;
  uint8_t Frame[kFrameDataSize] = {};  // receive buffer of the acquisition thread
  // Bytes the acquisition thread has read but not judged yet: after a
  // candidate frame is refused they are looked at again, from the byte after
  // its sync byte, and after a frame the next one's sync byte waits here.
  uint8_t Held[2 * (kFrameDataSize + 1)] = {};
  size_t HeldCount = 0;
  // The last candidate frame within the meter's range, taken or not: a frame
  // that noise follows is taken only when it agrees with it.
  TFlowValues LastSeen;
  bool HaveLastSeen = false;
  double Values[3] = {};               // latest decoded values (kind 2: V, F, M)
  std::atomic<bool> LinkAlive{false};  // the last read delivered a byte
  std::atomic<bool> Restart{true};     // the next frame replaces Values
  int32_t FailedPort = 0;
  // The device OpenPort resolved PortNumber to; the acquisition thread opens
  // it again after the device was lost.
  std::string DevicePath;
};

}  // namespace vexa
