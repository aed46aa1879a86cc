#include "link/serial_port.h"

#include <charconv>

namespace vexa {

namespace {

// Splits off the text up to the next comma; false when nothing is left.
bool NextField(std::string_view& rest, std::string_view& field) {
  if (rest.empty()) return false;
  const size_t comma = rest.find(',');
  field = rest.substr(0, comma);
  rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  return true;
}

bool ParseUnsigned(std::string_view text, uint32_t& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

bool ParseLineSettings(std::string_view mode, TLineSettings& out) {
  if (mode.empty() || mode.back() == ',') return false;
  std::string_view rest = mode, baud, parity, data, stop;
  if (!NextField(rest, baud) || !NextField(rest, parity) || !NextField(rest, data) ||
      !NextField(rest, stop) || !rest.empty()) {
    return false;
  }
  TLineSettings s;
  uint32_t dataBits = 0;
  if (!ParseUnsigned(baud, s.BaudRate) || s.BaudRate == 0 || s.BaudRate > 4000000) return false;
  if (parity.size() != 1) return false;
  switch (parity[0] | 0x20) {  // lower case
    case 'n': case 'e': case 'o': case 'm': case 's':
      s.Parity = static_cast<char>(parity[0] | 0x20);
      break;
    default:
      return false;
  }
  if (!ParseUnsigned(data, dataBits) || dataBits < 5 || dataBits > 8) return false;
  s.DataBits = static_cast<uint8_t>(dataBits);
  if (stop == "1") {
    s.StopBits = 1;
  } else if (stop == "1.5") {
    s.StopBits = 15;
  } else if (stop == "2") {
    s.StopBits = 2;
  } else {
    return false;
  }
  out = s;
  return true;
}

}  // namespace vexa
