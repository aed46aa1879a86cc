#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "link/serial_devices.h"

namespace vexa {

namespace {

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.pop_back();  // the terminating zero
  return out;
}

}  // namespace

std::vector<SerialDevice> FindSerialDevices() {
  std::vector<std::pair<long, SerialDevice>> ports;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return {};
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    wchar_t data[64] = {};
    DWORD nameLength = 256;
    DWORD dataBytes = sizeof(data) - sizeof(wchar_t);  // room for a terminating zero
    DWORD type = 0;
    const LONG r = RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataBytes);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS || type != REG_SZ) continue;
    const std::string com = Utf8(data);  // "COM3"
    if (com.size() < 4 || com.compare(0, 3, "COM") != 0) continue;
    const long n = std::wcstol(data + 3, nullptr, 10);
    // The device namespace reaches COM10 and above, which the short names do not.
    ports.push_back({n, {"\\\\.\\" + com, Utf8(name)}});
  }
  RegCloseKey(key);
  std::sort(ports.begin(), ports.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<SerialDevice> found;
  for (auto& p : ports) found.push_back(std::move(p.second));
  return found;
}

}  // namespace vexa
