// The serial-port layer: one small interface over the system's serial calls,
// so the instrument and its acquisition thread never see termios or Win32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vexa {

// Line settings as the platforms' mode strings write them: "57600,n,8,1" is
// baud rate, parity (n, e, o, m, s), data bits (5..8), stop bits (1, 1.5, 2).
struct TLineSettings {
  uint32_t BaudRate = 0;
  char Parity = 'n';
  uint8_t DataBits = 8;
  uint8_t StopBits = 1;  // 1, 2, or 15 for one and a half
};

// Parses a mode string; false (and `out` untouched) when it is not one.
bool ParseLineSettings(std::string_view mode, TLineSettings& out);

// What one Read delivered. `Count` bytes (0 when the line stayed silent for
// the whole time-out); `Lost` when the device went away (unplugged adapter,
// closed far end of a pseudo-terminal): the port is then useless until it is
// closed and opened again. Bytes that arrived before the loss still count.
struct TReadResult {
  size_t Count = 0;
  bool Lost = false;
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens an existing device exclusively for reading and writing, applies
  // the line settings (a refusal is ignored: the port is used as it is) and
  // discards whatever was queued before. False when the device is missing,
  // held by another opener, or not a serial line at all.
  virtual bool Open(const std::string& device, const TLineSettings& settings) = 0;

  // Reads up to n bytes. Returns when all n have arrived, 5 ms after a byte
  // without the next one, or 1000 ms + 1 ms per requested byte after the
  // call, whichever comes first.
  virtual TReadResult Read(uint8_t* buffer, size_t n) = 0;

  // Reads up to n bytes that must arrive within windowMs of the call:
  // returns when all n have arrived or when the window has passed, whatever
  // the pauses between the bytes.
  virtual TReadResult ReadWithin(uint8_t* buffer, size_t n, int windowMs) = 0;

  // Discards every byte received and not yet read.
  virtual void Purge() = 0;
  // How many bytes have been received and not yet read (0 when closed).
  virtual size_t Available() = 0;

  // Closes the port if it is open; harmless when it is not.
  virtual void Close() = 0;

  virtual bool IsOpen() const = 0;
};

// The system's serial port (termios on POSIX, the comm API on Windows).
std::unique_ptr<SerialPort> MakeSerialPort();

// The read time-outs above, shared by every implementation.
inline constexpr int kReadGapMs = 5;
inline constexpr int kReadBaseMs = 1000;
inline constexpr int kReadPerByteMs = 1;

}  // namespace vexa
