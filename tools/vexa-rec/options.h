// Command-line options of the vexa-rec commands: "--name value" pairs (a
// name may repeat), and words that are not options.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "commands.h"

namespace vexa {
class TChannel;
class TGLOB;
namespace chart {
class Chart;
}
}  // namespace vexa

namespace vexa::rec {

struct Options {
  std::map<std::string, std::vector<std::string>> values;
  std::vector<std::string> words;
  bool Has(const std::string& name) const { return values.count(name) != 0; }
  // The last value given for name, or fallback.
  std::string Get(const std::string& name, const std::string& fallback = {}) const;
};

// Every option takes a value; names outside `known` and a name without a
// value are errors (false with error set).
bool ParseOptions(const Args& args, const std::vector<std::string>& known, Options& out,
                  std::string& error);

// A whole number in [low, high]; false for anything else ("2x", "", "-1").
bool ParseWhole(const std::string& text, long long low, long long high, long long& value);

// Reads a recording as opening it does (ReadHeader, then LoadRecording into
// channel's chart). 0 on success; otherwise prints why on stderr, prefixed
// with "vexa-rec <command>: ", and returns the exit status: 2 for a newer
// format version, 3 for a file that is not a recording, 1 otherwise.
int OpenRecording(TChannel& channel, const std::string& path, const char* command);

}  // namespace vexa::rec
