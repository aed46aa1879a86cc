#include "recording/edf_export.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "chart/chart.h"
#include "core/cp1251.h"
#include "core/numtext.h"
#include "core/own_texts.h"
#include "core/paths.h"
#include "recording/channel.h"
#include "recording/csv_export.h"
#include "recording/folder_scan.h"
#include "recording/record_format.h"

#ifdef VEXA_HAVE_EDF
#include <edflib.h>
#endif

namespace vexa {

namespace {

constexpr int64_t kUnitsPerSecond = 100000;     // EDFlib's record duration unit: 10 us
constexpr int64_t kMaxRecordUnits = 60 * kUnitsPerSecond;  // EDFlib's longest record
constexpr int kDigitalMin = -32768, kDigitalMax = 32767;
constexpr double kDataSteps = 65534;  // -32767 .. 32767 carry values

// The physical dimension of each channel (order VO2t, Ves, O2, T, V, F, M).
constexpr const char* kDimension[kChannelCount] = {"l/min", "l/min", "%", "degC", "l", "1/min", "l/min"};

// The value a float holds as the shortest decimal that reads back as it:
// 0.6f is 0.6, not 0.60000002384, as the file wrote it.
double DecimalValue(float f) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, f);
  double d = f;
  std::from_chars(buf, r.ptr, d);
  return d;
}

// A title in the ASCII an EDF header holds: "°" becomes "deg", anything
// else outside printable ASCII "?".
std::string AsciiText(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) == 0xB0) {
      out += "deg";
      ++i;
    } else if (c == '\t' || c == ' ') {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else if (c > 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else if ((c & 0xC0) != 0x80) {
      out += '?';  // one mark per character, not per byte
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// One decimal as the file writes it; a value beyond any measurement in
// exponent form (as vexa-rec info shows it).
std::string EnvironmentText(double v) {
  const bool plain = std::fabs(v) < 1e15 && std::trunc(v * 10) == v * 10;
  return plain ? FormatFixed(v, 1) : FormatGeneral(v);
}

std::string Trimmed(std::string s) {
  const auto blank = [](char c) { return c == ' '; };
  while (!s.empty() && blank(s.back())) s.pop_back();
  std::size_t first = 0;
  while (first < s.size() && blank(s[first])) ++first;
  return s.substr(first);
}

// The pieces of a text 100 us apart from onset on (EDFlib sorts the
// annotations by onset, and a sort may exchange equal ones); returns the
// onset after the last piece.
int64_t AddTextAnnotations(std::vector<TEdfAnnotation>& out, int64_t onset, std::string_view text) {
  for (std::string& piece : EdfTextPieces(text)) out.push_back({onset++, std::move(piece)});
  return onset;
}

// The chart series holding column i's channel, in the file's column order;
// a column that names no channel (or one named before) has none.
std::vector<const chart::Series*> ColumnSeries(const TChannel& ch) {
  std::vector<const chart::Series*> columns;
  if (!ch.Chart) return columns;
  std::vector<bool> taken(static_cast<std::size_t>(ch.Chart->SeriesCount()), false);
  const int names = std::min(ch.ColumnNameCount, kMaxColumnNames) - 1;
  for (int i = 0; i < names; ++i) {
    for (int k = 3; k < ch.Chart->SeriesCount(); ++k) {
      const chart::Series& s = ch.Chart->SeriesAt(k);
      if (!taken[static_cast<std::size_t>(k)] && s.Title == ch.ColumnNames[i]) {
        taken[static_cast<std::size_t>(k)] = true;
        columns.push_back(&s);
        break;
      }
    }
  }
  return columns;
}

bool SignalOf(const chart::Series& series, TEdfSignal& signal) {
  signal.series = &series;
  signal.label = AsciiText(series.Title);
  for (int c = 0; c < kChannelCount; ++c) {
    if (series.Title == kChannelTitle[c]) signal.dimension = kDimension[c];
  }
  // The channel's lowest and highest value as the file holds them.
  const chart::MinMax range = series.ValueRange();
  double lo = range.valid ? DecimalValue(static_cast<float>(range.min)) : 0.0;
  double hi = range.valid ? DecimalValue(static_cast<float>(range.max)) : 0.0;
  if (!(hi > lo)) {  // a flat channel (or one without values) still needs a range
    lo -= 1;
    hi += 1;
  }
  // The maximum rounded up to the header's 8 characters; the minimum at
  // least one step below the lowest value, so that the lowest value's
  // digital value is -32767 or more and -32768 stays "no value".
  signal.physicalMax = EdfNumberText(hi, true);
  if (signal.physicalMax.empty() || !ParseDouble(signal.physicalMax, signal.max)) return false;
  signal.physicalMin = EdfNumberText(lo - (signal.max - lo) / kDataSteps, false);
  if (signal.physicalMin.empty() || !ParseDouble(signal.physicalMin, signal.min)) return false;
  return signal.max > signal.min;
}

std::string Problem(Own id, int language, const std::string& detail = {}) {
  return OwnText(id, language) + detail;
}

}  // namespace

// --- the plan ------------------------------------------------------------------

std::string EdfNumberText(double v, bool up) {
  if (!std::isfinite(v)) return {};
  for (int decimals = 7; decimals >= 0; --decimals) {
    const double scaled = v * std::pow(10.0, decimals);
    if (std::fabs(scaled) >= 1e15) continue;
    // A value that is a decimal of this many places (as far as a double
    // tells) is kept as it is, not pushed to the next step.
    double n = std::nearbyint(scaled);
    if (std::fabs(scaled - n) > 1e-9 + 1e-12 * std::fabs(scaled)) n = up ? std::ceil(scaled) : std::floor(scaled);
    const long long whole = static_cast<long long>(n);
    std::string digits = std::to_string(whole < 0 ? -whole : whole);
    if (static_cast<int>(digits.size()) <= decimals) digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
    std::string text = whole < 0 ? "-" : "";
    text += digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
    if (decimals > 0) {
      std::string fraction = digits.substr(digits.size() - static_cast<std::size_t>(decimals));
      while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
      if (!fraction.empty()) text += "." + fraction;
    }
    if (text.size() <= 8) return text;
  }
  return {};
}

int64_t EdfAnnotationSignals(int64_t rows, int64_t samplesPerRecord, std::size_t annotations) {
  const int64_t records = (rows + 1 + samplesPerRecord - 1) / samplesPerRecord;
  return std::max<int64_t>(1, (static_cast<int64_t>(annotations) + records - 1) / records);
}

TEdfRecordLayout EdfRecordLayout(double intervalSeconds, int64_t rows, std::size_t annotations) {
  TEdfRecordLayout layout;
  if (!std::isfinite(intervalSeconds) || intervalSeconds <= 0 ||
      intervalSeconds > static_cast<double>(kMaxRecordUnits) / kUnitsPerSecond + 1e-9) {
    return layout;
  }
  layout.interval10us = std::llround(intervalSeconds * kUnitsPerSecond);
  if (layout.interval10us < 1 || layout.interval10us > kMaxRecordUnits) return layout;
  // From the fewest samples lasting a second to the most a 60-second record
  // holds: the longest whose annotation space holds the annotations.
  int64_t lo = std::max<int64_t>(1, (kUnitsPerSecond + layout.interval10us - 1) / layout.interval10us);
  int64_t hi = std::max(lo, kMaxRecordUnits / layout.interval10us);
  while (lo < hi) {
    const int64_t mid = lo + (hi - lo + 1) / 2;
    if (EdfAnnotationSignals(rows, mid, annotations) <= kEdfMaxAnnotationSignals) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  layout.samplesPerRecord = static_cast<int>(lo);
  layout.duration10us = lo * layout.interval10us;
  // Seconds with up to five decimals: at most 60 s, so at most 8 characters.
  layout.durationText = std::to_string(layout.duration10us / kUnitsPerSecond);
  if (int64_t fraction = layout.duration10us % kUnitsPerSecond) {
    std::string digits = std::to_string(fraction);
    digits.insert(0, 5 - digits.size(), '0');
    while (digits.back() == '0') digits.pop_back();
    layout.durationText += "." + digits;
  }
  layout.ok = true;
  return layout;
}

std::vector<std::string> EdfTextPieces(std::string_view utf8) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start < utf8.size()) {
    std::size_t end = std::min(utf8.size(), start + kEdfTextBytes);
    if (end < utf8.size()) {
      // Never inside a character: back off continuation bytes.
      std::size_t cut = end;
      while (cut > start && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
      if (cut > start) end = cut;
      // Before a space in the piece's second half, so a reader showing the
      // pieces one by one shows words: the space begins the next piece.
      const std::size_t space = utf8.substr(0, end).rfind(' ');
      if (space != std::string_view::npos && space > start + kEdfTextBytes / 2) end = space;
    }
    pieces.emplace_back(utf8.substr(start, end - start));
    start = end;
  }
  return pieces;
}

int16_t EdfDigital(const TEdfSignal& s, double value) {
  if (std::isnan(value)) return static_cast<int16_t>(kEdfNullDigital);
  const double step = (s.max - s.min) / (kDigitalMax - kDigitalMin);
  const double d = std::nearbyint((DecimalValue(static_cast<float>(value)) - s.min) / step) + kDigitalMin;
  return static_cast<int16_t>(std::clamp(d, static_cast<double>(kDigitalMin + 1), static_cast<double>(kDigitalMax)));
}

TEdfPlan PlanEdfExport(const TChannel& ch, int language) {
  TEdfPlan plan;
  for (const chart::Series* s : ColumnSeries(ch)) {
    TEdfSignal signal;
    if (!SignalOf(*s, signal)) {
      plan.problem = Problem(Own::kEdfValueTooWide, language, s->Title);
      return plan;
    }
    plan.edfSignals.push_back(std::move(signal));
  }
  if (plan.edfSignals.empty()) {
    plan.problem = Problem(Own::kEdfNoChannel, language);
    return plan;
  }
  if (!(ch.IntervalTime > 0)) {
    plan.problem = Problem(Own::kEdfNoInterval, language);
    return plan;
  }
  plan.layout = EdfRecordLayout(ch.IntervalSeconds);
  if (!plan.layout.ok) {
    plan.problem = Problem(Own::kEdfIntervalTooLong, language, FormatGeneral(ch.IntervalSeconds) + " s");
    return plan;
  }
  plan.start = DecodeDateTime(ch.StartedTime);
  if (plan.start.year < 1985 || plan.start.year > 2084) {
    plan.problem = Problem(Own::kEdfStartOutOfRange, language, FormatDateTime(ch.StartedTime));
    return plan;
  }
  plan.equipment = AsciiText(ch.HeaderDeviceName);
  plan.rows = static_cast<int64_t>(ch.AbsTimeSeries.Count());

  // At the start, 100 us apart in this order: the description, the four
  // environment values.
  int64_t at = 0;
  const std::string description = Trimmed(WithoutControls(ch.RecordDescription));
  if (!description.empty()) at = AddTextAnnotations(plan.annotations, at, "Description: " + description);
  const double environment[4] = {ch.OwnPreset.AtmPressure, ch.OwnPreset.BodyMass,
                                 ch.OwnPreset.AirTemperature, ch.OwnPreset.Humidity};
  for (int e = 0; e < 4; ++e) {
    at = AddTextAnnotations(plan.annotations, at,
                            std::string(kHeaderKeys[kKeyAtmPressure + e]) + ": " + EnvironmentText(environment[e]));
  }
  // Row k's time is k intervals after the start, in EDFlib's 100 us: one
  // interval is a whole number of 10 us.
  const std::size_t marks = std::min(ch.MarksSeries.Count(), static_cast<std::size_t>(plan.rows));
  for (std::size_t i = 0; i < marks; ++i) {
    if (ch.MarksSeries.IsNull(i)) continue;
    const int64_t onset = (static_cast<int64_t>(i + 1) * plan.layout.interval10us + 5) / 10;
    AddTextAnnotations(plan.annotations, onset, WithoutControls(ch.MarksSeries.LabelText(i)));
  }
  // Samples 0 (the start) to rows, padded to whole records; EDFlib stores
  // one annotation per annotation signal and data record.
  plan.layout = EdfRecordLayout(ch.IntervalSeconds, plan.rows, plan.annotations.size());
  const int64_t spr = plan.layout.samplesPerRecord;
  plan.records = (plan.rows + 1 + spr - 1) / spr;
  const int64_t needed = EdfAnnotationSignals(plan.rows, spr, plan.annotations.size());
  if (needed > kEdfMaxAnnotationSignals) {
    plan.problem = Problem(Own::kEdfTooManyMarks, language);
    return plan;
  }
  plan.annotationSignals = static_cast<int>(needed);
  return plan;
}

// --- writing -------------------------------------------------------------------

bool EdfExportAvailable() {
#ifdef VEXA_HAVE_EDF
  return true;
#else
  return false;
#endif
}

int EdfLibraryVersion() {
#ifdef VEXA_HAVE_EDF
  return edflib_version();
#else
  return 0;
#endif
}

#ifdef VEXA_HAVE_EDF

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// What failed, with the system's reason when a call left one in errno.
std::string SystemFailure(const char* what) {
  const int err = errno;
  return err ? std::string(what) + " (" + std::strerror(err) + ")" : std::string(what);
}

// A header field's text, padded with spaces to its width.
std::string Field(const std::string& text, std::size_t width) {
  std::string out = text.substr(0, width);
  out.resize(width, ' ');
  return out;
}

// EDFlib prints the numbers of the header by truncating their binary
// fractions (1.2 s becomes "1.199999", 760.3 "760.2999"), and a reader takes
// the text: a record duration a little short makes every later sample early
// (0.6 s over a week of 1.2-second records). Once EDFlib has closed the
// file, the duration and the physical ranges get their exact texts, and
// the file is checked for the size its header gives.
std::string FinishFile(const std::string& temp, const TEdfPlan& plan) {
  std::unique_ptr<std::FILE, FileCloser> f(OpenFile(temp, "r+b"));
  if (!f) return "cannot reopen " + temp;
  const std::size_t ns = plan.edfSignals.size() + static_cast<std::size_t>(plan.annotationSignals);
  std::string header(256 * (ns + 1), '\0');
  if (std::fread(header.data(), 1, header.size(), f.get()) != header.size()) return "the header is incomplete";
  header.replace(244, 8, Field(plan.layout.durationText, 8));
  for (std::size_t s = 0; s < plan.edfSignals.size(); ++s) {
    header.replace(256 + ns * 104 + s * 8, 8, Field(plan.edfSignals[s].physicalMin, 8));
    header.replace(256 + ns * 112 + s * 8, 8, Field(plan.edfSignals[s].physicalMax, 8));
  }
  // The records the header counts, each as large as its signals' samples.
  long long records = -1, recordBytes = 0;
  ParseInt(header.substr(236, 8), records);
  for (std::size_t s = 0; s < ns; ++s) {
    long long samples = 0;
    if (!ParseInt(header.substr(256 + ns * 216 + s * 8, 8), samples)) return "the header is damaged";
    recordBytes += 2 * samples;
  }
  if (records != plan.records) return "the header counts " + std::to_string(records) + " data records";
  if (std::fseek(f.get(), 0, SEEK_SET) != 0 || std::fwrite(header.data(), 1, header.size(), f.get()) != header.size()) {
    return "cannot write the header of " + temp;
  }
  if (std::fflush(f.get()) != 0 || std::fseek(f.get(), 0, SEEK_END) != 0) return "cannot write " + temp;
  const long long size = std::ftell(f.get());
  const long long expected = static_cast<long long>(header.size()) + records * recordBytes;
  if (size != expected) {
    return "the file has " + std::to_string(size) + " bytes instead of " + std::to_string(expected);
  }
  if (std::fclose(f.release()) != 0) return "cannot close " + temp;
  return {};
}

// Writes the plan's file at temp; "" or what failed.
std::string WriteEdf(const TEdfPlan& plan, const std::string& temp, TProgress* progress) {
  const int n = static_cast<int>(plan.edfSignals.size());
  const int h = edfopen_file_writeonly(temp.c_str(), EDFLIB_FILETYPE_EDFPLUS, n);
  if (h < 0) return "EDFlib cannot create the file (error " + std::to_string(h) + ")";
  const int spr = plan.layout.samplesPerRecord;
  bool set = edf_set_datarecord_duration(h, static_cast<int>(plan.layout.duration10us)) == 0 &&
             edf_set_number_of_annotation_signals(h, plan.annotationSignals) == 0 &&
             edf_set_startdatetime(h, plan.start.year, plan.start.month, plan.start.day, plan.start.hour,
                                   plan.start.minute, plan.start.second) == 0 &&
             edf_set_equipment(h, plan.equipment.c_str()) == 0;
  for (int s = 0; s < n && set; ++s) {
    const TEdfSignal& sig = plan.edfSignals[static_cast<std::size_t>(s)];
    set = edf_set_samplefrequency(h, s, spr) == 0 && edf_set_physical_maximum(h, s, sig.max) == 0 &&
          edf_set_physical_minimum(h, s, sig.min) == 0 && edf_set_digital_maximum(h, s, kDigitalMax) == 0 &&
          edf_set_digital_minimum(h, s, kDigitalMin) == 0 && edf_set_label(h, s, sig.label.c_str()) == 0 &&
          edf_set_physical_dimension(h, s, sig.dimension.c_str()) == 0;
  }
  if (!set) {
    edfclose_file(h);
    return "EDFlib refused the file's parameters";
  }
  if (progress) {
    progress->SetMaximum(static_cast<int>(std::min<int64_t>(plan.records, std::numeric_limits<int>::max())));
    progress->SetVisible(true);
  }
  // Each row's value turned into its digital value once: rows repeat the
  // few values of one decimal a channel takes.
  struct Cached {
    uint32_t bits = 0xFFFFFFFF;  // a NaN no value converts from
    int16_t digital = 0;
  };
  std::vector<std::array<Cached, 4096>> caches(static_cast<std::size_t>(n));
  std::vector<short> record(static_cast<std::size_t>(n) * static_cast<std::size_t>(spr));
  std::string failure;
  errno = 0;
  for (int64_t r = 0; r < plan.records && failure.empty(); ++r) {
    for (int s = 0; s < n; ++s) {
      const TEdfSignal& sig = plan.edfSignals[static_cast<std::size_t>(s)];
      auto& cache = caches[static_cast<std::size_t>(s)];
      short* out = record.data() + static_cast<std::size_t>(s) * static_cast<std::size_t>(spr);
      for (int j = 0; j < spr; ++j) {
        const int64_t sample = r * spr + j;  // sample k is row k; 0 is the start
        const double v = sample >= 1 && sample <= plan.rows ? sig.series->Value(static_cast<std::size_t>(sample - 1))
                                                            : std::nan("");
        if (std::isnan(v)) {
          out[j] = static_cast<short>(kEdfNullDigital);
          continue;
        }
        const uint32_t bits = std::bit_cast<uint32_t>(static_cast<float>(v));
        Cached& c = cache[(bits * 2654435761u) >> 20];
        if (c.bits != bits) c = {bits, EdfDigital(sig, v)};
        out[j] = c.digital;
      }
    }
    if (edf_blockwrite_digital_short_samples(h, record.data()) != 0) failure = SystemFailure("cannot write a data record");
    if (progress) progress->SetPosition(static_cast<int>(std::min<int64_t>(r, std::numeric_limits<int>::max())));
  }
  for (const TEdfAnnotation& a : plan.annotations) {
    if (!failure.empty()) break;
    // EDFlib 1.27 (the Windows build's) deprecates this 100 µs call for a
    // microsecond one it forwards to; Debian 12's 1.23 has only this one.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (edfwrite_annotation_utf8(h, a.onset100us, -1, a.text.c_str()) != 0) failure = "cannot add an annotation";
#pragma GCC diagnostic pop
  }
  errno = 0;
  if (edfclose_file(h) != 0 && failure.empty()) failure = SystemFailure("EDFlib could not complete the file");
  if (progress) progress->SetVisible(false);
  if (failure.empty()) failure = FinishFile(temp, plan);
  return failure;
}

}  // namespace

FileResult ExportEdf(const TChannel& channel, const std::string& path, TProgress* progress, int language) {
  if (std::string problem = ExportOutputProblem(channel.LoadFileName, path, ".edf", language); !problem.empty()) {
    return {false, problem};
  }
  const TEdfPlan plan = PlanEdfExport(channel, language);
  if (!plan.problem.empty()) return {false, plan.problem};
  std::string temp;
  if (FileResult reserved = ReserveFileBeside(path, temp); !reserved.ok) return reserved;
  if (std::string failure = WriteEdf(plan, temp, progress); !failure.empty()) {
    RemoveFile(temp);
    return {false, "cannot write " + path + ": " + failure};
  }
  return CommitFileOver(temp, path);
}

#else

FileResult ExportEdf(const TChannel&, const std::string&, TProgress*, int language) {
  return {false, OwnText(Own::kExportNoEdf, language)};
}

#endif

}  // namespace vexa
