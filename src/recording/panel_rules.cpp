#include "recording/panel_rules.h"

#include <algorithm>
#include <span>

#include "core/messages.h"
#include "core/own_texts.h"
#include "core/paths.h"
#include "link/acquisition.h"

namespace vexa {

namespace {

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
  std::string_view postfix = name.substr(paren + 1, dot - paren - 1);
  // The writer always puts one blank between the time and the postfix; it
  // is the name's, not the postfix's, so a 15-character postfix fits the
  // field whole and the next recording is named as the loaded one was.
  if (!postfix.empty() && postfix.front() == ' ') postfix.remove_prefix(1);
  return std::string(postfix);
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
      s.Line = com + ": " + OwnText(Own::kLinkIdle, language);
      break;
    case TLinkStatus::kAlive:
    case TLinkStatus::kSilent:
      s.Line = com + ": " +
               OwnText(s.Link == TLinkStatus::kAlive ? Own::kLinkAlive : Own::kLinkSilent, language) + ", " +
               (language == kRussian ? std::string(OwnText(Own::kLinkFrames, language)) + " " + frames
                                     : frames + " " + OwnText(Own::kLinkFrames, language));
      break;
  }
  s.Details = com + (device.empty() ? std::string() : " = " + std::string(device)) + "\n" +
              OwnText(Own::kCountFrames, language) + frames + "\n" + OwnText(Own::kCountSkipped, language) +
              std::to_string(counters.BytesSkipped.load()) + "\n" + OwnText(Own::kCountSilent, language) +
              std::to_string(counters.SilentReads.load()) + "\n" + OwnText(Own::kCountReopens, language) +
              std::to_string(counters.ReopenAttempts.load());
  return s;
}

std::string FolderChoiceMessage(FolderChoice choice, std::string_view folder, int language) {
  switch (choice) {
    case FolderChoice::kStored:
      return {};
    case FolderChoice::kEmpty:
      return OwnText(Own::kFolderEmpty, language);
    case FolderChoice::kTooLong:
      return OwnText(Own::kFolderTooLong, language) + std::string(folder);
    case FolderChoice::kUnrepresentable:
      return OwnText(Own::kFolderNotCp1251, language) + std::string(folder);
  }
  return {};
}

int OfferedPrinter(const std::vector<std::string>& names, std::string_view storedName, int storedIndex,
                   int defaultIndex) {
  const int count = static_cast<int>(names.size());
  if (count == 0) return 0;
  if (!storedName.empty()) {
    const auto at = std::find(names.begin(), names.end(), storedName);
    if (at != names.end()) return static_cast<int>(at - names.begin());
  } else if (storedIndex >= 0 && storedIndex < count) {
    return storedIndex;
  }
  return defaultIndex >= 0 && defaultIndex < count ? defaultIndex : 0;
}

std::string ReadChosenPrinter(const std::string& configDir) {
  if (configDir.empty()) return {};
  std::vector<std::byte> bytes;
  if (!ReadFileBytes(JoinPath(configDir, kPrinterFileName), kPrinterNameMax + 3, bytes)) return {};
  std::string name(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
  if (name.size() > kPrinterNameMax) return {};
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return {};
  }
  return name;
}

FileResult WriteChosenPrinter(const std::string& configDir, std::string_view name) {
  const std::string text = std::string(name) + "\n";
  return WriteFileAtomic(JoinPath(configDir, kPrinterFileName),
                         std::as_bytes(std::span(text.data(), text.size())));
}

}  // namespace vexa
