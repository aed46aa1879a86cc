// Command-line options of the vexa-rec commands: "--name value" pairs (a
// name may repeat), and words that are not options.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "chart/chart.h"
#include "commands.h"
#include "core/settings.h"
#include "recording/channel.h"

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

// A recording object on its own chart for the commands that only read
// recordings (info, scan, export): the settings take their defaults and are
// never written back, and the preset file is not opened, so these commands
// leave the user's vexa.cfg and vexa.pset untouched.
struct RecordingReader {
  RecordingReader();
  TGLOB settings;
  chart::Chart chart;  // declared before channel: it must outlive it
  TChannel channel;
};

// Reads a recording as opening it does (ReadHeader, then LoadRecording into
// channel's chart). 0 on success; otherwise prints why on stderr, prefixed
// with "vexa-rec <command>: ", and returns the exit status: 2 for a newer
// format version, 3 for a file that is not a recording, 1 otherwise.
int OpenRecording(TChannel& channel, const std::string& path, const char* command);

}  // namespace vexa::rec
