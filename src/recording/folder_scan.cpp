// The folder scan of the open window: every readable recording of a folder
// with its start, stop and row count. Each file costs one bounded header
// read, so a folder of huge, empty or broken .vxa files lists as quickly as
// a folder of good ones.
#include "recording/folder_scan.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/paths.h"
#include "recording/channel.h"
#include "recording/record_format.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

fs::path FromUtf8(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }

std::string ToUtf8(const fs::path& p) {
  const std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

}  // namespace

bool HasRecordExtension(std::string_view name) {
  const std::string_view ext = kRecordExtension;
  if (name.size() <= ext.size()) return false;
  for (std::size_t i = 0; i < ext.size(); ++i) {
    char ch = name[name.size() - ext.size() + i];
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    if (ch != ext[i]) return false;
  }
  return true;
}

int TChannel::ScanFolder(const std::string& folder) {
  if (!OpenListView) return 1;
  ScanFolderPath = folder;
  if (ScanFolderPath.empty() || (ScanFolderPath.back() != '/' && ScanFolderPath.back() != kPathSeparator)) {
    ScanFolderPath += kPathSeparator;
  }

  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(FromUtf8(folder), ec);
  const bool listed = !ec;
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    std::string name = ToUtf8(it->path().filename());
    if (HasRecordExtension(name)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());

  // Each successful header read leaves the header members describing that
  // file, so after the scan they describe the last file listed.
  std::vector<TRecordingEntry> entries;
  entries.reserve(names.size());
  for (const std::string& name : names) {
    if (ReadHeader(ScanFolderPath + name) != 0) continue;
    entries.push_back({name.substr(0, name.size() - std::string_view(kRecordExtension).size()),
                       StartedTime, StoppedTime, DataCount});
  }

  OpenListView->BeginUpdate();
  OpenListView->Clear();
  for (const TRecordingEntry& e : entries) OpenListView->Add(e.Name, e.Started, e.Stopped, e.DataCount);
  OpenListView->EndUpdate();
  return listed ? 0 : 2;
}

}  // namespace vexa
