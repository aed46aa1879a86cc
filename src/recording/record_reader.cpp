// Reading recording files: the header (bounded: only its first few KB are
// looked at) and the rows, streamed in large blocks straight into the chart
// series. Nothing read from a file is trusted as a size: the row count only
// sizes the series' first allocation, bounded by what the file's bytes can
// hold, and a line longer than any this format writes is cut.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/cp1251.h"
#include "core/datetime.h"
#include "core/numtext.h"
#include "core/paths.h"
#include "recording/channel.h"
#include "recording/folder_scan.h"
#include "recording/record_format.h"
#include "recording/record_header.h"

namespace vexa {
namespace {

constexpr std::size_t kBlockBytes = 1 << 20;

// Blanks in the sense of the trimming the header has always had: spaces,
// TABs and other control characters.
std::string_view Trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

bool IsBlank(std::string_view s) { return Trim(s).empty(); }

bool ReadInt32(std::string_view text, long long lo, long long hi, long long& out) {
  long long v;
  if (!ParseInt(text, v) || v < lo || v > hi) return false;
  out = v;
  return true;
}

int64_t FileSize(std::FILE* f) {
#ifdef _WIN32
  if (_fseeki64(f, 0, SEEK_END) != 0) return -1;
  return _ftelli64(f);
#else
  if (fseeko(f, 0, SEEK_END) != 0) return -1;
  return ftello(f);
#endif
}

bool SeekTo(std::FILE* f, int64_t offset) {
#ifdef _WIN32
  return _fseeki64(f, offset, SEEK_SET) == 0;
#else
  return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The header's lines: LF ends a line, a CR before it is dropped. A line cut
// off by the end of the bytes read is no line when the read stopped at its
// bound (the rest lies beyond what is looked at).
class HeaderLines {
 public:
  HeaderLines(std::string_view bytes, bool wholeFile) : bytes_(bytes), whole_(wholeFile) {}
  bool Next(std::string_view& line) {
    if (pos_ >= bytes_.size()) return false;
    const std::size_t lf = bytes_.find('\n', pos_);
    if (lf == std::string_view::npos) {
      if (!whole_) return false;
      line = bytes_.substr(pos_);
      pos_ = bytes_.size();
    } else {
      line = bytes_.substr(pos_, lf - pos_);
      pos_ = lf + 1;
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
  }
  std::size_t Position() const { return pos_; }

 private:
  std::string_view bytes_;
  bool whole_;
  std::size_t pos_ = 0;
};

std::string_view KeyOf(std::string_view line, std::string_view& value) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) {
    value = {};
    return {};
  }
  value = line.substr(colon + 1);
  return line.substr(0, colon);
}

// Parses a header; returns the ReadHeader result (0, 2, 3 or 4).
int ParseHeader(std::string_view bytes, bool wholeFile, TRecordingHeader& h) {
  HeaderLines lines(bytes, wholeFile);
  std::string_view line, value;
  if (!lines.Next(line) || KeyOf(line, value) != kHeaderKeys[kKeyFormatVersion]) return 3;
  long long n;
  if (!ReadInt32(value, INT32_MIN, INT32_MAX, n)) return 4;
  h.formatVersion = static_cast<int32_t>(n);
  if (h.formatVersion > kFormatVersion) return 2;

  int j = 0;
  for (int read = 0; read < kMaxHeaderLines && lines.Next(line); ++read) {
    const std::string_view key = KeyOf(line, value);
    while (j < kHeaderKeyCount && key != kHeaderKeys[j]) ++j;
    if (j == kHeaderKeyCount) continue;  // out of order: the rest is ignored
    switch (j) {
      case kKeyFormatVersion:
        break;
      case kKeyDeviceName:
        h.deviceName = Cp1251ToUtf8(Trim(value));
        break;
      case kKeyChannelsCount:
        if (!ReadInt32(value, INT32_MIN, INT32_MAX, n)) return 4;
        h.channelsCount = static_cast<int32_t>(n);
        break;
      case kKeyStarted:
        if (!ParseDateTime(value, h.started)) return 4;
        break;
      case kKeyStopped:
        if (!ParseDateTime(value, h.stopped)) return 4;
        break;
      case kKeyInterval:
        if (!ParseDouble(value, h.interval)) return 4;
        break;
      case kKeyDescription:
        h.descriptionOffset = static_cast<int64_t>(lines.Position());
        h.description = Cp1251ToUtf8(Trim(value.empty() ? value : value.substr(1)));
        break;
      case kKeyDataCount:
        // Six spaces: the session never completed the file.
        if (IsBlank(value)) {
          h.dataCount = 0;
          h.dataCountBlank = true;
        } else {
          if (!ReadInt32(value, 0, INT32_MAX, n)) return 4;
          h.dataCount = static_cast<int32_t>(n);
        }
        break;
      case kKeyColumnHeader: {
        h.nameCount = 0;
        std::size_t start = 0;
        while (start <= value.size() && h.nameCount < kMaxColumnNames) {
          std::size_t tab = value.find('\t', start);
          if (tab == std::string_view::npos) tab = value.size();
          if (tab > start) h.names[h.nameCount++] = Cp1251ToUtf8(value.substr(start, tab - start));
          start = tab + 1;
        }
        break;
      }
      case kKeyDataColor: {
        int count = 0;
        std::size_t start = 0;
        while (start <= value.size() && count < kMaxColumnNames) {
          std::size_t tab = value.find('\t', start);
          if (tab == std::string_view::npos) tab = value.size();
          const std::string_view piece = value.substr(start, tab - start);
          if (!IsBlank(piece)) {
            // Colours were written as signed 32-bit numbers.
            if (!ReadInt32(piece, INT32_MIN, UINT32_MAX, n)) return 4;
            h.colours[count++] = static_cast<uint32_t>(n);
          }
          start = tab + 1;
        }
        break;
      }
      case kKeyAtmPressure:
      case kKeyBodyMass:
      case kKeyTempEnviroment:
      case kKeyHumidity: {
        double v;
        if (!ParseDouble(value, v)) return 4;
        h.environment[j - kKeyAtmPressure] = v;
        break;
      }
      case kKeyDataTable:
        h.dataTableFound = true;
        h.dataTableOffset = static_cast<int64_t>(lines.Position());
        return 0;
      default:
        break;
    }
  }
  return 0;
}

// Lines of a file read in large blocks. A line longer than kMaxRowBytes is
// cut to that length and the rest of it skipped.
class BlockLines {
 public:
  // A small file gets a small buffer; it must hold a cut line and one more byte.
  BlockLines(std::FILE* f, int64_t bytes)
      : f_(f),
        buffer_(static_cast<std::size_t>(
            std::clamp<int64_t>(bytes + 1, 2 * kMaxRowBytes, static_cast<int64_t>(kBlockBytes)))) {}

  // The next line without its line end. `terminated` is false for a last
  // line the file ends in without a line end.
  bool Next(std::string_view& line, bool& terminated) {
    for (;;) {
      const std::size_t avail = end_ - begin_;
      const char* start = buffer_.data() + begin_;
      const char* lf = avail ? static_cast<const char*>(std::memchr(start, '\n', avail)) : nullptr;
      if (lf) {
        std::size_t len = static_cast<std::size_t>(lf - start);
        begin_ += len + 1;
        if (skipping_) {
          skipping_ = false;
          continue;
        }
        if (len > 0 && start[len - 1] == '\r') --len;
        line = std::string_view(start, std::min(len, kMaxRowBytes));
        terminated = true;
        return true;
      }
      // No line end yet: read on while the buffer has room.
      const bool full = begin_ == 0 && end_ == buffer_.size();
      if (!eof_ && !full) {
        Refill();
        continue;
      }
      if (skipping_) {
        begin_ = end_;
        if (eof_) return false;
        Refill();
        continue;
      }
      if (eof_) {
        if (avail == 0) return false;
        line = std::string_view(start, std::min(avail, kMaxRowBytes));
        begin_ = end_;
        terminated = false;
        return true;
      }
      // A full buffer without a line end: the line is cut, the rest skipped.
      line = std::string_view(start, kMaxRowBytes);
      terminated = true;
      skipping_ = true;
      begin_ = end_;
      return true;
    }
  }
  bool Failed() const { return failed_; }

 private:
  void Refill() {
    const std::size_t keep = end_ - begin_;
    if (keep && begin_) std::memmove(buffer_.data(), buffer_.data() + begin_, keep);
    begin_ = 0;
    end_ = keep;
    const std::size_t n = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, f_);
    end_ += n;
    if (n == 0) {
      eof_ = true;
      failed_ = std::ferror(f_) != 0;
    }
  }

  std::FILE* f_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0, end_ = 0;
  bool eof_ = false, failed_ = false, skipping_ = false;
};

// A field's number: blanks and one "+" before it allowed, text after it
// ignored. Anything else, and values that are not finite, are null points.
double FieldValue(const char* p, const char* end) {
  while (p < end && *p == ' ') ++p;
  if (p < end && *p == '+') ++p;
  double v;
  const auto [ptr, ec] = std::from_chars(p, end, v);
  if (ec != std::errc() || ptr == p || !std::isfinite(v)) return std::numeric_limits<double>::quiet_NaN();
  return v;
}

}  // namespace

int ReadRecordingHeader(const std::string& path, TRecordingHeader& header) {
  header = TRecordingHeader();
  FilePtr f(OpenFile(path, "rb"));
  if (!f) return 1;
  std::string bytes(kHeaderReadBytes, '\0');
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f.get());
  if (std::ferror(f.get())) return 1;  // a folder, or a read error
  bytes.resize(got);
  return ParseHeader(bytes, got < kHeaderReadBytes, header);
}

int ParseRecordingHeader(std::string_view bytes, bool wholeFile, TRecordingHeader& header) {
  header = TRecordingHeader();
  return ParseHeader(bytes.substr(0, kHeaderReadBytes), wholeFile && bytes.size() <= kHeaderReadBytes, header);
}

bool HoldsEveryColumn(std::string_view line, int columns) {
  // The loader's split: consecutive TABs count as one, each field ends at its TAB.
  std::size_t p = 0;
  for (int k = 0; k < columns; ++k) {
    while (p < line.size() && line[p] == '\t') ++p;
    const std::size_t tab = line.find('\t', p);
    if (tab == std::string_view::npos) return false;
    p = tab + 1;
  }
  return true;
}

int TChannel::ReadHeader(const std::string& path) {
  // Until this header has read, nothing is loadable: LoadRecording must not
  // open the file read before in place of the one the operator chose.
  LoadFileName.clear();
  DataTableFound = false;
  // The header is large (40 names): keep it off the stack of a deep caller.
  auto h = std::make_unique<TRecordingHeader>();
  const int result = ReadRecordingHeader(path, *h);
  if (result == 2) HeaderFormatVersion = h->formatVersion;
  if (result != 0) return result;
  ApplyHeader(path, *h);
  return 0;
}

void TChannel::ApplyHeader(const std::string& path, TRecordingHeader& h) {
  LoadFileName = path;
  HeaderFormatVersion = h.formatVersion;
  HeaderDeviceName = std::move(h.deviceName);
  HeaderChannelsCount = h.channelsCount;
  StartedTime = h.started;
  StoppedTime = h.stopped;
  IntervalSeconds = h.interval;
  DescriptionValueOffset = h.descriptionOffset;
  RecordDescription = std::move(h.description);
  DataCount = h.dataCount;
  ColumnNameCount = h.nameCount;
  for (int i = 0; i < kMaxColumnNames; ++i) {
    ColumnNames[i] = i < h.nameCount ? std::move(h.names[i]) : std::string();
    ColumnColors[i] = h.colours[i];
  }
  double* environment[4] = {&OwnPreset.AtmPressure, &OwnPreset.BodyMass,
                            &OwnPreset.AirTemperature, &OwnPreset.Humidity};
  for (int e = 0; e < 4; ++e) {
    if (h.environment[e]) *environment[e] = *h.environment[e];
  }
  DataTableFound = h.dataTableFound;
  DataTableOffset = h.dataTableOffset;
  // A plain fraction of a day, so intervals of a day or more need nothing
  // special; the time-of-day encoding could not hold them.
  IntervalTime = std::isfinite(IntervalSeconds) && IntervalSeconds > 0 ? IntervalSeconds / 86400.0 : 0.0;
}

void TChannel::ApplyColumnHeader() {
  for (bool& v : OwnPreset.Visible) v = false;
  const int names = std::min(ColumnNameCount, kMaxColumnNames);
  for (int i = 0; i + 1 < names; ++i) {
    for (int c = 0; c < kChannelCount; ++c) {
      if (ColumnNames[i] != kChannelTitle[c]) continue;
      OwnPreset.Color[c] = ColumnColors[i];
      OwnPreset.Visible[c] = true;
    }
  }
}

int TChannel::LoadRecording() {
  if (LoadFileName.empty()) return 1;
  FilePtr f(OpenFile(LoadFileName, "rb"));
  if (!f) return 1;
  // Without its "Data-Table" line the header's lines would be read as rows.
  if (!DataTableFound || ColumnNameCount < 1) return 2;
  const int64_t size = FileSize(f.get());
  if (size < 0 || !SeekTo(f.get(), std::min(DataTableOffset, size))) return 1;

  ApplyColumnHeader();
  FileViewMode = true;
  BuildChart();
  FileViewMode = false;

  // Each data column feeds the series of the channel it names; a column that
  // names no channel, or one named before, is read and dropped, so the
  // columns after it still land on their own series.
  const int n = std::min(ColumnNameCount, kMaxColumnNames) - 1;
  chart::Series* target[kMaxColumnNames] = {};
  bool taken[kChannelCount] = {};
  for (int i = 0; i < n; ++i) {
    for (int c = 0; c < kChannelCount; ++c) {
      if (!taken[c] && ColumnNames[i] == kChannelTitle[c]) {
        target[i] = &ChannelSeries(c);
        taken[c] = true;
        break;
      }
    }
  }

  // Room for the rows the header announces (or, for a file never completed,
  // the rows its size suggests), never more than its bytes can hold.
  const int64_t remaining = std::max<int64_t>(0, size - DataTableOffset);
  const int64_t shortestRow = 4 * static_cast<int64_t>(n) + 2;  // "0.0\t" per column, CR LF
  const int64_t bySize = remaining / shortestRow + 1;
  const std::size_t expected = static_cast<std::size_t>(DataCount > 0 ? std::min<int64_t>(DataCount, bySize) : bySize);
  for (int i = 0; i < n; ++i) {
    if (target[i]) target[i]->Reserve(expected);
  }
  AbsTimeSeries.Reserve(expected);
  RelTimeSeries.Reserve(expected);

  if (ProgressBar) {
    ProgressBar->SetMaximum(DataCount);
    ProgressBar->SetVisible(true);
  }

  BlockLines lines(f.get(), remaining);
  std::string_view line;
  bool terminated = false;
  int64_t rows = 0;
  TornLastRow = false;
  while (lines.Next(line, terminated)) {
    if (!terminated) {
      // A last line without its line end: a whole row when it holds every
      // column, else the row a crash cut short, which is left out.
      if (!HoldsEveryColumn(line, n)) {
        TornLastRow = true;
        break;
      }
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    }
    ++rows;
    const char* p = line.data();
    const char* end = p + line.size();
    bool markFollows = true;
    for (int k = 0; k < n; ++k) {
      while (p < end && *p == '\t') ++p;  // consecutive TABs count as one
      const char* tab = static_cast<const char*>(std::memchr(p, '\t', static_cast<std::size_t>(end - p)));
      const char* fieldEnd = tab ? tab : end;
      if (target[k]) target[k]->Add(p < fieldEnd ? FieldValue(p, fieldEnd) : std::nan(""));
      if (tab) {
        p = tab + 1;
      } else {
        // A row with fewer fields: the missing ones are null points.
        p = end;
        markFollows = false;
      }
    }
    if (markFollows && p < end) {
      MarksSeries.Add(kMarkBarValue, Cp1251ToUtf8(std::string_view(p, static_cast<std::size_t>(end - p))));
    } else {
      MarksSeries.AddNull();
    }
    // Labels from the row number, not by adding up intervals, so a week of
    // rows does not drift.
    const double elapsed = static_cast<double>(rows) * IntervalTime;
    AbsTimeSeries.AddNull(chart::DayTimeLabel{StartedTime + elapsed});
    RelTimeSeries.AddNull(chart::ElapsedLabel::FromDays(elapsed));
    if (ProgressBar && rows % 100 == 0) ProgressBar->SetPosition(static_cast<int>(std::min<int64_t>(rows, INT32_MAX)));
  }
  if (ProgressBar) ProgressBar->SetVisible(false);
  // The chart holds part of the file now.
  if (lines.Failed()) return 3;
  // The rows found are the count, also for a file whose slot was never filled.
  DataCount = static_cast<int32_t>(std::min<int64_t>(rows, INT32_MAX));
  RecordFileName = LoadFileName;
  return 0;
}

}  // namespace vexa
