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
