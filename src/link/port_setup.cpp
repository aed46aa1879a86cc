#include "link/port_setup.h"

#include <cstddef>
#include <span>
#include <vector>

#include "core/own_texts.h"
#include "core/paths.h"

namespace vexa {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The line end a new line gets: the file's own, else the system's.
std::string_view LineEnd(std::string_view text) {
  const std::size_t lf = text.find('\n');
  if (lf != std::string_view::npos) return lf > 0 && text[lf - 1] == '\r' ? "\r\n" : "\n";
  return kPortsLineEnd;
}

}  // namespace

std::string DescribeComPort(int n, const ComPortResolution& r, int language) {
  const std::string name = "COM" + std::to_string(n);
  switch (r.source) {
    case PortSource::kEnvironment: return name + " = " + r.device + " (" + OwnText(Own::kPortFromVariable, language) + r.origin + ")";
    case PortSource::kPortsFile: return name + " = " + r.device + " (" + OwnText(Own::kPortFromFile, language) + r.origin + ")";
    case PortSource::kSystemDefault: return name + " = " + r.device + " (" + OwnText(Own::kPortSystemDefault, language) + ")";
    case PortSource::kNone: break;
  }
  return name + ": " + OwnText(Own::kNoSuchPort, language);
}

namespace {
PortsFileEdit Refused(Own why, std::string detail = {}) {
  PortsFileEdit edit;
  edit.refusal = why;
  edit.detail = std::move(detail);
  edit.error = FormatOwn(why, kEnglish, {std::string(kPortsFileName), edit.detail});
  return edit;
}
}  // namespace

PortsFileEdit WithComPortLine(std::string_view text, int n, std::string_view device) {
  device = TrimBlanks(device);
  if (n < 1) return Refused(Own::kPortsNotAPort, std::to_string(n));
  if (device.empty()) return Refused(Own::kPortsNoDevice);
  if (device.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
    return Refused(Own::kPortsDeviceOneLine);
  }
  if (text.size() > kMaxPortsFileBytes) {
    return Refused(Own::kPortsTooLarge, std::to_string(kMaxPortsFileBytes / 1024));
  }
  // Lines as [begin, end) without their line end; the line the lookup
  // answers from is the first for n with a device, else the first for n.
  std::size_t withDevice = std::string_view::npos, anyForN = std::string_view::npos, anyEnd = 0, deviceEnd = 0;
  for (std::size_t begin = 0; begin < text.size();) {
    std::size_t lf = text.find('\n', begin);
    const std::size_t next = lf == std::string_view::npos ? text.size() : lf + 1;
    std::size_t end = lf == std::string_view::npos ? text.size() : lf;
    if (end > begin && text[end - 1] == '\r') --end;
    const std::optional<PortsLine> named = ParsePortsLine(text.substr(begin, end - begin));
    if (named && named->number == n) {
      if (anyForN == std::string_view::npos) {
        anyForN = begin;
        anyEnd = end;
      }
      if (!named->device.empty()) {
        withDevice = begin;
        deviceEnd = end;
        break;
      }
    }
    begin = next;
  }
  const std::string line = "COM" + std::to_string(n) + "=" + std::string(device);
  PortsFileEdit edit;
  if (withDevice != std::string_view::npos || anyForN != std::string_view::npos) {
    const std::size_t begin = withDevice != std::string_view::npos ? withDevice : anyForN;
    const std::size_t end = withDevice != std::string_view::npos ? deviceEnd : anyEnd;
    edit.text.append(text.substr(0, begin)).append(line).append(text.substr(end));
    return edit;
  }
  edit.text.append(text);
  if (!text.empty() && text.back() != '\n') edit.text.append(LineEnd(text));
  edit.text.append(line).append(LineEnd(text));
  return edit;
}

FileResult WriteComPortDevice(int n, const std::string& device, const std::string& configDir) {
  const std::string path = JoinPath(configDir, kPortsFileName);
  std::string text;
  if (FileExists(path)) {
    std::vector<std::byte> bytes;
    if (!ReadFileBytes(path, kMaxPortsFileBytes + 1, bytes)) return FileResult::Failed(Own::kPortsUnreadable, {path});
    text.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  const PortsFileEdit edit = WithComPortLine(text, n, device);
  if (edit.refusal != Own::kCount) return FileResult::Failed(edit.refusal, {path, edit.detail});
  return WriteFileAtomic(path, std::as_bytes(std::span(edit.text.data(), edit.text.size())));
}

}  // namespace vexa
