// vexa-rec: records from the flow meter without a screen, and prints, lists
// and converts recording files, on the same core as the desktop program.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

#include "commands.h"

namespace vexa::rec {

// Each command file defines its entry; the table below lists them.
// (Declarations are added here as commands arrive.)
int RunMonitor(const Args& args);
int RunConfig(const Args& args);
int RunPresets(const Args& args);
int RunRecord(const Args& args);
int RunInfo(const Args& args);
int RunScan(const Args& args);
int RunExport(const Args& args);

namespace {

const Command kCommands[] = {
    {"monitor", RunMonitor, "--port N [--seconds S]",
     "shows the flow meter's averaged values and link counters once a second"},
    {"config", RunConfig, "", "prints the stored settings (creates a default vexa.cfg if missing)"},
    {"presets", RunPresets, "", "lists the presets: port, visible channels, colours, * current"},
    {"record", RunRecord,
     "[--port N] [--interval S] [--postfix TEXT] [--dir DIR] [--description TEXT]\n"
     "           [--preset NAME] [--mark K:TEXT]... (--samples N | --seconds S)",
     "records a session as the control panel does; prints the file's path last"},
    {"info", RunInfo, "FILE", "opens a recording and prints its header, channel summaries and marks"},
    {"scan", RunScan, "DIR", "lists a folder's recordings: name, start, stop, points (TAB-separated)"},
    {"export", RunExport, "FILE --csv OUT", "writes a recording as CSV (UTF-8) for spreadsheets"},
};

void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: vexa-rec <command> [options]\n\ncommands:\n");
  for (const Command& c : kCommands) {
    if (c.run) std::fprintf(out, "  %-8s %s\n           %s\n", c.name, c.usage, c.summary);
  }
  std::fprintf(out,
               "\nThe settings and presets are read from vexa.cfg and vexa.pset in the\n"
               "folder named by VEXA_CONFIG_DIR, else beside the program.\n");
}

}  // namespace
}  // namespace vexa::rec

namespace vexa::rec {
namespace {

// The command line as UTF-8, the program's text inside. Windows hands main
// its arguments in the ANSI code page, which turns every character outside
// it (Cyrillic on a Western system) into "?": there the wide command line is
// read instead, as the program path and the environment already are.
Args CommandLine(int argc, char** argv) {
#ifdef _WIN32
  int n = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &n)) {
    Args args;
    for (int i = 0; i < n; ++i) {
      const std::u8string utf8 = std::filesystem::path(wide[i]).u8string();
      args.emplace_back(utf8.begin(), utf8.end());
    }
    LocalFree(wide);
    return args;
  }
#endif
  return Args(argv, argv + argc);
}

}  // namespace
}  // namespace vexa::rec

int main(int argc, char** argv) {
  using namespace vexa::rec;
  const Args line = CommandLine(argc, argv);
  if (line.size() < 2 || line[1] == "--help" || line[1] == "-h") {
    PrintUsage(line.size() < 2 ? stderr : stdout);
    return line.size() < 2 ? 2 : 0;
  }
  if (line[1] == "--version") {
    std::printf("vexa-rec %s\n", VEXA_VERSION);
    return 0;
  }
  for (const Command& c : kCommands) {
    if (c.run && line[1] == c.name) {
      try {
        return c.run(Args(line.begin() + 2, line.end()));
      } catch (const std::exception& e) {
        std::fprintf(stderr, "vexa-rec %s: %s\n", c.name, e.what());
        return 1;
      }
    }
  }
  std::fprintf(stderr, "vexa-rec: unknown command \"%s\"\n\n", line[1].c_str());
  PrintUsage(stderr);
  return 2;
}
