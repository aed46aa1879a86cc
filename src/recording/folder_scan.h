// What the folder scan and the loader need of the open-recording window: its
// file list and its progress bar. The window implements these; tests and
// vexa-rec use TRecordingVector.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexa {

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
  double Started = 0;
  double Stopped = 0;
  int32_t DataCount = 0;
};

// A list that keeps what it is given.
class TRecordingVector : public TRecordingList {
 public:
  void BeginUpdate() override { ++Updates; }
  void Clear() override { Items.clear(); }
  void Add(const std::string& name, double started, double stopped, int32_t dataCount) override {
    Items.push_back({name, started, stopped, dataCount});
  }
  void EndUpdate() override {}

  std::vector<TRecordingEntry> Items;
  int Updates = 0;
};

}  // namespace vexa
