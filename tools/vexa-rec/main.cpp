// vexa-rec: records from the flow meter without a screen, and prints, lists
// and converts recording files, on the same core as the desktop program.
#include <cstdio>
#include <cstring>
#include <exception>
#include <iterator>

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

int main(int argc, char** argv) {
  using namespace vexa::rec;
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    PrintUsage(argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  if (!std::strcmp(argv[1], "--version")) {
    std::printf("vexa-rec %s\n", VEXA_VERSION);
    return 0;
  }
  for (const Command& c : kCommands) {
    if (c.run && !std::strcmp(argv[1], c.name)) {
      try {
        return c.run(Args(argv + 2, argv + argc));
      } catch (const std::exception& e) {
        std::fprintf(stderr, "vexa-rec %s: %s\n", c.name, e.what());
        return 1;
      }
    }
  }
  std::fprintf(stderr, "vexa-rec: unknown command \"%s\"\n\n", argv[1]);
  PrintUsage(stderr);
  return 2;
}
