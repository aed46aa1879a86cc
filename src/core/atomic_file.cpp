#include "core/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/paths.h"

namespace vexa {

namespace fs = std::filesystem;

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(PathFromUtf8(path), ec);
}

bool PathExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(PathFromUtf8(path), ec));
}

FileResult MoveAside(const std::string& from, const std::string& to) {
  if (PathExists(to)) return FileResult::Failed(Own::kFileMoveExists, {from, to});
  std::error_code ec;
  fs::rename(PathFromUtf8(from), PathFromUtf8(to), ec);
  if (ec) return FileResult::Failed(Own::kFileMove, {from, to, ec.message()});
  return {true, {}};
}

FileResult RemoveFile(const std::string& path) {
  std::error_code ec;
  fs::remove(PathFromUtf8(path), ec);
  if (ec) return FileResult::Failed(Own::kFileDelete, {path, ec.message()});
  return {true, {}};
}

FileResult MakeFolders(const std::string& path) {
  std::error_code ec;
  fs::create_directories(PathFromUtf8(path), ec);
  if (ec) return FileResult::Failed(Own::kFileCreateFolder, {path, ec.message()});
  return {true, {}};
}

bool ReadFileBytes(const std::string& path, std::size_t maxBytes, std::vector<std::byte>& out,
                   std::string* error) {
  out.clear();
  FILE* f = OpenFile(path, "rb");
  if (!f) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  out.resize(maxBytes);
  const std::size_t n = std::fread(out.data(), 1, maxBytes, f);
  const bool failed = std::ferror(f) != 0;
  if (failed && error) *error = std::strerror(errno);
  std::fclose(f);
  out.resize(n);
  return !failed;
}

}  // namespace vexa
