// A loaded recording as EDF+ (European Data Format "plus"), the exchange
// format of physiological recordings, written through EDFlib: EDF+C
// (continuous), one ordinary signal per channel in the file's column order,
// the marks as annotations.
//
// Times. The EDF+ start is the header's "Started-Record". Row k (from 1) is
// at start + k intervals, as the chart and the CSV label it, so sample k of
// every signal is row k and sample 0, at the start itself, has no value: a
// session takes its first row one interval after it starts. A mark's
// annotation lies at its row's time.
//
// Values. Physical minimum and maximum come from the channel's values (its
// decimals as the file holds them), 16-bit digital values from -32767 to
// 32767 carry them; the digital minimum -32768 is "no value" (a null point,
// sample 0, the padding after the last row), which a reader shows as the
// signal's physical minimum, just below the channel's lowest value.
//
// Data records hold a whole number of samples and last at least one second,
// as many as a record of EDFlib's longest, 60 s, holds (12 rows of 5 s):
// EDFlib writes each record with a system call of its own and gives it 114
// bytes (1.27: 120) of annotation space per annotation signal, so records of one 5 s
// row made a week's file 128 MB and its export twice as slow. Fewer samples
// a record when the marks need more annotation space than 64 annotation
// signals give. An interval is used as a whole number of 10 microseconds
// (EDFlib's unit; every interval a session writes, one decimal, is one); a
// longer interval than 60 s is refused.
//
// Texts. The device goes into the recording identification's equipment
// field; the description and the four environment values become
// annotations at time 0 ("Description: ...", "Data-AtmPressure: 760.0", ...),
// since the header's 80 characters are ASCII and too short for them. EDFlib
// keeps at most 40 bytes of an annotation's UTF-8 text: a longer text is
// written as several annotations at the same time, cut between characters,
// which together are the text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/atomic_file.h"
#include "core/datetime.h"

namespace vexa {

class TChannel;
class TProgress;

namespace chart {
class Series;
}

// False in a build made without EDFlib: ExportEdf then writes nothing.
bool EdfExportAvailable();
// EDFlib's version times 100 (123 for 1.23), 0 without it. Versions differ
// in the annotation space they give a record.
int EdfLibraryVersion();

inline constexpr int kEdfTextBytes = 40;         // EDFlib's longest annotation text
inline constexpr int kEdfMaxAnnotationSignals = 64;
inline constexpr int kEdfNullDigital = -32768;

// v as at most 8 characters of decimal text, rounded down (up = false) or
// up; "" when no such text exists (a value of 10^8 and more, or below -10^7).
std::string EdfNumberText(double v, bool up);

// How rows become data records: ok false for an interval EDF+ cannot take
// (not a positive number of at least 10 microseconds, or longer than 60 s).
// The longest records from a second up to 60 s whose annotation space
// holds `annotations` over `rows` rows (EdfAnnotationSignals at most 64).
struct TEdfRecordLayout {
  bool ok = false;
  int64_t interval10us = 0;  // the interval, in 10-microsecond units
  int samplesPerRecord = 0;
  int64_t duration10us = 0;  // a record's duration, in 10-microsecond units
  std::string durationText;  // exactly that, as the header's 8 characters hold it
};
TEdfRecordLayout EdfRecordLayout(double intervalSeconds, int64_t rows = 0, std::size_t annotations = 0);
// The annotation signals that many annotations need in records of that many samples.
int64_t EdfAnnotationSignals(int64_t rows, int64_t samplesPerRecord, std::size_t annotations);

// A UTF-8 text cut into pieces of at most kEdfTextBytes bytes between
// characters; none for an empty text.
std::vector<std::string> EdfTextPieces(std::string_view utf8);

struct TEdfSignal {
  const chart::Series* series = nullptr;
  std::string label;      // the channel's title in ASCII ("T (degC)")
  std::string dimension;  // "l", "1/min", "l/min", "%", "degC"
  std::string physicalMin, physicalMax;  // as the header holds them
  double min = 0, max = 0;               // their values
};

struct TEdfAnnotation {
  int64_t onset100us = 0;  // from the start, in EDFlib's 100-microsecond units
  std::string text;        // at most kEdfTextBytes bytes of UTF-8
};

// Everything the file will hold but the samples, worked out before anything
// is written. problem says, in language 0 (English) or 1 (Russian), why
// the recording cannot be exported; empty when it can.
struct TEdfPlan {
  std::string problem;
  TEdfRecordLayout layout;
  DateTimeParts start;
  std::string equipment;
  std::vector<TEdfSignal> edfSignals;
  std::vector<TEdfAnnotation> annotations;
  int64_t rows = 0;
  int64_t records = 0;
  int annotationSignals = 1;
};
TEdfPlan PlanEdfExport(const TChannel& channel, int language = 0);

// A value as its signal stores it: kEdfNullDigital for NaN.
int16_t EdfDigital(const TEdfSignal& signal, double value);

// The EDF+ file of the recording loaded last into channel's chart
// (ReadHeader + LoadRecording). Written to a new file beside path, which
// replaces path only once it is complete and checked; on any failure no
// file is left. Refused (nothing written) when ExportOutputProblem names a
// reason or the plan a problem. progress, when given, runs from 0 to the
// number of data records. Texts in language 0 or 1.
FileResult ExportEdf(const TChannel& channel, const std::string& path, TProgress* progress = nullptr,
                     int language = 0);

}  // namespace vexa
