#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "core/atomic_file.h"

namespace vexa {
namespace {

FileResult Failure(Own what, const std::string& path, int err) {
  return FileResult::Failed(what, {path, std::generic_category().message(err)});
}

bool WriteAll(int fd, const std::byte* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

FileResult WriteFileAtomic(const std::string& path, std::span<const std::byte> bytes) {
  std::string temp = path + ".tmpXXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return Failure(Own::kFileCreateTemp, path, errno);
  // mkstemp makes the file 0600; the settings are as readable as any file.
  ::fchmod(fd, 0644);
  if (!WriteAll(fd, bytes.data(), bytes.size()) || ::fsync(fd) != 0) {
    const int err = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    return Failure(Own::kFileWrite, temp, err);
  }
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Failure(Own::kFileClose, temp, err);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Failure(Own::kFileReplace, path, err);
  }
  // The rename is durable only once the folder's entry is on disk.
  const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {true, {}};
}

FileResult ReserveFileBeside(const std::string& path, std::string& temp) {
  temp = path + ".tmpXXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    const int err = errno;
    temp.clear();
    return Failure(Own::kFileCreateTemp, path, err);
  }
  ::fchmod(fd, 0644);
  ::close(fd);
  return {true, {}};
}

FileResult CommitFileOver(const std::string& temp, const std::string& path) {
  const int fd = ::open(temp.c_str(), O_WRONLY);
  if (fd < 0 || ::fsync(fd) != 0) {
    const int err = errno;
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    return Failure(Own::kFileWrite, temp, err);
  }
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Failure(Own::kFileClose, temp, err);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Failure(Own::kFileReplace, path, err);
  }
  const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {true, {}};
}

}  // namespace vexa
