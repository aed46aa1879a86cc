#include <windows.h>

#include <string>

#include "core/atomic_file.h"

namespace vexa {
namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

FileResult Failure(Own what, const std::string& path, DWORD err) {
  return FileResult::Failed(what, {path, "Windows error " + std::to_string(err)});
}

}  // namespace

FileResult WriteFileAtomic(const std::string& path, std::span<const std::byte> bytes) {
  const std::string temp = path + ".tmp" + std::to_string(GetCurrentProcessId());
  const std::wstring wtemp = Wide(temp), wpath = Wide(path);
  HANDLE h = CreateFileW(wtemp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    return Failure(Own::kFileCreateTemp, path, GetLastError());
  }
  const std::byte* data = bytes.data();
  std::size_t left = bytes.size();
  bool ok = true;
  while (ok && left > 0) {
    const DWORD chunk = left > 1u << 30 ? 1u << 30 : static_cast<DWORD>(left);
    DWORD written = 0;
    ok = WriteFile(h, data, chunk, &written, nullptr) && written == chunk;
    data += chunk;
    left -= chunk;
  }
  ok = ok && FlushFileBuffers(h);
  const DWORD writeErr = ok ? 0 : GetLastError();
  CloseHandle(h);
  if (!ok) {
    DeleteFileW(wtemp.c_str());
    return Failure(Own::kFileWrite, temp, writeErr);
  }
  // Another program (a virus scanner, an editor) may hold the target for a
  // moment: retry for about a second before giving up.
  DWORD err = 0;
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (MoveFileExW(wtemp.c_str(), wpath.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return {true, {}};
    }
    err = GetLastError();
    if (err != ERROR_ACCESS_DENIED && err != ERROR_SHARING_VIOLATION) break;
    Sleep(50);
  }
  DeleteFileW(wtemp.c_str());
  return Failure(Own::kFileReplace, path, err);
}

FileResult ReserveFileBeside(const std::string& path, std::string& temp) {
  DWORD err = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = path + ".tmp" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt);
    HANDLE h = CreateFileW(Wide(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return {true, {}};
    }
    err = GetLastError();
    if (err != ERROR_FILE_EXISTS) break;
  }
  temp.clear();
  return Failure(Own::kFileCreateTemp, path, err);
}

FileResult CommitFileOver(const std::string& temp, const std::string& path) {
  const std::wstring wtemp = Wide(temp), wpath = Wide(path);
  HANDLE h = CreateFileW(wtemp.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool flushed = h != INVALID_HANDLE_VALUE && FlushFileBuffers(h);
  const DWORD flushErr = flushed ? 0 : GetLastError();
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  if (!flushed) {
    DeleteFileW(wtemp.c_str());
    return Failure(Own::kFileWrite, temp, flushErr);
  }
  DWORD err = 0;
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (MoveFileExW(wtemp.c_str(), wpath.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return {true, {}};
    }
    err = GetLastError();
    if (err != ERROR_ACCESS_DENIED && err != ERROR_SHARING_VIOLATION) break;
    Sleep(50);
  }
  DeleteFileW(wtemp.c_str());
  return Failure(Own::kFileReplace, path, err);
}

}  // namespace vexa
