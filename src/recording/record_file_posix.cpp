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

}  // namespace

TRecordFile::~TRecordFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool TRecordFile::Fail(const char* what) {
  error_ = std::string(what) + " " + path_ + ": " + std::generic_category().message(errno);
  return false;
}

bool TRecordFile::Create(const std::string& path) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
  path_ = path;
  error_.clear();
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) return Fail("cannot create");
  return true;
}

bool TRecordFile::IsOpen() const { return fd_ >= 0; }

bool TRecordFile::Append(std::string_view bytes, bool sync) {
  if (fd_ < 0) {
    error_ = "the recording file is not open";
    return false;
  }
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd_, data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail("cannot write to");
    }
    if (n == 0) {
      errno = ENOSPC;
      return Fail("cannot write to");
    }
    data += n;
    left -= static_cast<std::size_t>(n);
    size_ += n;
  }
  if (sync && SyncData(fd_) != 0) return Fail("cannot sync");
  return true;
}

bool TRecordFile::WriteAt(int64_t offset, std::string_view bytes) {
  if (fd_ < 0) {
    error_ = "the recording file is not open";
    return false;
  }
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::pwrite(fd_, data, left, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail("cannot write to");
    }
    if (n == 0) {
      errno = ENOSPC;
      return Fail("cannot write to");
    }
    data += n;
    left -= static_cast<std::size_t>(n);
    offset += n;
  }
  return true;
}

bool TRecordFile::Close() {
  if (fd_ < 0) return true;
  bool ok = SyncData(fd_) == 0 || Fail("cannot sync");
  if (::close(fd_) != 0 && ok) ok = Fail("cannot close");
  fd_ = -1;
  return ok;
}

}  // namespace vexa
