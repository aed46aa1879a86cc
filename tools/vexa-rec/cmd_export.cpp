// vexa-rec export FILE --csv OUT: a recording as CSV (UTF-8, RFC 4180) for
// spreadsheets and analysis tools. OUT is never the recording itself nor any
// other .vxa file.
#include <cstdio>
#include <string>

#include "options.h"
#include "recording/csv_export.h"

namespace vexa::rec {

int RunExport(const Args& args) {
  Options o;
  std::string error;
  if (!ParseOptions(args, {"csv"}, o, error) || o.words.size() != 1 || !o.Has("csv")) {
    if (error.empty()) error = "a recording file and --csv OUT expected";
    std::fprintf(stderr, "vexa-rec export: %s\nusage: vexa-rec export FILE --csv OUT\n",
                 error.c_str());
    return 2;
  }
  if (const std::string problem = CsvOutputProblem(o.words[0], o.Get("csv")); !problem.empty()) {
    std::fprintf(stderr, "vexa-rec export: %s; nothing written\n", problem.c_str());
    return 2;
  }
  RecordingReader reader;
  TChannel& channel = reader.channel;
  if (const int status = OpenRecording(channel, o.words[0], "export")) return status;
  const FileResult written = ExportCsv(channel, o.Get("csv"));
  if (!written.ok) {
    std::fprintf(stderr, "vexa-rec export: cannot write %s: %s\n", o.Get("csv").c_str(),
                 written.error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace vexa::rec
