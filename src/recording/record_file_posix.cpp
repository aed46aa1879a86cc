#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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
  // The session's mark that the file is being written (advisory: only a
  // completion asks for it). A file system without locks still records.
  (void)::flock(fd_, LOCK_EX | LOCK_NB);
  return true;
}

bool TRecordFile::OpenExisting(const std::string& path) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
  nameTaken_ = false;
  busy_ = false;
  error_ = {};
  endNotCut_ = false;
  // Non-blocking: a FIFO of that name must not hang the open.
  fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) return Fail(Own::kRecordCannotOpen);
  struct stat st {};
  const bool statted = ::fstat(fd_, &st) == 0;
  if (!statted || !S_ISREG(st.st_mode)) {
    if (statted) errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    Fail(Own::kRecordCannotOpen);
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    busy_ = true;
    error_ = {Own::kRecordBusy, {}};
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0) (void)::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
  size_ = static_cast<int64_t>(st.st_size);
  if (::lseek(fd_, static_cast<off_t>(size_), SEEK_SET) < 0) return Fail(Own::kRecordCannotOpen);
  return true;
}

bool TRecordFile::InUse(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

bool TRecordFile::ReadAt(int64_t offset, std::size_t bytes, std::string& out) {
  out.assign(bytes, '\0');
  std::size_t got = 0;
  while (fd_ >= 0 && got < bytes) {
    const ssize_t n = ::pread(fd_, out.data() + got, bytes - got, static_cast<off_t>(offset) + static_cast<off_t>(got));
    if (n < 0) {
      if (errno == EINTR) continue;
      out.clear();
      return Fail(Own::kRecordCannotRead);
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  out.resize(got);
  return fd_ >= 0 || Fail(Own::kRecordNotOpen);
}

bool TRecordFile::CutTo(int64_t size) {
  if (fd_ < 0) return Fail(Own::kRecordNotOpen);
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return Fail(Own::kRecordCannotWrite);
  size_ = size;
  if (::lseek(fd_, static_cast<off_t>(size_), SEEK_SET) < 0) return Fail(Own::kRecordCannotWrite);
  return true;
}

bool TRecordFile::Sync() {
  if (fd_ < 0) return Fail(Own::kRecordNotOpen);
  return SyncData(fd_) == 0 || Fail(Own::kRecordCannotSync);
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
