// Helpers shared by the image library tests: file and PAM reading, exact-size
// buffers (so the sanitizer sees any over-read), consistency checks.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "images/image.h"
#include "images/loaders.h"

namespace vexal::test {

inline std::string ImageDataPath(const std::string& name) {
  return std::string(VEXAL_TEST_DATA) + "/images/" + name;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A heap copy with no slack after the last byte.
class ExactBuffer {
 public:
  explicit ExactBuffer(const uint8_t* data, size_t size) : size_(size), data_(new uint8_t[size ? size : 1]) {
    if (size) std::memcpy(data_.get(), data, size);
  }
  explicit ExactBuffer(const std::vector<uint8_t>& bytes) : ExactBuffer(bytes.data(), bytes.size()) {}
  ImageBytes bytes() const { return {data_.get(), size_}; }
  uint8_t* data() { return data_.get(); }

 private:
  size_t size_;
  std::unique_ptr<uint8_t[]> data_;
};

// A PAM file (any depth 1..4 at maxval 255) as RGBA.
struct RgbaPicture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
};

inline bool ReadPam(const std::string& path, RgbaPicture& out) {
  const std::vector<uint8_t> bytes = ReadBytes(path);
  const std::string text(bytes.begin(), bytes.end());
  const size_t end = text.find("ENDHDR\n");
  if (text.rfind("P7\n", 0) != 0 || end == std::string::npos) return false;
  std::istringstream header(text.substr(3, end - 3));
  std::string line;
  int depth = 0, maxval = 0;
  while (std::getline(header, line)) {
    std::istringstream words(line);
    std::string key;
    words >> key;
    if (key == "WIDTH") words >> out.width;
    if (key == "HEIGHT") words >> out.height;
    if (key == "DEPTH") words >> depth;
    if (key == "MAXVAL") words >> maxval;
  }
  const size_t count = static_cast<size_t>(out.width) * out.height;
  const size_t start = end + 7;
  if (maxval != 255 || depth < 1 || depth > 4 || bytes.size() < start + count * depth) return false;
  out.rgba.resize(count * 4);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = &bytes[start + i * depth];
    uint8_t* o = &out.rgba[i * 4];
    if (depth <= 2) {
      o[0] = o[1] = o[2] = p[0];
      o[3] = depth == 2 ? p[1] : 255;
    } else {
      std::memcpy(o, p, 3);
      o[3] = depth == 4 ? p[3] : 255;
    }
  }
  return true;
}

// Largest channel difference between an RGBA image and a reference; colour
// is not compared where both say the pixel is fully transparent.
inline int MaxDifference(const NImage& image, const RgbaPicture& reference) {
  if (image.channels != 4 || image.width != reference.width || image.height != reference.height) return 256;
  int worst = 0;
  for (size_t i = 0; i < reference.rgba.size(); i += 4) {
    const bool bothClear = image.pixels[i + 3] == 0 && reference.rgba[i + 3] == 0;
    for (int c = bothClear ? 3 : 0; c < 4; ++c) {
      worst = std::max(worst, std::abs(int{image.pixels[i + c]} - int{reference.rgba[i + c]}));
    }
  }
  return worst;
}

// The invariants every loaded (or refused) image must keep.
inline void ExpectConsistent(const NImage& image) {
  if (image.empty()) {
    EXPECT_TRUE(image.pixels.empty());
    return;
  }
  EXPECT_GE(image.channels, 1);
  EXPECT_LE(image.channels, 4);
  EXPECT_GT(image.width, 0);
  EXPECT_GT(image.height, 0);
  EXPECT_EQ(image.pixels.size(), static_cast<size_t>(image.width) * image.height * image.channels);
  EXPECT_EQ(image.palette.size(), static_cast<size_t>(image.paletteCount) * image.paletteChannels);
}

// Little builders for hand-made files.
struct Bytes {
  std::vector<uint8_t> data;
  Bytes& u8(unsigned v) {
    data.push_back(static_cast<uint8_t>(v));
    return *this;
  }
  Bytes& u16le(unsigned v) { return u8(v & 0xFF).u8(v >> 8); }
  Bytes& u32le(uint32_t v) { return u16le(v & 0xFFFF).u16le(v >> 16); }
  Bytes& u16be(unsigned v) { return u8(v >> 8).u8(v & 0xFF); }
  Bytes& u32be(uint32_t v) { return u16be(v >> 16).u16be(v & 0xFFFF); }
  Bytes& text(const char* s) {
    while (*s) u8(static_cast<uint8_t>(*s++));
    return *this;
  }
  Bytes& fill(size_t count, unsigned v) {
    data.insert(data.end(), count, static_cast<uint8_t>(v));
    return *this;
  }
  Bytes& append(const std::vector<uint8_t>& more) {
    data.insert(data.end(), more.begin(), more.end());
    return *this;
  }
  void patchU32le(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) data[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
};

// RGBA of pixel (x, y) after expanding the image to 4 channels.
inline std::array<uint8_t, 4> PixelRgba(const NImage& source, int x, int y) {
  NImage copy = source;
  std::array<uint8_t, 4> out{};
  if (!copy.Convert(4)) return out;
  std::memcpy(out.data(), copy.row(y) + static_cast<size_t>(x) * 4, 4);
  return out;
}

// How much the peak resident memory of a child process grows while it runs
// load, which returns true when the loader gave the expected outcome
// (usually a refusal); -1 when the child failed to report, -2 when the
// outcome was not the expected one. A loader that refuses a short file only
// after allocating and zeroing a buffer for its header's size shows up here
// even though it returns 0 in the end.
inline long PeakGrowthKilobytesWhile(const std::function<bool()>& load) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const bool expected = load();
    getrusage(RUSAGE_SELF, &after);
    const long growth = expected ? after.ru_maxrss - before.ru_maxrss : -2;
    const ssize_t written = write(pipeEnds[1], &growth, sizeof growth);
    _exit(written == static_cast<ssize_t>(sizeof growth) ? 0 : 1);
  }
  close(pipeEnds[1]);
  long growth = -1;
  if (child < 0 || read(pipeEnds[0], &growth, sizeof growth) != static_cast<ssize_t>(sizeof growth)) growth = -1;
  close(pipeEnds[0]);
  if (child > 0) waitpid(child, nullptr, 0);
  return growth;
}

}  // namespace vexal::test
