// vexa-rec: records from the flow meter without a screen, and prints, lists
// and converts recording files, on the same core as the desktop program.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

#include "commands.h"
#include "core/arguments.h"
#include "core/file_version.h"
#include "core/paths.h"

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
int RunRepair(const Args& args);

namespace {

const Command kCommands[] = {
    {"monitor", RunMonitor, "--port N [--seconds S]",
     "shows the flow meter's averaged values and link counters once a second"},
    {"config", RunConfig, "", "prints the stored settings (creates a default vexa.cfg if missing)"},
    {"presets", RunPresets, "", "lists the presets: port, visible channels, colours, * current"},
    {"record", RunRecord, "[OPTION]... (--samples N | --seconds S)",
     "records a session as the control panel does (options below); prints the\n"
     "           file's path last"},
    {"info", RunInfo, "FILE", "opens a recording and prints its header, channel summaries and marks"},
    {"scan", RunScan, "DIR", "lists a folder's recordings: name, start, stop, points (TAB-separated)"},
    {"export", RunExport, "FILE --csv OUT | --edf OUT",
     "writes a recording as CSV (UTF-8) for spreadsheets, or EDF+ for physiology tools"},
    {"repair", RunRepair, "FILE",
     "completes an interrupted recording (its recorder was killed): the last\n"
     "           whole row's time and the row count into the header, a torn last row cut off"},
};

// Also the man page: help2man turns the "Xxx:" headings into its sections.
void PrintUsage(std::FILE* out) {
  std::fprintf(out,
               "Usage: vexa-rec COMMAND [OPTION]...\n"
               "Records breathing measurements from a flow meter on a serial port without a\n"
               "screen, and prints, lists and converts recording files (.vxa), on the same\n"
               "core as the desktop program vexa: a recording made here is the file the\n"
               "control panel would write.\n"
               "\nCommands:\n");
  for (const Command& c : kCommands) {
    if (!c.run) continue;
    if (*c.usage) {
      std::fprintf(out, "  %s %s\n           %s\n", c.name, c.usage, c.summary);
    } else {
      std::fprintf(out, "  %-8s %s\n", c.name, c.summary);
    }
  }
  std::fprintf(out,
               "  --help   prints this text\n"
               "  --version\n"
               "           prints the program's version\n"
               "\nOptions of record:\n"
               "  --port N            the flow meter's COM port, 1 to 255 (default: the\n"
               "                      preset's)\n"
               "  --interval S        seconds between samples, 0.05 and up (default: the last\n"
               "                      used)\n"
               "  --postfix TEXT      added to the file's name, at most 15 characters\n"
               "  --dir DIR           the folder to record into (default: the first destination\n"
               "                      folder of the settings)\n"
               "  --description TEXT  the recording's description, at most 80 characters\n"
               "  --preset NAME       the preset to record with (default: the current one)\n"
               "  --mark K:TEXT       a mark on sample K, counting from 1, at most 50\n"
               "                      characters; one per sample, the option repeated for more\n"
               "  --samples N         stop after N samples\n"
               "  --seconds S         stop after S seconds\n"
               "  SIGINT (Ctrl-C) or SIGTERM stops earlier; the file is completed either way.\n"
               "  --port, --preset and --dir hold for this run only.\n"
               "\nFiles:\n"
               "  vexa.cfg and vexa.pset hold the settings and the presets (record uses the\n"
               "  sample interval last used, the first destination folder and the current\n"
               "  preset); vexa.ports maps ports to devices, one COM<n>=DEVICE line each.\n"
               "  They are kept in the first of these folders:\n");
  for (std::string_view folder : ConfigDirRule()) {
    std::fprintf(out, "    %.*s\n", static_cast<int>(folder.size()), folder.data());
  }
  std::fprintf(out,
               "\nEnvironment:\n"
               "  VEXA_CONFIG_DIR\n"
               "           the folder of vexa.cfg, vexa.pset and vexa.ports\n"
               "  VEXA_COM<n>\n"
               "           the device of port COM n (for example VEXA_COM2=/dev/ttyUSB0); else\n"
               "           the COM<n>= line of vexa.ports, else /dev/ttyS<n-1>\n"
               "\nExit status:\n"
               "  0 done; 1 the command failed, with the reason on standard error (info and\n"
               "  export: the file cannot be read); 2 a malformed command line (info and\n"
               "  export: also a newer format version, an output that is a recording, or\n"
               "  for --edf a recording EDF+ cannot hold); 3 info and export: not a recording.\n"
               "  repair: 1 also for a file that is not an interrupted recording, whose header\n"
               "  is not as the recorder writes it, or that a session records now (nothing is\n"
               "  written then).\n"
               "\nExamples:\n"
               "  vexa-rec monitor --port 2 --seconds 10\n"
               "  vexa-rec record --port 2 --interval 1 --postfix rest --seconds 60\n"
               "  vexa-rec export \"2025-01-31 (14-05-00) rest.vxa\" --csv rest.csv\n"
               "  vexa-rec export \"2025-01-31 (14-05-00) rest.vxa\" --edf rest.edf\n");
}

}  // namespace
}  // namespace vexa::rec

int main(int argc, char** argv) {
  using namespace vexa::rec;
  const Args line = vexa::Utf8Arguments(argc, argv);
  if (line.size() < 2 || line[1] == "--help" || line[1] == "-h") {
    PrintUsage(line.size() < 2 ? stderr : stdout);
    return line.size() < 2 ? 2 : 0;
  }
  if (line[1] == "--version") {
    // On Windows the program file's version resource, as the About page shows it.
    const std::string version = vexa::ProgramVersionText(VEXA_VERSION);
    std::printf("vexa-rec %s\n", version.empty() ? "(no version resource)" : version.c_str());
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
