#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "recording/record_file.h"

namespace vexa {
namespace {

// fdatasync where the system has it; macOS only offers fsync.
int SyncData(int fd) {
#if defined(__APPLE__)
  return ::fsync(fd);
#else
  return ::fdatasync(fd);
#endif
}

// Writes all of bytes at offset, or at the end when offset < 0, retrying
// interrupted and short writes; `written` counts what reached the file.
// False with errno set on failure.
bool WriteAll(int fd, std::string_view bytes, int64_t offset, int64_t& written) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  written = 0;
  while (left > 0) {
    const ssize_t n = offset < 0 ? ::write(fd, data, left)
                                 : ::pwrite(fd, data, left, static_cast<off_t>(offset + written));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    data += n;
    left -= static_cast<std::size_t>(n);
    written += n;
  }
  return true;
}

}  // namespace

TRecordFile::~TRecordFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool TRecordFile::Fail(Own what) {
  error_ = {what, {std::generic_category().message(errno)}};
  endNotCut_ = false;
  return false;
}

bool TRecordFile::Create(const std::string& path) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
  nameTaken_ = false;
  error_ = {};
  endNotCut_ = false;
  // O_EXCL also refuses a symbolic link at path, wherever it points.
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    nameTaken_ = errno == EEXIST;
    return Fail(Own::kRecordCannotCreate);
  }
  return true;
}

bool TRecordFile::IsOpen() const { return fd_ >= 0; }

bool TRecordFile::Append(std::string_view bytes, bool sync) {
  if (fd_ < 0) {
    error_ = {Own::kRecordNotOpen, {}};
    endNotCut_ = false;
    return false;
  }
  int64_t written = 0;
  bool ok = WriteAll(fd_, bytes, -1, written) || Fail(Own::kRecordCannotWrite);
  ok = ok && (!sync || SyncData(fd_) == 0 || Fail(Own::kRecordCannotSync));
  if (ok) {
    size_ += written;
    return true;
  }
  // Cut off what reached the file of a row that failed, and append from there.
  if (::ftruncate(fd_, static_cast<off_t>(size_)) != 0 ||
      ::lseek(fd_, static_cast<off_t>(size_), SEEK_SET) < 0) {
    endNotCut_ = true;
  }
  return false;
}

bool TRecordFile::WriteAt(int64_t offset, std::string_view bytes) {
  if (fd_ < 0 || offset < 0) {
    error_ = {fd_ < 0 ? Own::kRecordNotOpen : Own::kRecordNegativePosition, {}};
    endNotCut_ = false;
    return false;
  }
  int64_t written = 0;
  return WriteAll(fd_, bytes, offset, written) || Fail(Own::kRecordCannotWrite);
}

bool TRecordFile::Close() {
  if (fd_ < 0) return true;
  bool ok = SyncData(fd_) == 0 || Fail(Own::kRecordCannotSync);
  if (::close(fd_) != 0 && ok) ok = Fail(Own::kRecordCannotClose);
  fd_ = -1;
  return ok;
}

}  // namespace vexa
