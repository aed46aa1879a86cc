#include "link/device.h"

#include "link/port_names.h"

namespace vexa {

TDev::TDev(uint8_t kind) : Kind(kind) {
  (void)ParseLineSettings(kLineMode, LineSettings);
  if (kind == kKindAiro) Model = "Airo-510";
  if (kind == kKindFlown) Model = "Flown-710";
}

TDev::~TDev() { ClosePort(); }

int32_t TDev::OpenPort() {
  if (!Port) Port = MakeSerialPort();
  DevicePath = ComPortDevice(PortNumber);
  if (!Port->Open(DevicePath, LineSettings)) {
    FailedPort = PortNumber;
    return 1;
  }
  FailedPort = 0;
  return 0;
}

void TDev::ClosePort() {
  if (Port) Port->Close();
  Restart = true;
  HeldCount = 0;  // bytes of the line before the close are no frame's
  HaveLastSeen = false;
}

}  // namespace vexa
