// vexa-rec scan DIR: the folder's recordings as the open window lists them,
// one line each, TAB-separated: name, start, stop, points; sorted by name.
// An interrupted recording shows "interrupted" for its stop and the rows
// found.
#include <algorithm>
#include <cstdio>
#include <string>

#include "core/datetime.h"
#include "core/settings.h"
#include "recording/folder_scan.h"
#include "options.h"

namespace vexa::rec {

namespace {

// The open window's list, printed when the batch ends (the window sorts by
// caption, so the lines are sorted too).
class PrintedList : public TRecordingList {
 public:
  void BeginUpdate() override {}
  void Clear() override { items_.clear(); }
  void Add(const std::string& name, double started, double stopped, int32_t dataCount) override {
    items_.push_back({name, {}, started, stopped, dataCount});
  }
  void AddEntry(const TRecordingEntry& e) override { items_.push_back(e); }
  // An interrupted recording, as the window lists it: "interrupted" for its
  // stop, the rows found ("~" before an estimate of a large file's).
  void EndUpdate() override {
    std::sort(items_.begin(), items_.end(),
              [](const TRecordingEntry& a, const TRecordingEntry& b) { return a.Name < b.Name; });
    for (const TRecordingEntry& e : items_) {
      const std::string stopped = e.BeingRecorded ? "recording now"
                                  : e.Interrupted ? "interrupted"
                                                  : FormatDateTime(e.Stopped);
      std::printf("%s\t%s\t%s\t%s%lld\n", e.Name.c_str(), FormatDateTime(e.Started).c_str(), stopped.c_str(),
                  e.RowsEstimated ? "~" : "", static_cast<long long>(e.Points()));
    }
    items_.clear();
  }

 private:
  std::vector<TRecordingEntry> items_;
};

}  // namespace

int RunScan(const Args& args) {
  if (args.size() != 1 || args[0].rfind("--", 0) == 0) {
    std::fprintf(stderr, "vexa-rec scan: one folder expected\nusage: vexa-rec scan DIR\n");
    return 2;
  }
  RecordingReader reader;
  TChannel& channel = reader.channel;
  PrintedList list;
  channel.OpenListView = &list;
  const int r = channel.ScanFolder(WithoutTrailingSeparator(args[0]));
  channel.OpenListView = nullptr;
  if (r != 0) {
    std::fprintf(stderr, "vexa-rec scan: the folder %s cannot be listed\n", args[0].c_str());
    return 1;
  }
  return 0;
}

}  // namespace vexa::rec
