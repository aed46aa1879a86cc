#include "recording/interrupted.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>

#include "core/datetime.h"
#include "recording/record_file.h"
#include "recording/record_format.h"
#include "recording/record_header.h"

namespace vexa {
namespace {

constexpr std::size_t kCountBlockBytes = 1 << 20;
constexpr std::string_view kCrLf = "\r\n";

// The LFs of a block: how many, where the first and the last are (npos: none).
struct LineEnds {
  int64_t count = 0;
  std::size_t first = std::string::npos, last = std::string::npos;
};

LineEnds FindLineEnds(std::string_view bytes) {
  LineEnds e;
  const char* const begin = bytes.data();
  const char* p = begin;
  const char* const end = begin + bytes.size();
  while (p < end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    if (!lf) break;
    const auto at = static_cast<std::size_t>(lf - begin);
    if (e.first == std::string::npos) e.first = at;
    e.last = at;
    ++e.count;
    p = lf + 1;
  }
  return e;
}

}  // namespace

ReadAtFunction FileReadAt(std::FILE* file) {
  return [file](int64_t offset, std::size_t bytes, std::string& out) {
    out.assign(bytes, '\0');
#ifdef _WIN32
    if (_fseeki64(file, offset, SEEK_SET) != 0) return false;
#else
    if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
#endif
    out.resize(std::fread(out.data(), 1, bytes, file));
    return !std::ferror(file);
  };
}

namespace {

// What the bytes after the last LF (lastLineStart .. size) make of the count.
bool FinishTail(const ReadAtFunction& read, int64_t lastLineStart, int64_t size, int columns, TRowCount& out) {
  out.wholeEnd = lastLineStart;
  if (lastLineStart >= size) return true;
  std::string tail;
  if (!read(lastLineStart, static_cast<std::size_t>(std::min<int64_t>(size - lastLineStart, kMaxRowBytes)), tail))
    return false;
  if (HoldsEveryColumn(tail, columns)) {
    ++out.rows;
    out.wholeEnd = size;
    out.lineEndMissing = true;
    out.crPresent = size - lastLineStart <= static_cast<int64_t>(kMaxRowBytes) && !tail.empty() && tail.back() == '\r';
  } else {
    out.tornRow = true;
  }
  return true;
}

}  // namespace

bool IsInterrupted(const TRecordingHeader& header) { return header.Loadable() && header.dataCountBlank; }

bool CountRows(const ReadAtFunction& read, int64_t dataTableOffset, int64_t size, int columns, TRowCount& out) {
  out = TRowCount();
  int64_t lineStart = dataTableOffset;
  std::string block;
  for (int64_t at = dataTableOffset; at < size;) {
    if (!read(at, static_cast<std::size_t>(std::min<int64_t>(size - at, kCountBlockBytes)), block)) return false;
    if (block.empty()) {
      size = at;  // the file ended sooner than it said
      break;
    }
    const LineEnds e = FindLineEnds(block);
    out.rows += e.count;
    if (e.count > 0) lineStart = at + static_cast<int64_t>(e.last) + 1;
    at += static_cast<int64_t>(block.size());
  }
  return FinishTail(read, lineStart, size, columns, out);
}

bool CountRowsBounded(const ReadAtFunction& read, int64_t dataTableOffset, int64_t size, int columns,
                      TRowCount& out) {
  if (size - dataTableOffset <= kExactCountBytes) return CountRows(read, dataTableOffset, size, columns, out);
  out = TRowCount();
  out.estimated = true;
  std::string first, last;
  const int64_t lastAt = size - static_cast<int64_t>(kEstimateBlockBytes);
  if (!read(dataTableOffset, kEstimateBlockBytes, first) || !read(lastAt, kEstimateBlockBytes, last)) return false;
  const LineEnds a = FindLineEnds(first), b = FindLineEnds(last);
  // Whole lines: the first block's from the table's start to its last LF, the
  // last block's between its first and last LF.
  int64_t lines = a.count, bytes = a.count ? static_cast<int64_t>(a.last) + 1 : 0;
  if (b.count > 1) {
    lines += b.count - 1;
    bytes += static_cast<int64_t>(b.last - b.first);
  }
  if (b.count == 0) {
    // The last line alone is longer than the block: no end is seen.
    out.rows = lines > 0 ? std::llround(static_cast<double>(size - dataTableOffset) * static_cast<double>(lines) /
                                        static_cast<double>(bytes))
                         : 0;
    out.wholeEnd = size;
    return true;
  }
  const int64_t lastLineStart = lastAt + static_cast<int64_t>(b.last) + 1;
  const double mean = static_cast<double>(bytes) / static_cast<double>(lines);
  out.rows = std::llround(static_cast<double>(lastLineStart - dataTableOffset) / mean);
  return FinishTail(read, lastLineStart, size, columns, out);
}

std::string TCompletion::Text(int language) const {
  return language == 1 ? text_[1] : text_[0];
}

TCompletion CompleteInterruptedRecording(const std::string& path) {
  TCompletion c;
  TRecordFile file;
  const auto failed = [&](Own reason, const std::vector<std::string>& args = {}) {
    for (int lang = 0; lang < 2; ++lang) {
      const std::string why = reason == Own::kCompleteFile ? FormatOwn(reason, lang, {file.LastError(lang)})
                                                           : FormatOwn(reason, lang, args);
      c.text_[lang] = FormatOwn(Own::kCompleteFailed, lang, {path, why});
    }
    c.notInterrupted = reason == Own::kCompleteNotInterrupted;
    return c;
  };
  if (!file.OpenExisting(path)) return failed(Own::kCompleteFile);
  std::string head;
  if (!file.ReadAt(0, kHeaderReadBytes, head)) return failed(Own::kCompleteFile);
  auto h = std::make_unique<TRecordingHeader>();
  const int64_t size = file.Size();
  if (ParseRecordingHeader(head, static_cast<int64_t>(head.size()) == size, *h) != 0 || !h->Loadable())
    return failed(Own::kCompleteNotRecording);
  if (!h->dataCountBlank) return failed(Own::kCompleteNotInterrupted);

  // Lines 1 to 8 as the writer writes them: each key, ": ", its value, CR LF.
  std::size_t lineStart[8] = {};
  std::size_t valueEnd[8] = {};
  std::size_t pos = 0;
  for (int i = 0; i < 8; ++i) {
    const std::string_view key = kHeaderKeys[i];
    const std::size_t end = head.find(kCrLf, pos);
    if (end == std::string::npos || head.compare(pos, key.size(), key) != 0 ||
        head.compare(pos + key.size(), 2, ": ") != 0 || head.find('\n', pos) < end)
      return failed(Own::kCompleteLayout);
    lineStart[i] = pos;
    valueEnd[i] = end;
    pos = end + 2;
  }
  const auto valueStart = [&](int i) { return lineStart[i] + std::string_view(kHeaderKeys[i]).size() + 2; };
  const std::size_t stopAt = valueStart(kKeyStopped), descAt = valueStart(kKeyDescription),
                    countAt = valueStart(kKeyDataCount);
  if (valueEnd[kKeyStopped] - stopAt != kDateTimeChars ||
      head.compare(descAt, valueEnd[kKeyDescription] - descAt, std::string(kDescriptionSlot, ' ')) != 0 ||
      valueEnd[kKeyDescription] - descAt != kDescriptionSlot ||
      head.compare(countAt, valueEnd[kKeyDataCount] - countAt, std::string(kDataCountSlot, ' ')) != 0 ||
      valueEnd[kKeyDataCount] - countAt != kDataCountSlot)
    return failed(Own::kCompleteLayout);

  const int columns = std::min(h->nameCount, kMaxColumnNames) - 1;
  TRowCount count;
  const ReadAtFunction read = [&file](int64_t offset, std::size_t bytes, std::string& out) {
    return file.ReadAt(offset, bytes, out);
  };
  if (!CountRows(read, h->dataTableOffset, size, columns, count)) return failed(Own::kCompleteFile);
  if (count.rows > kMaxDataCount)
    return failed(Own::kCompleteTooManyRows, {std::to_string(count.rows), std::to_string(kMaxDataCount)});

  // The last row's time, as the reader labels rows: start + rows x interval.
  const double interval = std::isfinite(h->interval) && h->interval > 0 ? h->interval / 86400.0 : 0.0;
  const double stopped = h->started + static_cast<double>(count.rows) * interval;
  const std::string stopText = FormatDateTime(stopped);
  // The placeholder: the time the session began writing (read a moment
  // after the start), or what an earlier completion of this file wrote.
  double placeholder = 0;
  const std::string_view slot(head.data() + stopAt, kDateTimeChars);
  if (!ParseDateTime(slot, placeholder)) return failed(Own::kCompleteLayout);
  const double seconds = (placeholder - h->started) * 86400.0;
  if (slot != stopText && !(seconds > -0.5 && seconds < 2.5)) return failed(Own::kCompleteLayout);

  // The end first: a torn row cut off, or the line end a whole last row lacks.
  if (count.tornRow) {
    if (!file.CutTo(count.wholeEnd)) return failed(Own::kCompleteFile);
    c.tornBytesCut = size - count.wholeEnd;
  } else if (count.lineEndMissing) {
    if (!file.WriteAt(count.wholeEnd, count.crPresent ? "\n" : kCrLf)) return failed(Own::kCompleteFile);
    c.lineEndAdded = true;
  }
  if ((c.tornBytesCut > 0 || c.lineEndAdded) && !file.Sync()) return failed(Own::kCompleteFile);

  // Then lines 5 to 8 in one write: the stop time, the description slot's
  // 81 characters (blank), the row count; the bytes between as they are.
  std::string span = head.substr(stopAt, countAt + kDataCountSlot - stopAt);
  span.replace(0, kDateTimeChars, stopText);
  span.replace(descAt - stopAt, kDescriptionField, std::string(kDescriptionField, ' '));
  std::string rows = std::to_string(count.rows);
  rows.insert(0, kDataCountSlot - rows.size(), ' ');
  span.replace(countAt - stopAt, kDataCountSlot, rows);
  if (!file.WriteAt(static_cast<int64_t>(stopAt), span) || !file.Sync()) return failed(Own::kCompleteFile);
  if (!file.Close()) return failed(Own::kCompleteFile);

  c.ok = true;
  c.rows = count.rows;
  c.stopped = stopped;
  for (int lang = 0; lang < 2; ++lang) {
    c.text_[lang] = FormatOwn(Own::kCompleted, lang, {path, std::to_string(count.rows), stopText});
    if (c.tornBytesCut > 0) c.text_[lang] += FormatOwn(Own::kCompletedTornCut, lang, {std::to_string(c.tornBytesCut)});
    if (c.lineEndAdded) c.text_[lang] += FormatOwn(Own::kCompletedLineEnd, lang);
  }
  return c;
}

}  // namespace vexa
