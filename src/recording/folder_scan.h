// What the folder scan and the loader need of the open-recording window: its
// file list and its progress bar. The window implements these; tests and
// vexa-rec use TRecordingVector.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vexa {

struct TRecordingEntry;

// The open window's list of recordings ("File Name", "Start Record", "Stop
// Record", "Points"). ScanFolder fills it in one batch: BeginUpdate, Clear,
// Add per file in name order, EndUpdate.
class TRecordingList {
 public:
  virtual ~TRecordingList() = default;
  virtual void BeginUpdate() = 0;
  virtual void Clear() = 0;
  // name: the file name without ".vxa" (UTF-8); started and stopped are
  // date-times (days), shown as "dd.mm.yyyy hh:mm:ss"; dataCount is the
  // header's row count (0 for a file whose session never completed it).
  virtual void Add(const std::string& name, double started, double stopped, int32_t dataCount) = 0;
  // What ScanFolder calls: a list that shows interrupted recordings as such
  // takes the whole entry; otherwise an interrupted one is added with the
  // rows found as its count.
  virtual void AddEntry(const TRecordingEntry& e);
  virtual void EndUpdate() = 0;
};

// The open window's progress bar, shown while a recording loads.
class TProgress {
 public:
  virtual ~TProgress() = default;
  virtual void SetMaximum(int maximum) = 0;
  virtual void SetPosition(int position) = 0;
  virtual void SetVisible(bool visible) = 0;
};

struct TRecordingEntry {
  std::string Name;
  std::string FileName;  // with its extension as the folder has it (".VXA" too)
  double Started = 0;
  double Stopped = 0;
  int32_t DataCount = 0;
  // An interrupted recording (its session never stopped: the row count is
  // still blank, recording/interrupted.h): the rows found, counted exactly,
  // or estimated from its size in a large file (CountRowsBounded), and
  // whether it ends in a torn row.
  bool Interrupted = false;
  int64_t RowsFound = 0;
  bool RowsEstimated = false;
  bool TornRow = false;
  // ... or not interrupted but being recorded now by another program
  // (TRecordFile::InUse): its placeholders are still to be filled.
  bool BeingRecorded = false;

  // The count to show: the header's, or the rows found in an interrupted file.
  int64_t Points() const { return Interrupted ? RowsFound : DataCount; }
};

// A list that keeps what it is given.
class TRecordingVector : public TRecordingList {
 public:
  void BeginUpdate() override { ++Updates; }
  void Clear() override { Items.clear(); }
  void Add(const std::string& name, double started, double stopped, int32_t dataCount) override {
    Items.push_back({name, {}, started, stopped, dataCount});
  }
  void AddEntry(const TRecordingEntry& e) override { Items.push_back(e); }
  void EndUpdate() override {}

  std::vector<TRecordingEntry> Items;
  int Updates = 0;
};

// The folder with a separator at its end (ScanFolderPath's form).
std::string FolderWithSeparator(const std::string& folder);

// Puts a folder's file names in the order the list shows them. The default
// (an empty one) is by their bytes; the open window sorts with the system's
// collation (QCollator, case ignored), which the core has no access to.
using NameOrder = std::function<void(std::vector<std::string>& names)>;

// The names of a folder's recording files (regular files ending in ".vxa",
// any case), sorted by `order`. False when the folder cannot be listed.
// Listing ends early, with what was found, once *stop is set.
bool ListRecordingNames(const std::string& folder, std::vector<std::string>& names,
                        const std::atomic<bool>* stop = nullptr, const NameOrder& order = {});

// The list entry of one file of a folder (folder given with its separator);
// nothing when its header does not read. Touches nothing but its arguments.
// A complete recording costs one read of its first 4 KB; an interrupted one
// also its rows' count, bounded (CountRowsBounded: at most 256 KB more).
std::optional<TRecordingEntry> ReadRecordingEntry(const std::string& folderWithSeparator,
                                                  const std::string& name);

// The folder scan of the open window on a thread of its own, so the window
// answers and shows the first rows while a large folder is read.
//
// Threads: the scan thread lists the folder, reads each header into a plain
// entry and appends it to found_ under mutex_; the window thread takes what
// is there (Take) from a timer. Nothing else is shared: the scan never
// touches the recording object or a Qt object. stop_ (atomic) asks the
// thread to end at the next file; the destructor sets it and joins.
class TFolderScan {
 public:
  explicit TFolderScan(std::string folder, NameOrder order = {});
  ~TFolderScan();
  TFolderScan(const TFolderScan&) = delete;
  TFolderScan& operator=(const TFolderScan&) = delete;

  // Appends the entries found since the last call, in name order. True once
  // the scan has ended and everything it found has been taken.
  bool Take(std::vector<TRecordingEntry>& out);
  // After the end: 0 listed; 2 the folder cannot be listed.
  int Result();
  const std::string& Folder() const { return folder_; }

 private:
  void Run();

  const std::string folder_;
  const NameOrder order_;  // called on the scan thread
  std::mutex mutex_;
  std::vector<TRecordingEntry> found_;  // guarded by mutex_
  bool ended_ = false;                  // guarded by mutex_
  int result_ = 0;                      // guarded by mutex_
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace vexa
