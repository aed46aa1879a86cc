// The folder scan of the open window: every readable recording of a folder
// with its start, stop and row count. Each file costs one bounded header
// read, so a folder of huge, empty or broken .vxa files lists as quickly as
// a folder of good ones; an interrupted recording adds a bounded count of
// its rows (at most 256 KB read, interrupted.h).
#include "recording/folder_scan.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <iterator>
#include <memory>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/paths.h"
#include "recording/channel.h"
#include "recording/interrupted.h"
#include "recording/record_file.h"
#include "recording/record_format.h"
#include "recording/record_header.h"

namespace vexa {

namespace fs = std::filesystem;

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

std::string FolderWithSeparator(const std::string& folder) {
  std::string path = folder;
  if (path.empty() || (path.back() != '/' && path.back() != kPathSeparator)) path += kPathSeparator;
  return path;
}

void TRecordingList::AddEntry(const TRecordingEntry& e) {
  Add(e.Name, e.Started, e.Stopped, static_cast<int32_t>(std::min<int64_t>(e.Points(), INT32_MAX)));
}

bool ListRecordingNames(const std::string& folder, std::vector<std::string>& names,
                        const std::atomic<bool>* stop, const NameOrder& order) {
  names.clear();
  std::error_code ec;
  fs::directory_iterator it(PathFromUtf8(folder), ec);
  const bool listed = !ec;
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    if (stop && stop->load(std::memory_order_relaxed)) break;
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    std::string name = Utf8FromPath(it->path().filename());
    if (HasRecordExtension(name)) names.push_back(std::move(name));
  }
  if (order) {
    order(names);
  } else {
    std::sort(names.begin(), names.end());
  }
  return listed;
}

std::optional<TRecordingEntry> ReadRecordingEntry(const std::string& folderWithSeparator,
                                                  const std::string& name) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(OpenFile(folderWithSeparator + name, "rb"), &std::fclose);
  if (!f) return std::nullopt;
  const auto readAt = FileReadAt(f.get());
  std::string head;
  if (!readAt(0, kHeaderReadBytes, head)) return std::nullopt;  // a folder, or a read error
  // Large (40 column names): off the stack of a thread.
  auto h = std::make_unique<TRecordingHeader>();
  if (ParseRecordingHeader(head, head.size() < kHeaderReadBytes, *h) != 0) return std::nullopt;
  TRecordingEntry e{name.substr(0, name.size() - std::string_view(kRecordExtension).size()), name,
                    h->started, h->stopped, h->dataCount};
  if (IsInterrupted(*h)) {
    e.Interrupted = true;
    e.BeingRecorded = TRecordFile::InUse(folderWithSeparator + name);
    int64_t size = static_cast<int64_t>(head.size());
    if (size == static_cast<int64_t>(kHeaderReadBytes)) {
#ifdef _WIN32
      size = _fseeki64(f.get(), 0, SEEK_END) == 0 ? _ftelli64(f.get()) : -1;
#else
      size = fseeko(f.get(), 0, SEEK_END) == 0 ? static_cast<int64_t>(ftello(f.get())) : -1;
#endif
    }
    TRowCount count;
    const int columns = std::min(h->nameCount, kMaxColumnNames) - 1;
    if (size >= h->dataTableOffset &&
        CountRowsBounded(readAt, h->dataTableOffset, size, columns, count)) {
      e.RowsFound = count.rows;
      e.RowsEstimated = count.estimated;
      e.TornRow = count.tornRow;
    }
  }
  return e;
}

int TChannel::ScanFolder(const std::string& folder) {
  if (!OpenListView) return 1;
  ScanFolderPath = FolderWithSeparator(folder);
  std::vector<std::string> names;
  const bool listed = ListRecordingNames(folder, names);
  std::vector<TRecordingEntry> entries;
  entries.reserve(names.size());
  for (const std::string& name : names) {
    if (auto e = ReadRecordingEntry(ScanFolderPath, name)) entries.push_back(std::move(*e));
  }
  OpenListView->BeginUpdate();
  OpenListView->Clear();
  for (const TRecordingEntry& e : entries) OpenListView->AddEntry(e);
  OpenListView->EndUpdate();
  return listed ? 0 : 2;
}

TFolderScan::TFolderScan(std::string folder, NameOrder order)
    : folder_(std::move(folder)), order_(std::move(order)) {
  thread_ = std::thread([this] { Run(); });
}

TFolderScan::~TFolderScan() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void TFolderScan::Run() {
  std::vector<std::string> names;
  const bool listed = ListRecordingNames(folder_, names, &stop_, order_);
  const std::string path = FolderWithSeparator(folder_);
  for (const std::string& name : names) {
    if (stop_.load(std::memory_order_relaxed)) break;
    std::optional<TRecordingEntry> e = ReadRecordingEntry(path, name);
    if (!e) continue;
    const std::lock_guard lock(mutex_);
    found_.push_back(std::move(*e));
  }
  const std::lock_guard lock(mutex_);
  result_ = listed ? 0 : 2;
  ended_ = true;
}

bool TFolderScan::Take(std::vector<TRecordingEntry>& out) {
  const std::lock_guard lock(mutex_);
  if (out.empty()) {
    out.swap(found_);
  } else {
    std::move(found_.begin(), found_.end(), std::back_inserter(out));
    found_.clear();
  }
  return ended_;
}

int TFolderScan::Result() {
  const std::lock_guard lock(mutex_);
  return result_;
}

}  // namespace vexa
