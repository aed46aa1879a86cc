// What the Setup page shows and changes beside the flow meter's port number
// (pPORTFLOWN): which device COM n stands for on this machine and why, and
// the COM<n>= line of vexa.ports, so that an operator with a USB adapter
// never edits that file by hand.
#pragma once

#include <string>
#include <string_view>

#include "core/atomic_file.h"
#include "link/port_names.h"

namespace vexa {

// The line end of a line added to a file that has none yet: the system's.
#ifdef _WIN32
inline constexpr std::string_view kPortsLineEnd = "\r\n";
#else
inline constexpr std::string_view kPortsLineEnd = "\n";
#endif

// One line for the operator in language 0 (English) or 1 (Russian), e.g.
// "COM3 = /dev/ttyUSB0 (vexa.ports: /home/lab/.config/vexa/vexa.ports)".
std::string DescribeComPort(int n, const ComPortResolution& resolution, int language);

struct PortsFileEdit {
  std::string text;   // the whole new file
  std::string error;  // in English, naming the file vexa.ports; empty when the edit is possible
  // Why it is refused, for the operator: an own text whose %1 is the file
  // (and %2 the detail); empty when the edit is possible.
  Own refusal = Own::kCount;
  std::string detail;
};

// The text of vexa.ports with COM n standing for `device`. The line that
// answers for COM n now (the first COM<n>= line with a device, else the
// first empty one) is replaced where it stands, keeping its line end; with
// none, the line is appended. Every other byte stays as it was. Refused: a
// port number below 1, an empty device, one with a line break or a NUL,
// and a text beyond kMaxPortsFileBytes (not a ports file written by hand).
PortsFileEdit WithComPortLine(std::string_view text, int n, std::string_view device);

// Reads vexa.ports in configDir (a missing file is an empty one), applies
// WithComPortLine and replaces the file atomically. A file that exists but
// cannot be read is left alone.
FileResult WriteComPortDevice(int n, const std::string& device, const std::string& configDir);

}  // namespace vexa
