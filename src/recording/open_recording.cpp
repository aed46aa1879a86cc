#include "recording/open_recording.h"

#include <memory>

#include "core/messages.h"
#include "recording/channel.h"
#include "recording/record_format.h"
#include "recording/record_header.h"

namespace vexa {

namespace {

OpenOutcome Failed(OpenFailure failure, int formatVersion = 0) {
  OpenOutcome o;
  o.failure = failure;
  o.formatVersion = formatVersion;
  switch (failure) {
    case OpenFailure::kNone: break;
    case OpenFailure::kCannotOpen: o = {1, "cannot be opened", failure}; break;
    case OpenFailure::kNewerVersion:
      o = {2, "format version " + std::to_string(formatVersion) + " is newer than this program reads (2)",
           failure, formatVersion};
      break;
    case OpenFailure::kNotRecording:
      o = {3, "is not a recording (its first line is not \"Format-Version\")", failure};
      break;
    case OpenFailure::kBadValue: o = {1, "has a header value that does not convert", failure}; break;
    case OpenFailure::kNoDataTable:
      o = {1, "has a header that ends before its \"Data-Table\" line", failure};
      break;
    case OpenFailure::kReadError: o = {1, "cannot be read", failure}; break;
  }
  return o;
}

// The reasons in Russian, in the order of OpenFailure.
const char* const kRussianReasons[] = {
    "",
    "не открывается",
    "",  // composed below
    "не является записью (первая строка не \"Format-Version\")",
    "в заголовке есть значение, которое не читается",
    "заголовок кончается до строки \"Data-Table\"",
    "не читается",
};

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
  std::string reason = outcome.reason;
  if (language == kRussian) {
    reason = outcome.failure == OpenFailure::kNewerVersion
                 ? "версия формата " + std::to_string(outcome.formatVersion) +
                       " новее той, что читает эта программа (2)"
                 : kRussianReasons[static_cast<int>(outcome.failure)];
  }
  return MessageText(2, language) + path + "\n" + reason;
}

}  // namespace vexa
