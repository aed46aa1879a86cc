#include "recording/panel_rules.h"

#include "core/messages.h"
#include "link/acquisition.h"

namespace vexa {

namespace {

// Texts the message table has no entry for, English and Russian.
enum LocalText {
  kLinkIdle,
  kLinkAlive,
  kLinkSilent,
  kLinkFrames,
  kCountFrames,
  kCountSkipped,
  kCountSilent,
  kCountReopens,
  kFolderTooLong,
  kFolderNotCp1251,
  kFolderEmpty,
  kLocalTextCount
};

const char* const kLocal[kLocalTextCount][2] = {
    {"idle", "не используется"},
    {"alive", "на связи"},
    {"silent", "нет данных"},
    {"frames", "кадров"},
    {"Frames decoded: ", "Принято кадров: "},
    {"Bytes skipped: ", "Пропущено байт: "},
    {"Silent reads: ", "Чтений без данных: "},
    {"Reopen attempts: ", "Попыток открыть снова: "},
    {"The folder path is longer than 128 characters: ", "Путь к папке длиннее 128 символов: "},
    {"The folder path holds characters outside Windows-1251: ",
     "Путь к папке содержит символы вне Windows-1251: "},
    {"No folder was chosen.", "Папка не выбрана."},
};

const char* Local(LocalText k, int language) { return kLocal[k][language == kRussian ? 1 : 0]; }

std::string_view FileNameOf(std::string_view path) {
  const auto sep = path.find_last_of("/\\");
  return sep == std::string_view::npos ? path : path.substr(sep + 1);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string LoadedPostfix(std::string_view path) {
  const std::string_view name = FileNameOf(path);
  const auto paren = name.find(')');
  const auto dot = name.find_last_of('.');
  if (paren == std::string_view::npos || dot == std::string_view::npos || dot < paren) return {};
  return std::string(name.substr(paren + 1, dot - paren - 1));
}

std::string CommandLinePath(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  return std::string(text);
}

std::string CommandLineText(int argc, const char* const* argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  return text;
}

TLinkStatus DescribeLink(bool running, bool alive, int32_t port, std::string_view device,
                         const TLinkCounters& counters, int language) {
  TLinkStatus s;
  const std::string com = "COM" + std::to_string(port);
  const std::string frames = std::to_string(counters.FramesDecoded.load());
  s.Link = !running ? TLinkStatus::kIdle : alive ? TLinkStatus::kAlive : TLinkStatus::kSilent;
  switch (s.Link) {
    case TLinkStatus::kIdle:
      s.Line = com + ": " + Local(kLinkIdle, language);
      break;
    case TLinkStatus::kAlive:
    case TLinkStatus::kSilent:
      s.Line = com + ": " +
               Local(s.Link == TLinkStatus::kAlive ? kLinkAlive : kLinkSilent, language) + ", " +
               (language == kRussian ? std::string(Local(kLinkFrames, language)) + " " + frames
                                     : frames + " " + Local(kLinkFrames, language));
      break;
  }
  s.Details = com + (device.empty() ? std::string() : " = " + std::string(device)) + "\n" +
              Local(kCountFrames, language) + frames + "\n" + Local(kCountSkipped, language) +
              std::to_string(counters.BytesSkipped.load()) + "\n" + Local(kCountSilent, language) +
              std::to_string(counters.SilentReads.load()) + "\n" + Local(kCountReopens, language) +
              std::to_string(counters.ReopenAttempts.load());
  return s;
}

std::string FolderChoiceMessage(FolderChoice choice, std::string_view folder, int language) {
  switch (choice) {
    case FolderChoice::kStored:
      return {};
    case FolderChoice::kEmpty:
      return Local(kFolderEmpty, language);
    case FolderChoice::kTooLong:
      return Local(kFolderTooLong, language) + std::string(folder);
    case FolderChoice::kUnrepresentable:
      return Local(kFolderNotCp1251, language) + std::string(folder);
  }
  return {};
}

}  // namespace vexa
