// Whole-file reading and crash-safe writing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexal {

// Files larger than this are refused by ReadFileBytes: no model or image the
// program handles comes near it, and it keeps a hostile size from driving an
// allocation.
inline constexpr size_t kMaxInputFileBytes = size_t{1} << 30;

// Reads a whole file. On failure returns false with a reason a person can
// read (cannot open, too large, read error).
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, std::string* reason);

// Writes bytes to a temporary file beside path, flushes it and renames it
// over path, so a failed save never destroys the file already there.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* reason);

// Collects a file's bytes in memory and commits them with
// WriteFileAtomically; writers format into it like a stream.
class OutputBuffer {
 public:
  // Room for the largest text files the writers make, reserved but not
  // touched: a model at the table limits no longer copies its text at every
  // doubling of the buffer.
  OutputBuffer() { data_.reserve(size_t{4} << 20); }
  void put(std::string_view text) { data_.append(text); }
  void put(char c) { data_.push_back(c); }
  // printf-style formatting appended to the buffer.
  void printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void bytes(const void* data, size_t count) {
    data_.append(static_cast<const char*>(data), count);
  }
  void u8(uint8_t v) { data_.push_back(static_cast<char>(v)); }
  void u16le(uint16_t v);
  void u32le(uint32_t v);
  void u16be(uint16_t v);
  void u32be(uint32_t v);
  void f32le(float v);
  void f32be(float v);
  // Overwrites 4 bytes at offset (for sizes known only after a chunk ends).
  void patchU32le(size_t offset, uint32_t v);
  void patchU32be(size_t offset, uint32_t v);
  void patchU16be(size_t offset, uint16_t v);
  size_t size() const { return data_.size(); }
  const std::string& str() const { return data_; }
  bool commit(const std::string& path, std::string* reason) const {
    return WriteFileAtomically(path, data_, reason);
  }

 private:
  std::string data_;
};

}  // namespace vexal
