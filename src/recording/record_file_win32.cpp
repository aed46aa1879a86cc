#include <windows.h>

#include <string>

#include "recording/record_file.h"

namespace vexa {
namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

// Writes all bytes at the file pointer, which the caller has placed.
bool WriteAll(HANDLE h, const char* data, std::size_t left) {
  while (left > 0) {
    const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(h, data, chunk, &written, nullptr) || written == 0) return false;
    data += written;
    left -= written;
  }
  return true;
}

bool Seek(HANDLE h, int64_t offset) {
  LARGE_INTEGER to;
  to.QuadPart = offset;
  return SetFilePointerEx(h, to, nullptr, FILE_BEGIN) != 0;
}

}  // namespace

TRecordFile::~TRecordFile() {
  if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
}

bool TRecordFile::Fail(Own what) {
  error_ = {what, {"Windows error " + std::to_string(GetLastError())}};
  endNotCut_ = false;
  return false;
}

bool TRecordFile::Create(const std::string& path) {
  if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
  size_ = 0;
  nameTaken_ = false;
  error_ = {};
  endNotCut_ = false;
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    nameTaken_ = err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS;
    return Fail(Own::kRecordCannotCreate);
  }
  handle_ = h;
  return true;
}

bool TRecordFile::OpenExisting(const std::string& path) {
  if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
  size_ = 0;
  nameTaken_ = false;
  busy_ = false;
  error_ = {};
  endNotCut_ = false;
  // Readers may share it; a session writing it (which shares reading only)
  // makes this open fail with a sharing violation.
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_SHARING_VIOLATION) {
      busy_ = true;
      error_ = {Own::kRecordBusy, {}};
      return false;
    }
    return Fail(Own::kRecordCannotOpen);
  }
  LARGE_INTEGER size;
  if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &size)) {
    Fail(Own::kRecordCannotOpen);
    CloseHandle(h);
    return false;
  }
  handle_ = h;
  size_ = size.QuadPart;
  return true;
}

bool TRecordFile::InUse(const std::string& path) {
  // Reading, sharing reading only: refused while a session has write access.
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
  CloseHandle(h);
  return false;
}

bool TRecordFile::ReadAt(int64_t offset, std::size_t bytes, std::string& out) {
  out.assign(bytes, '\0');
  if (!handle_) {
    out.clear();
    error_ = {Own::kRecordNotOpen, {}};
    return false;
  }
  HANDLE h = static_cast<HANDLE>(handle_);
  if (!Seek(h, offset)) {
    out.clear();
    return Fail(Own::kRecordCannotRead);
  }
  std::size_t got = 0;
  while (got < bytes) {
    const DWORD chunk = bytes - got > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes - got);
    DWORD n = 0;
    if (!ReadFile(h, out.data() + got, chunk, &n, nullptr)) {
      out.clear();
      return Fail(Own::kRecordCannotRead);
    }
    if (n == 0) break;
    got += n;
  }
  out.resize(got);
  return true;
}

bool TRecordFile::CutTo(int64_t size) {
  if (!handle_) {
    error_ = {Own::kRecordNotOpen, {}};
    return false;
  }
  HANDLE h = static_cast<HANDLE>(handle_);
  if (!Seek(h, size) || !SetEndOfFile(h)) return Fail(Own::kRecordCannotWrite);
  size_ = size;
  return true;
}

bool TRecordFile::Sync() {
  if (!handle_) {
    error_ = {Own::kRecordNotOpen, {}};
    return false;
  }
  return FlushFileBuffers(static_cast<HANDLE>(handle_)) || Fail(Own::kRecordCannotSync);
}

bool TRecordFile::IsOpen() const { return handle_ != nullptr; }

bool TRecordFile::Append(std::string_view bytes, bool sync) {
  if (!handle_) {
    error_ = {Own::kRecordNotOpen, {}};
    endNotCut_ = false;
    return false;
  }
  HANDLE h = static_cast<HANDLE>(handle_);
  bool ok = (Seek(h, size_) && WriteAll(h, bytes.data(), bytes.size())) ||
            Fail(Own::kRecordCannotWrite);
  ok = ok && (!sync || FlushFileBuffers(h) || Fail(Own::kRecordCannotSync));
  if (ok) {
    size_ += static_cast<int64_t>(bytes.size());
    return true;
  }
  // Cut off what reached the file of a row that failed.
  if (!Seek(h, size_) || !SetEndOfFile(h)) endNotCut_ = true;
  return false;
}

bool TRecordFile::WriteAt(int64_t offset, std::string_view bytes) {
  if (!handle_) {
    error_ = {Own::kRecordNotOpen, {}};
    endNotCut_ = false;
    return false;
  }
  HANDLE h = static_cast<HANDLE>(handle_);
  if (!Seek(h, offset) || !WriteAll(h, bytes.data(), bytes.size()))
    return Fail(Own::kRecordCannotWrite);
  return true;
}

bool TRecordFile::Close() {
  if (!handle_) return true;
  HANDLE h = static_cast<HANDLE>(handle_);
  bool ok = FlushFileBuffers(h) || Fail(Own::kRecordCannotSync);
  if (!CloseHandle(h) && ok) ok = Fail(Own::kRecordCannotClose);
  handle_ = nullptr;
  return ok;
}

}  // namespace vexa
