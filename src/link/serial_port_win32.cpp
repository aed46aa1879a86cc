// Serial ports on Windows: the comm API, whose time-outs give reads their
// behaviour directly.
#include <windows.h>

#include "link/serial_port.h"

namespace vexa {

namespace {

// A read returns when all bytes are in, 5 ms after a byte without the next,
// or after 1000 ms + 1 ms per requested byte.
void SetUsualTimeouts(HANDLE h) {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = kReadGapMs;
  timeouts.ReadTotalTimeoutMultiplier = kReadPerByteMs;
  timeouts.ReadTotalTimeoutConstant = kReadBaseMs;
  (void)SetCommTimeouts(h, &timeouts);
}

class Win32SerialPort final : public SerialPort {
 public:
  ~Win32SerialPort() override { Close(); }

  bool Open(const std::string& device, const TLineSettings& settings) override {
    Close();
    if (device.empty()) return false;
    // No sharing: a second opener fails while this handle lives.
    const HANDLE h = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    // A disk file opens too, but it is no serial line.
    if (GetFileType(h) != FILE_TYPE_CHAR) {
      CloseHandle(h);
      return false;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (GetCommState(h, &dcb)) {
      dcb.BaudRate = settings.BaudRate;
      dcb.ByteSize = settings.DataBits;
      dcb.fBinary = TRUE;
      switch (settings.Parity) {
        case 'e': dcb.Parity = EVENPARITY; break;
        case 'o': dcb.Parity = ODDPARITY; break;
        case 'm': dcb.Parity = MARKPARITY; break;
        case 's': dcb.Parity = SPACEPARITY; break;
        default: dcb.Parity = NOPARITY; break;
      }
      dcb.fParity = dcb.Parity != NOPARITY;
      dcb.StopBits = settings.StopBits == 2 ? TWOSTOPBITS
                     : settings.StopBits == 15 ? ONE5STOPBITS
                                               : ONESTOPBIT;
      (void)SetCommState(h, &dcb);  // a port that refuses is used unchanged
    }
    SetUsualTimeouts(h);  // a refusal leaves the port as it is
    (void)PurgeComm(h, PURGE_RXCLEAR);
    handle_ = h;
    return true;
  }

  TReadResult Read(uint8_t* buffer, size_t n) override {
    TReadResult result;
    if (handle_ == INVALID_HANDLE_VALUE) {
      result.Lost = true;
      return result;
    }
    DWORD got = 0;
    const DWORD want = n > 0xFFFF ? 0xFFFF : static_cast<DWORD>(n);
    // A removed USB adapter makes every read fail; nothing else does.
    if (!ReadFile(handle_, buffer, want, &got, nullptr)) result.Lost = true;
    result.Count = got;
    return result;
  }

  TReadResult ReadWithin(uint8_t* buffer, size_t n, int windowMs) override {
    // One total time-out and no gap rule for this read, then the usual ones.
    COMMTIMEOUTS window{};
    window.ReadTotalTimeoutConstant = static_cast<DWORD>(windowMs);
    if (handle_ != INVALID_HANDLE_VALUE) (void)SetCommTimeouts(handle_, &window);
    const TReadResult result = Read(buffer, n);
    if (handle_ != INVALID_HANDLE_VALUE) SetUsualTimeouts(handle_);
    return result;
  }

  void Purge() override {
    if (handle_ != INVALID_HANDLE_VALUE) (void)PurgeComm(handle_, PURGE_RXCLEAR);
  }

  size_t Available() override {
    DWORD errors = 0;
    COMSTAT stat{};
    if (handle_ == INVALID_HANDLE_VALUE || !ClearCommError(handle_, &errors, &stat)) return 0;
    return stat.cbInQue;
  }

  void Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

  bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<SerialPort> MakeSerialPort() { return std::make_unique<Win32SerialPort>(); }

}  // namespace vexa
