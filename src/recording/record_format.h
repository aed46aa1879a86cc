// Constants of the recording file (.vxa) shared by its writer, its reader and
// the folder scan.
//
// A recording is Windows-1251 text with CR LF line ends: fifteen header lines
// "Key: value" in a fixed order, then one row per sample, each visible
// channel's value with one decimal and a TAB, an optional mark text, CR LF.
// Three header values are slots that the stop step overwrites in place: the
// stop time (19 characters), the description (82) and the row count (6).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace vexa {

inline constexpr int kHeaderKeyCount = 15;
// Header keys in file order; the reader only ever moves forward in this table.
inline constexpr const char* kHeaderKeys[kHeaderKeyCount] = {
    "Format-Version",  "Device-Name",      "Channels-Count",      "Started-Record",
    "Stopped-Record",  "Sample-Interval",  "Description",         "Data-Count",
    "Column-Header",   "Data-Color",       "Data-AtmPressure",    "Data-BodyMass",
    "Data-TempEnviroment", "Data-Humidity", "Data-Table",
};
enum HeaderKey : int {
  kKeyFormatVersion = 0, kKeyDeviceName, kKeyChannelsCount, kKeyStarted, kKeyStopped,
  kKeyInterval, kKeyDescription, kKeyDataCount, kKeyColumnHeader, kKeyDataColor,
  kKeyAtmPressure, kKeyBodyMass, kKeyTempEnviroment, kKeyHumidity, kKeyDataTable,
};

inline constexpr int kFormatVersion = 2;
inline constexpr const char* kDeviceNameValue = "Airo-510\t Flown-710";
inline constexpr const char* kMarksColumn = "Marks";
inline constexpr const char* kRecordExtension = ".vxa";

// Slot widths. The description slot is 82 characters; the stop step writes
// 81 of them (text left-aligned, padded), so one space always stays before
// the line end. The row-count slot is six characters wide.
inline constexpr std::size_t kDescriptionSlot = 82;
inline constexpr std::size_t kDescriptionField = 81;
inline constexpr std::size_t kMaxDescriptionBytes = 80;
inline constexpr std::size_t kDataCountSlot = 6;
inline constexpr std::size_t kDateTimeChars = 19;
inline constexpr int32_t kMaxDataCount = 999999;
// Marks longer than the text-entry field allows are cut when written.
inline constexpr std::size_t kMaxMarkBytes = 50;

// How much of a file the header reader looks at. A header of this format is
// at most about 1.5 KB; a file whose "Data-Table" line lies beyond this is
// not read as a recording.
inline constexpr std::size_t kHeaderReadBytes = 4096;
// Lines after the first that the header reader looks at.
inline constexpr int kMaxHeaderLines = 20;
// The loader keeps at most this much of a row (a row of this format is at
// most 98 characters); the rest of a longer line is skipped.
inline constexpr std::size_t kMaxRowBytes = 4096;
// Mark bar height in the chart.
inline constexpr double kMarkBarValue = 30.0;

// A name ending in ".vxa" in any case, as the Windows wildcard "*.vxa"
// matches it.
bool HasRecordExtension(std::string_view name);

// A row holds every data column when each of its `columns` fields ends in
// its TAB, as the writer writes them (consecutive TABs count as one, as the
// loader splits). The last line of a file without its line end is a whole
// row when this holds, else a torn one that is left out.
bool HoldsEveryColumn(std::string_view line, int columns);

}  // namespace vexa
