// The recording file while a session writes it: a plain file written without
// any buffering of our own, each row in one write and synced to disk before
// the next sample, so a crash or power loss loses at most the row being
// written. Positioned writes patch the header's placeholders at stop. While
// a session writes the file it holds the file's lock (POSIX) or its only
// write access (Windows), so completing it from elsewhere is refused.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/own_texts.h"

namespace vexa {

class TRecordFile {
 public:
  TRecordFile() = default;
  ~TRecordFile();  // closes without syncing again
  TRecordFile(const TRecordFile&) = delete;
  TRecordFile& operator=(const TRecordFile&) = delete;

  // Creates a new file for writing. Anything already at path (an earlier
  // recording, a planted link) is neither opened nor replaced: false, with
  // NameTaken() set. False with LastError() set on any failure.
  bool Create(const std::string& path);
  bool NameTaken() const { return nameTaken_; }
  // Opens an existing file for reading and writing (completing an
  // interrupted recording) while no one else writes it: a file a session
  // still records (it holds the file's lock, or on Windows its write access)
  // is refused with Busy() set.
  bool OpenExisting(const std::string& path);
  bool Busy() const { return busy_; }
  // A session (of any program) is writing the file at path now: it holds
  // the lock (the write access) that OpenExisting would be refused by. The
  // probe only reads.
  static bool InUse(const std::string& path);
  // Reads up to `bytes` at offset into out (fewer at the end of the file).
  bool ReadAt(int64_t offset, std::size_t bytes, std::string& out);
  // Cuts the file to `size` bytes (the append point follows).
  bool CutTo(int64_t size);
  // Flushes what was written to the disk.
  bool Sync();
  bool IsOpen() const;
  // Appends bytes with one write call (retried for a short write) and, when
  // sync is set, flushes them to the disk. On failure (LastError() says why)
  // the file is cut back to where it ended before, so a disk that fills up
  // mid-row leaves no torn row behind.
  bool Append(std::string_view bytes, bool sync);
  // Writes bytes at an absolute position without moving the append point.
  bool WriteAt(int64_t offset, std::string_view bytes);
  // The number of bytes appended so far (the next row's position).
  int64_t Size() const { return size_; }
  // Syncs and closes; false when the final sync or close failed.
  bool Close();
  // What failed and why, in a language (the caller names the file).
  std::string LastError(int language = kEnglish) const {
    return error_.Text(language) + (endNotCut_ ? OwnText(Own::kRecordEndNotCut, language) : "");
  }

 private:
  bool Fail(Own what);  // what (kRecordCannotCreate...) with the system's reason
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
  int64_t size_ = 0;
  bool nameTaken_ = false;
  bool busy_ = false;
  TOwnMessage error_;
  bool endNotCut_ = false;  // a failed append left part of its row behind
};

}  // namespace vexa
