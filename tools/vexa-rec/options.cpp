#include "options.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "core/paths.h"
#include "recording/channel.h"

namespace vexa::rec {

std::string Options::Get(const std::string& name, const std::string& fallback) const {
  const auto it = values.find(name);
  return it == values.end() || it->second.empty() ? fallback : it->second.back();
}

bool ParseOptions(const Args& args, const std::vector<std::string>& known, Options& out,
                  std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 3 || a.compare(0, 2, "--") != 0) {
      out.words.push_back(a);
      continue;
    }
    const std::string name = a.substr(2);
    if (std::find(known.begin(), known.end(), name) == known.end()) {
      error = "unknown option " + a;
      return false;
    }
    if (i + 1 >= args.size()) {
      error = a + " needs a value";
      return false;
    }
    out.values[name].push_back(args[++i]);
  }
  return true;
}

bool ParseWhole(const std::string& text, long long low, long long high, long long& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && ptr == end && value >= low && value <= high;
}

RecordingReader::RecordingReader()
    : settings(TGLOB::NoFile{}, ConfigDir()), channel(settings) {
  channel.CreateFixedAxes(chart);
}

int OpenRecording(TChannel& channel, const std::string& path, const char* command) {
  const int header = channel.ReadHeader(path);
  const char* why = nullptr;
  int status = 1;
  switch (header) {
    case 0: break;
    case 1: why = "cannot be opened"; break;
    case 2:
      std::fprintf(stderr, "vexa-rec %s: %s: format version %d is newer than this program reads (2)\n",
                   command, path.c_str(), channel.HeaderFormatVersion);
      return 2;
    case 3: why = "is not a recording (its first line is not \"Format-Version\")"; status = 3; break;
    case 4: why = "has a header value that does not convert"; break;
    default: why = "cannot be read"; break;
  }
  if (!why) {
    switch (channel.LoadRecording()) {
      case 0: return 0;
      case 2: why = "has a header that ends before its \"Data-Table\" line"; break;
      default: why = "cannot be read"; break;
    }
  }
  std::fprintf(stderr, "vexa-rec %s: %s %s\n", command, path.c_str(), why);
  return status;
}

}  // namespace vexa::rec
