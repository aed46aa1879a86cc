// Little-endian fields of the binary files, read and written byte by byte so
// the image is the same on every platform and compiler.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

namespace vexa {

inline uint32_t LoadU32(const std::byte* p) {
  return std::to_integer<uint32_t>(p[0]) | std::to_integer<uint32_t>(p[1]) << 8 |
         std::to_integer<uint32_t>(p[2]) << 16 | std::to_integer<uint32_t>(p[3]) << 24;
}
inline int32_t LoadI32(const std::byte* p) { return static_cast<int32_t>(LoadU32(p)); }
inline double LoadF64(const std::byte* p) {
  const uint64_t bits = LoadU32(p) | static_cast<uint64_t>(LoadU32(p + 4)) << 32;
  return std::bit_cast<double>(bits);
}

inline void StoreU32(std::byte* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::byte>(v >> (8 * i));
}
inline void StoreI32(std::byte* p, int32_t v) { StoreU32(p, static_cast<uint32_t>(v)); }
inline void StoreF64(std::byte* p, double v) {
  const auto bits = std::bit_cast<uint64_t>(v);
  StoreU32(p, static_cast<uint32_t>(bits));
  StoreU32(p + 4, static_cast<uint32_t>(bits >> 32));
}

// Appends fields to a growing image.
class ByteWriter {
 public:
  void U32(uint32_t v) { StoreU32(Grow(4), v); }
  void I32(int32_t v) { StoreI32(Grow(4), v); }
  void F64(double v) { StoreF64(Grow(8), v); }
  void U8(uint8_t v) { *Grow(1) = static_cast<std::byte>(v); }
  void Text(std::string_view s) {
    if (!s.empty()) std::memcpy(Grow(s.size()), s.data(), s.size());
  }
  std::vector<std::byte>& bytes() { return bytes_; }

 private:
  std::byte* Grow(std::size_t n) {
    bytes_.resize(bytes_.size() + n);
    return bytes_.data() + bytes_.size() - n;
  }
  std::vector<std::byte> bytes_;
};

// Reads fields in order from a span; every read checks what is left, so a
// length or count from the file can never lead past the data.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::byte> data) : data_(data) {}
  std::size_t left() const { return data_.size() - pos_; }
  bool I32(int32_t& v) {
    return Take(4, [&](const std::byte* p) { v = LoadI32(p); });
  }
  bool U32(uint32_t& v) {
    return Take(4, [&](const std::byte* p) { v = LoadU32(p); });
  }
  bool F64(double& v) {
    return Take(8, [&](const std::byte* p) { v = LoadF64(p); });
  }
  bool U8(uint8_t& v) {
    return Take(1, [&](const std::byte* p) { v = std::to_integer<uint8_t>(*p); });
  }
  // n bytes as they are; false (and nothing taken) when fewer remain.
  bool Bytes(std::size_t n, std::string_view& out) {
    return Take(n, [&](const std::byte* p) { out = {reinterpret_cast<const char*>(p), n}; });
  }

 private:
  template <class F>
  bool Take(std::size_t n, F&& f) {
    if (left() < n) return false;
    f(data_.data() + pos_);
    pos_ += n;
    return true;
  }
  std::span<const std::byte> data_;
  std::size_t pos_ = 0;
};

}  // namespace vexa
