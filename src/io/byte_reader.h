// A bounds-checked cursor over a byte buffer: the one way every binary
// reader (models and images) takes bytes from a file.
//
// A read past the end never touches memory outside the buffer: it returns
// zero, sets the sticky failure flag and leaves the cursor at the end, so a
// reader can read a whole record and check ok() once. Sub-readers cover a
// chunk and cannot reach past it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace vexal {

class ByteReader {
 public:
  ByteReader() = default;
  ByteReader(const uint8_t* data, size_t size, size_t baseOffset = 0)
      : data_(data), size_(size), base_(baseOffset) {}
  explicit ByteReader(std::span<const uint8_t> bytes) : ByteReader(bytes.data(), bytes.size()) {}

  bool ok() const { return ok_; }
  void fail() {
    ok_ = false;
    position_ = size_;
  }
  size_t size() const { return size_; }
  size_t position() const { return position_; }
  size_t remaining() const { return size_ - position_; }
  bool atEnd() const { return position_ >= size_; }
  // Offset of the cursor from the start of the whole file, for messages.
  size_t fileOffset() const { return base_ + position_; }
  const uint8_t* data() const { return data_; }
  const uint8_t* cursor() const { return data_ + position_; }

  bool has(size_t count) const { return ok_ && count <= size_ - position_; }

  bool seek(size_t position) {
    if (position > size_) {
      fail();
      return false;
    }
    position_ = position;
    return true;
  }
  bool skip(size_t count) {
    if (!has(count)) {
      fail();
      return false;
    }
    position_ += count;
    return true;
  }

  uint8_t u8() {
    if (!has(1)) return failed<uint8_t>();
    return data_[position_++];
  }
  int8_t i8() { return static_cast<int8_t>(u8()); }

  uint16_t u16le() { return static_cast<uint16_t>(take<2>(false)); }
  uint32_t u32le() { return static_cast<uint32_t>(take<4>(false)); }
  uint16_t u16be() { return static_cast<uint16_t>(take<2>(true)); }
  uint32_t u32be() { return static_cast<uint32_t>(take<4>(true)); }
  int16_t i16le() { return static_cast<int16_t>(u16le()); }
  int32_t i32le() { return static_cast<int32_t>(u32le()); }
  int16_t i16be() { return static_cast<int16_t>(u16be()); }
  int32_t i32be() { return static_cast<int32_t>(u32be()); }
  float f32le() { return bitsToFloat(u32le()); }
  float f32be() { return bitsToFloat(u32be()); }
  double f64le() {
    const uint64_t bits = take<8>(false);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  // Copies count bytes; false (and nothing copied) when fewer remain.
  bool bytes(void* out, size_t count) {
    if (!has(count)) {
      fail();
      return false;
    }
    std::memcpy(out, data_ + position_, count);
    position_ += count;
    return true;
  }
  // A view of the next count bytes, consumed; empty on failure.
  std::span<const uint8_t> span(size_t count) {
    if (!has(count)) {
      fail();
      return {};
    }
    std::span<const uint8_t> out(data_ + position_, count);
    position_ += count;
    return out;
  }
  // A reader over the next count bytes; this reader moves past them. When
  // fewer remain both readers fail.
  ByteReader sub(size_t count) {
    if (!has(count)) {
      fail();
      ByteReader broken;
      broken.ok_ = false;
      return broken;
    }
    ByteReader child(data_ + position_, count, base_ + position_);
    position_ += count;
    return child;
  }
  // Text of fixed width, cut at the first NUL.
  std::string fixedString(size_t count) {
    auto view = span(count);
    size_t length = 0;
    while (length < view.size() && view[length] != 0) ++length;
    return std::string(reinterpret_cast<const char*>(view.data()), length);
  }
  // NUL-terminated text of at most maxLength bytes before the NUL; the NUL is
  // consumed. Fails when no NUL comes within the limit or the buffer.
  bool cString(std::string& out, size_t maxLength) {
    size_t end = position_;
    while (end < size_ && end - position_ <= maxLength && data_[end] != 0) ++end;
    if (!ok_ || end >= size_ || end - position_ > maxLength) {
      fail();
      return false;
    }
    out.assign(reinterpret_cast<const char*>(data_ + position_), end - position_);
    position_ = end + 1;
    return true;
  }
  // True when the next bytes equal text (not consumed).
  bool peekMatches(std::string_view text) const {
    return has(text.size()) && std::memcmp(data_ + position_, text.data(), text.size()) == 0;
  }

 private:
  template <typename T>
  T failed() {
    fail();
    return T{};
  }
  template <int N>
  uint64_t take(bool bigEndian) {
    if (!has(N)) return failed<uint64_t>();
    uint64_t value = 0;
    for (int i = 0; i < N; ++i) {
      const uint64_t byte = data_[position_ + i];
      value |= bigEndian ? byte << (8 * (N - 1 - i)) : byte << (8 * i);
    }
    position_ += N;
    return value;
  }
  static float bitsToFloat(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t position_ = 0;
  size_t base_ = 0;
  bool ok_ = true;
};

}  // namespace vexal
