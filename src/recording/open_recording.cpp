#include "recording/open_recording.h"

#include <memory>

#include "core/messages.h"
#include "core/own_texts.h"
#include "recording/channel.h"
#include "recording/record_format.h"
#include "recording/record_header.h"

namespace vexa {

namespace {

// The reason in a language; the outcome's own reason is the English one,
// which the command-line tools print.
std::string Reason(OpenFailure failure, int formatVersion, int language) {
  switch (failure) {
    case OpenFailure::kNone: return {};
    case OpenFailure::kCannotOpen: return OwnText(Own::kOpenCannotOpen, language);
    case OpenFailure::kNewerVersion:
      return OwnText(Own::kOpenNewerVersion, language) + std::to_string(formatVersion) +
             OwnText(Own::kOpenNewerVersionEnd, language);
    case OpenFailure::kNotRecording: return OwnText(Own::kOpenNotRecording, language);
    case OpenFailure::kBadValue: return OwnText(Own::kOpenBadValue, language);
    case OpenFailure::kNoDataTable: return OwnText(Own::kOpenNoDataTable, language);
    case OpenFailure::kReadError: return OwnText(Own::kOpenReadError, language);
  }
  return {};
}

OpenOutcome Failed(OpenFailure failure, int formatVersion = 0) {
  OpenOutcome o;
  o.failure = failure;
  o.formatVersion = formatVersion;
  o.reason = Reason(failure, formatVersion, kEnglish);
  switch (failure) {
    case OpenFailure::kNone: break;
    case OpenFailure::kNewerVersion: o.status = 2; break;
    case OpenFailure::kNotRecording: o.status = 3; break;
    default: o.status = 1; break;
  }
  return o;
}

}  // namespace

OpenOutcome OpenRecordingFile(TChannel& channel, const std::string& path) {
  auto header = std::make_unique<TRecordingHeader>();
  switch (ReadRecordingHeader(path, *header)) {
    case 0: break;
    case 1: return Failed(OpenFailure::kCannotOpen);
    case 2: return Failed(OpenFailure::kNewerVersion, header->formatVersion);
    case 3: return Failed(OpenFailure::kNotRecording);
    default: return Failed(OpenFailure::kBadValue);
  }
  // Without its "Data-Table" line the header's lines would be read as rows.
  if (!header->Loadable()) return Failed(OpenFailure::kNoDataTable);
  channel.ApplyHeader(path, *header);
  const int loaded = channel.LoadRecording();
  if (loaded == 0) return {};
  OpenOutcome o = Failed(loaded == 2 ? OpenFailure::kNoDataTable
                         : loaded == 3 ? OpenFailure::kReadError
                                       : OpenFailure::kCannotOpen);
  o.loadBegun = true;
  return o;
}

std::string OpenFailureMessage(const OpenOutcome& outcome, const std::string& path, int language) {
  return MessageText(2, language) + path + "\n" + Reason(outcome.failure, outcome.formatVersion, language);
}

}  // namespace vexa
