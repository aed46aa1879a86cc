#include "recording/open_recording.h"

#include "recording/channel.h"
#include "recording/record_format.h"

namespace vexa {

OpenOutcome OpenRecordingFile(TChannel& channel, const std::string& path) {
  switch (channel.ReadHeader(path)) {
    case 0: break;
    case 1: return {1, "cannot be opened"};
    case 2:
      return {2, "format version " + std::to_string(channel.HeaderFormatVersion) +
                     " is newer than this program reads (2)"};
    case 3: return {3, "is not a recording (its first line is not \"Format-Version\")"};
    case 4: return {1, "has a header value that does not convert"};
    default: return {1, "cannot be read"};
  }
  switch (channel.LoadRecording()) {
    case 0: return {};
    case 2: return {1, "has a header that ends before its \"Data-Table\" line"};
    default: return {1, "cannot be read"};
  }
}

}  // namespace vexa
