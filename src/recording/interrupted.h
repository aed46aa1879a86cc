// Interrupted recordings: files whose session never stopped (the program was
// killed or lost its power). Every whole row is on disk (each row is synced),
// but the header still holds the placeholders the stop step overwrites: the
// stop time as written at the start, a blank description, a blank row count.
//
// Counting their rows (the folder scan, bounded) and completing them
// (the open window's question, vexa-rec repair): completing writes over the
// placeholders what a stop after the last whole row writes (the stop time is
// the last row's time, start + rows x interval; the row count; the blank
// description), after cutting off a torn last row.
#pragma once

#include <cstdio>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "core/own_texts.h"

namespace vexa {

struct TRecordingHeader;

// The header says the session never completed the file (its row count is
// still blank) and its rows can be loaded.
bool IsInterrupted(const TRecordingHeader& header);

// How a data table's rows end, as far as they were read.
struct TRowCount {
  int64_t rows = 0;           // whole rows, a last one without its line end included
  bool estimated = false;     // rows from the size and two blocks, not counted
  bool tornRow = false;       // the file ends in a line that lacks columns
  bool lineEndMissing = false;  // the last whole row has no line end (or no LF after its CR)
  bool crPresent = false;     // ... and its CR is there
  int64_t wholeEnd = 0;       // file offset where the whole rows' bytes end
};

// Reads `bytes` at a file offset into out (fewer at the end); false on a read error.
using ReadAtFunction = std::function<bool(int64_t offset, std::size_t bytes, std::string& out)>;
// Reads of an open file at any offset (64-bit positions on both systems).
ReadAtFunction FileReadAt(std::FILE* file);

// Counts the rows from dataTableOffset to size (columns: data columns), as
// the loader reads them: every LF ends a row; the last line without one is
// a row when it holds every column (HoldsEveryColumn), else torn.
bool CountRows(const ReadAtFunction& read, int64_t dataTableOffset, int64_t size, int columns, TRowCount& out);

// The folder scan's count: exact while the data table is at most
// kExactCountBytes; beyond, the rows are estimated from the table's size and
// the mean row length of its first and last kEstimateBlockBytes (the last
// block also says whether the last row is torn). At most
// max(kExactCountBytes, 2 x kEstimateBlockBytes) bytes are read per file.
inline constexpr int64_t kExactCountBytes = 256 * 1024;
inline constexpr std::size_t kEstimateBlockBytes = 64 * 1024;
bool CountRowsBounded(const ReadAtFunction& read, int64_t dataTableOffset, int64_t size, int columns,
                      TRowCount& out);

// Completing an interrupted recording in place.
struct TCompletion {
  bool ok = false;
  bool notInterrupted = false;  // refused because the file is complete already
  int64_t rows = 0;
  double stopped = 0;
  int64_t tornBytesCut = 0;
  bool lineEndAdded = false;
  // What was done (kCompleted...), or why nothing was (kCompleteFailed), in
  // English (0) or Russian (1).
  std::string Text(int language) const;
  std::string text_[2];
};

// Completes the recording at path. Nothing is written unless the file is an
// interrupted recording whose header lines 1 to 8 are as the writer writes
// them, the stop-time slot holding its placeholder (a date-time from the
// start to 2 s after it, or the very stop time this completion writes: a
// completion cut short runs again), the description slot 82 spaces and the
// row-count slot 6 spaces, and no session writes it now.
//
// The writes: first the end (a torn row cut off, or the CR LF a whole last
// row lacks), synced; then the stop time, the description (81 spaces, the
// 82nd as it is) and the row count in one positioned write over the header's
// lines 5 to 8, synced. A crash before the second sync leaves a file that
// still reads as interrupted and completes again to the same bytes.
TCompletion CompleteInterruptedRecording(const std::string& path);

}  // namespace vexa
