// vexa-rec export FILE --csv OUT | --edf OUT: a recording as CSV (UTF-8,
// RFC 4180) for spreadsheets, or as EDF+ for physiology tools (EDFbrowser,
// MNE-Python, ...); both may be given. OUT is never the recording itself nor
// any other .vxa file.
#include <cstdio>
#include <string>

#include "core/own_texts.h"
#include "options.h"
#include "recording/csv_export.h"
#include "recording/edf_export.h"

namespace vexa::rec {

namespace {

constexpr const char* kUsage = "usage: vexa-rec export FILE --csv OUT | --edf OUT\n";

}  // namespace

int RunExport(const Args& args) {
  Options o;
  std::string error;
  if (!ParseOptions(args, {"csv", "edf"}, o, error) || o.words.size() != 1 ||
      !(o.Has("csv") || o.Has("edf"))) {
    if (error.empty()) error = "a recording file and --csv OUT or --edf OUT expected";
    std::fprintf(stderr, "vexa-rec export: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (o.Has("edf") && !EdfExportAvailable()) {
    std::fprintf(stderr, "vexa-rec export: %s\n", OwnText(Own::kExportNoEdf, 0));
    return 2;
  }
  const char* formats[][2] = {{"csv", ".csv"}, {"edf", ".edf"}};
  for (const auto& [name, extension] : formats) {
    if (!o.Has(name)) continue;
    if (const std::string problem = ExportOutputProblem(o.words[0], o.Get(name), extension); !problem.empty()) {
      std::fprintf(stderr, "vexa-rec export: %s; nothing written\n", problem.c_str());
      return 2;
    }
  }
  RecordingReader reader;
  TChannel& channel = reader.channel;
  if (const int status = OpenRecording(channel, o.words[0], "export")) return status;
  if (o.Has("csv")) {
    const FileResult written = ExportCsv(channel, o.Get("csv"));
    if (!written.ok) {
      std::fprintf(stderr, "vexa-rec export: cannot write %s: %s\n", o.Get("csv").c_str(),
                   written.error.c_str());
      return 1;
    }
  }
  if (o.Has("edf")) {
    // A recording EDF+ cannot hold (an interval over 60 s, a start before
    // 1985) is refused with the reason, as a bad output name is.
    const TEdfPlan plan = PlanEdfExport(channel);
    if (!plan.problem.empty()) {
      std::fprintf(stderr, "vexa-rec export: %s: %s; nothing written\n", o.words[0].c_str(),
                   plan.problem.c_str());
      return 2;
    }
    const FileResult written = ExportEdf(channel, o.Get("edf"));
    if (!written.ok) {
      std::fprintf(stderr, "vexa-rec export: %s\n", written.error.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace vexa::rec
