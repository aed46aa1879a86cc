#include "recording/print_title.h"

#include "core/messages.h"
#include "recording/channel.h"

namespace vexa {

std::string FileNameWithoutFolder(const std::string& path) {
#ifdef _WIN32
  const std::size_t cut = path.find_last_of("\\/:");
#else
  const std::size_t cut = path.find_last_of('/');
#endif
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool HasPrintableDescription(const TChannel& channel) {
  return channel.RecordDescription.find_first_not_of(' ') != std::string::npos;
}

PrintTitle BuildPrintTitle(const TGLOB& settings, const TChannel& channel, const TitleFormat& format) {
  PrintTitle title;
  const int lang = settings.AppliedLanguage;
  auto add = [&](int caption, const std::string& value) {
    title.lines.push_back(CaptionText(caption, lang) + value);
  };
  if (settings.PrintFileName) add(80, FileNameWithoutFolder(channel.RecordFileName));
  if (settings.PrintDate) add(81, format.dateTime ? format.dateTime(channel.StartedTime) : std::string());
  if (settings.PrintDescription && HasPrintableDescription(channel)) add(82, channel.RecordDescription);
  if (settings.PrintSampleInterval) {
    add(83, format.number ? format.number(channel.IntervalSeconds) : std::string());
  }
  title.visible =
      settings.PrintFileName || settings.PrintDate || settings.PrintDescription || settings.PrintSampleInterval;
  return title;
}

}  // namespace vexa
