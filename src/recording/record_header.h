// One recording file's header as it reads, without a recording object: the
// folder scan reads every file's header this way (on a thread of its own in
// the open window), the open window shows the selected file's description
// from it, and opening a recording checks it before anything the monitor
// shows is touched. TChannel::ReadHeader takes the same struct into the
// recording object.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "recording/channel.h"

namespace vexa {

struct TRecordingHeader {
  int32_t formatVersion = 0;
  std::string deviceName;
  int32_t channelsCount = 0;
  double started = 0, stopped = 0, interval = 0;
  int64_t descriptionOffset = 0;
  std::string description;  // UTF-8, blanks around it dropped
  int32_t dataCount = 0;    // 0 for a file whose session never completed it
  // The "Data-Count" value is blank: the slot still holds its placeholder
  // (the session that wrote the file never stopped it).
  bool dataCountBlank = false;
  int32_t nameCount = 0;
  std::string names[kMaxColumnNames];
  uint32_t colours[kMaxColumnNames] = {};
  // Pressure, body mass, temperature, humidity; empty when the line is missing.
  std::optional<double> environment[4];
  bool dataTableFound = false;
  int64_t dataTableOffset = 0;

  // The rows can be loaded: the header reached "Data-Table" and named a column.
  bool Loadable() const { return dataTableFound && nameCount >= 1; }
};

// Reads the header of the file at path (at most its first 4 KB). Results as
// TChannel::ReadHeader: 0 read; 1 cannot be opened; 2 a newer format version
// (formatVersion says which); 3 not a recording; 4 a value does not convert.
// Safe on any thread: it touches nothing but its arguments.
int ReadRecordingHeader(const std::string& path, TRecordingHeader& header);
// The same on bytes already read: the first bytes of a file (at most
// kHeaderReadBytes are looked at), `wholeFile` when they are all of it.
int ParseRecordingHeader(std::string_view bytes, bool wholeFile, TRecordingHeader& header);

}  // namespace vexa
