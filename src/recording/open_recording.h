// Opening a recording as the open-recording window does (ReadHeader, then
// LoadRecording into the recording object's chart), with an outcome the
// command-line tools turn into their exit status and one line for the
// operator.
#pragma once

#include <string>

namespace vexa {

class TChannel;

struct OpenOutcome {
  // 0 opened; 1 cannot be read; 2 a newer format version; 3 not a recording.
  int status = 0;
  std::string reason;  // why it failed, e.g. "cannot be opened"
};

OpenOutcome OpenRecordingFile(TChannel& channel, const std::string& path);

}  // namespace vexa
