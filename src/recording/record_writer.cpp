// Writing a recording file: the header when a session starts, one row per
// sample, and the three header slots when it stops (record_format.h has the
// layout). Every byte goes out as Windows-1251 with explicit CR LF, and
// numbers are formatted without the locale, so the files are identical on
// every system.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "core/atomic_file.h"
#include "core/cp1251.h"
#include "core/datetime.h"
#include "core/numtext.h"
#include "core/paths.h"
#include "recording/channel.h"
#include "recording/record_format.h"

namespace vexa {
namespace {

constexpr std::string_view kCrLf = "\r\n";

double ClockNow(const std::function<double()>& clock) { return clock ? clock() : NowDateTime(); }

// Waits (a little over a second at most) until the clock shows a file-name
// stamp other than `stamp`; that stamp, or "" when the clock stands still.
std::string NextFileStamp(const std::function<double()>& clock, const std::string& stamp) {
  for (int i = 0; i < 120; ++i) {
    std::string next = FormatFileStamp(ClockNow(clock));
    if (next != stamp) return next;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return {};
}

// Names tried before giving up when each one is already taken.
constexpr int kNameAttempts = 5;

// A postfix never leads the file out of the destination folder.
std::string FileNamePart(std::string postfix) {
  for (char& ch : postfix) {
    if (ch == '/' || ch == '\\') ch = '_';
  }
  return postfix;
}

// Line breaks would end the header line or the row early; they become spaces.
std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& ch : out) {
    if (ch == '\r' || ch == '\n') ch = ' ';
  }
  return out;
}

void Line(std::string& out, const char* key, std::string_view value) {
  out += key;
  out += ": ";
  out += value;
  out += kCrLf;
}

// Environment values are written with one decimal; a value that is not a
// number (a damaged preset) would make the header unreadable, so it is 0.0.
std::string OneDecimal(double v) { return FormatFixed(std::isfinite(v) ? v : 0.0, 1); }

}  // namespace

int TChannel::CreateRecordFile() {
  const std::string folder = Settings->DestinationFolder();
  // The default destination (an installed program's VEXA folder in the
  // user's documents) comes back when it was removed since the settings
  // made it; a folder the operator chose is never made up, so a missing
  // drive fails the start instead of filling a bare mount point.
  if (folder == Settings->DefaultDestination()) MakeFolders(folder);
  // A name already taken (a recording begun earlier in the same second, or
  // anything else put there) is never opened or replaced: the clock's next
  // second gives the next name to try.
  std::string stamp = FormatFileStamp(ClockNow(Clock));
  for (int attempt = 1;; ++attempt) {
    RecordFileName = JoinPath(folder, stamp + " " + FileNamePart(Postfix) + kRecordExtension);
    if (RecordFile.Create(RecordFileName)) break;
    if (!RecordFile.NameTaken() || attempt == kNameAttempts) return -2;
    stamp = NextFileStamp(Clock, stamp);
    if (stamp.empty()) return -2;
  }
  ImageCount = 0;
  DataCount = 0;

  // Columns follow ColumnValue, so the header always names exactly the
  // fields every row holds.
  std::string titles, colours;
  for (int k = 0; k < ColumnCount; ++k) {
    for (int c = 0; c < kChannelCount; ++c) {
      if (ColumnValue[k] != &ChannelValue(c)) continue;
      titles += Utf8ToCp1251(kChannelTitle[c]);
      titles += '\t';
      colours += std::to_string(static_cast<int32_t>(ChannelSeries(c).Color));
      colours += '\t';
    }
  }
  const TPreset& preset = ActivePreset ? *ActivePreset : OwnPreset;

  std::string h;
  Line(h, kHeaderKeys[kKeyFormatVersion], std::to_string(kFormatVersion));
  Line(h, kHeaderKeys[kKeyDeviceName], kDeviceNameValue);
  Line(h, kHeaderKeys[kKeyChannelsCount], std::to_string(ColumnCount));
  const std::string started = FormatDateTime(ClockNow(Clock));
  Line(h, kHeaderKeys[kKeyStarted], started);
  // The start as the file keeps it (to the second): the live chart labels
  // its rows from it as the reopened file will.
  ParseDateTime(started, StartedTime);
  const std::size_t keyGap = 2;  // ": "
  StoppedValueOffset = static_cast<int64_t>(h.size() + std::string_view(kHeaderKeys[kKeyStopped]).size() + keyGap);
  Line(h, kHeaderKeys[kKeyStopped], FormatDateTime(ClockNow(Clock)));
  Line(h, kHeaderKeys[kKeyInterval], FormatFixed(Settings->SampleInterval, 1));
  DescriptionValueOffset =
      static_cast<int64_t>(h.size() + std::string_view(kHeaderKeys[kKeyDescription]).size() + keyGap);
  Line(h, kHeaderKeys[kKeyDescription], std::string(kDescriptionSlot, ' '));
  DataCountValueOffset =
      static_cast<int64_t>(h.size() + std::string_view(kHeaderKeys[kKeyDataCount]).size() + keyGap);
  Line(h, kHeaderKeys[kKeyDataCount], std::string(kDataCountSlot, ' '));
  h += kHeaderKeys[kKeyColumnHeader];
  h += ":\t";
  h += titles;
  h += kMarksColumn;
  h += kCrLf;
  Line(h, kHeaderKeys[kKeyDataColor], colours);
  Line(h, kHeaderKeys[kKeyAtmPressure], OneDecimal(preset.AtmPressure));
  Line(h, kHeaderKeys[kKeyBodyMass], OneDecimal(preset.BodyMass));
  Line(h, kHeaderKeys[kKeyTempEnviroment], OneDecimal(preset.AirTemperature));
  Line(h, kHeaderKeys[kKeyHumidity], OneDecimal(preset.Humidity));
  h += kHeaderKeys[kKeyDataTable];
  h += ':';
  h += kCrLf;

  if (!RecordFile.Append(h, true)) {
    // The file is this start's own and holds nothing: it does not stay.
    RecordFile.Close();
    RemoveFile(RecordFileName);
    return -2;
  }
  Recording = true;
  return 0;
}

bool TChannel::RowLimitReached() const { return DataCount >= kMaxDataCount; }

bool TChannel::WriteRow(bool restartAverage) {
  if (!RecordFile.IsOpen()) return false;
  // The row count must fit its six-character slot: the session completes
  // the file instead of writing a row that could not be counted.
  if (RowLimitReached()) return false;

  std::string row;
  row.reserve(128);
  for (int k = 0; k < ColumnCount; ++k) {
    row += FormatFixed(ColumnValue[k]->load(), 1);
    row += '\t';
  }
  // The mark point is the one the sample just added (a bar of height 30 with
  // the mark's text, or a null point).
  const std::size_t marks = MarksSeries.Count();
  if (marks > 0) {
    const double bar = MarksSeries.Value(marks - 1);
    if (!std::isnan(bar) && bar != 0) {
      std::string mark = Utf8ToCp1251(OneLine(MarksSeries.LabelText(marks - 1)));
      if (mark.size() > kMaxMarkBytes) mark.resize(kMaxMarkBytes);
      row += mark;
    }
  }
  row += kCrLf;
  const bool written = RecordFile.Append(row, true);

  const bool* visible = ActivePreset ? ActivePreset->Visible : nullptr;
  if (restartAverage && visible &&
      (visible[kVO2t] || visible[kVes] || visible[kV] || visible[kF] || visible[kM])) {
    // The next frame replaces the values instead of being averaged with old ones.
    ValueV.store(0);
    ValueF.store(0);
    ValueM.store(0);
    ValueVes.store(0);
    ValueVO2t.store(0);
    if (DeviceCount > 0) {
      FlowMeter().Restart.store(true);
      ThreadHandle.Nudge();  // a thread resting after a frame takes the next one
    }
  }
  if (!written) return false;
  ++DataCount;
  return true;
}

bool TChannel::CompleteRecordFile() {
  if (!RecordFile.IsOpen()) {
    Recording = false;
    return false;
  }
  std::string description = Utf8ToCp1251(OneLine(RecordDescription));
  if (description.size() > kMaxDescriptionBytes) description.resize(kMaxDescriptionBytes);
  description.resize(kDescriptionField, ' ');
  std::string count = std::to_string(std::clamp(DataCount, 0, kMaxDataCount));
  if (count.size() < kDataCountSlot) count.insert(0, kDataCountSlot - count.size(), ' ');

  bool ok = RecordFile.WriteAt(StoppedValueOffset, FormatDateTime(ClockNow(Clock))) &&
            RecordFile.WriteAt(DescriptionValueOffset, description) &&
            RecordFile.WriteAt(DataCountValueOffset, count);
  ok = RecordFile.Close() && ok;
  Recording = false;
  return ok;
}

}  // namespace vexa
