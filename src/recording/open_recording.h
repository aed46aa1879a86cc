// Opening a recording as the open-recording window does (ReadHeader, then
// LoadRecording into the recording object's chart), with an outcome the
// command-line tools turn into their exit status and the window into a
// message for the operator.
//
// The file is checked before anything of the recording object changes: its
// header is read into a plain struct and must reach "Data-Table" with at
// least one column. Every refusal the file's bytes can cause is found then,
// and the chart and the header members keep describing the recording shown.
// Only the system can fail a load after that (the file gone between the
// check and the load, a read error partway through the rows); the outcome
// then says so (loadBegun), and the caller shows an empty chart rather than
// one file under another's name.
#pragma once

#include <string>

namespace vexa {

class TChannel;

enum class OpenFailure { kNone, kCannotOpen, kNewerVersion, kNotRecording, kBadValue, kNoDataTable, kReadError };

struct OpenOutcome {
  // 0 opened; 1 cannot be read; 2 a newer format version; 3 not a recording.
  int status = 0;
  std::string reason;  // why it failed, e.g. "cannot be opened"
  OpenFailure failure = OpenFailure::kNone;
  int formatVersion = 0;   // for kNewerVersion
  bool loadBegun = false;  // it failed after the recording object took the header
};

OpenOutcome OpenRecordingFile(TChannel& channel, const std::string& path);

// What the message window shows for a failed open, in language 0 (English)
// or 1 (Russian): message 2 ("Error open file: "), the path, and the reason.
std::string OpenFailureMessage(const OpenOutcome& outcome, const std::string& path, int language);

}  // namespace vexa
