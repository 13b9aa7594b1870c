// The raw "BGRA" image (little-endian): the bytes "BGRA", a channel-depth
// word (0x08080808: 8 bits per channel; 0x10101010: 16 bits, of which the
// low byte of each sample is dropped), int32 width and height, then the
// pixels row 0 first, each as blue, green, red, alpha samples.
#include <cstring>

#include "images/loaders.h"
#include "io/byte_reader.h"

namespace vexal {

namespace {

constexpr size_t kHeaderBytes = 16;
constexpr uint32_t kDepth8 = 0x08080808;
constexpr uint32_t kDepth16 = 0x10101010;

bool Fail(NImage& image) {
  image.Clear();
  return false;
}

}  // namespace

bool LoadBgraImage(ImageBytes file, NImage& image) {
  image.Clear();
  if (file.size() < kHeaderBytes || std::memcmp(file.data(), "BGRA", 4) != 0) return false;
  ByteReader reader(file);
  reader.skip(4);
  const uint32_t depth = reader.u32le();
  const int32_t width = reader.i32le();
  const int32_t height = reader.i32le();
  if (depth != kDepth8 && depth != kDepth16) return false;
  const size_t pixelBytes = ImageByteSize(width, height, 4);
  if (pixelBytes == 0) return Fail(image);
  const size_t sampleBytes = depth == kDepth8 ? 1 : 2;
  const std::span<const uint8_t> data = reader.span(pixelBytes * sampleBytes);
  if (!reader.ok() || !image.Allocate(width, height, 4)) return Fail(image);

  // 16-bit samples are little-endian: the high byte is the second one.
  const size_t high = sampleBytes - 1;
  uint8_t* out = image.pixels.data();
  for (size_t i = 0; i < pixelBytes; i += 4) {
    const uint8_t* in = &data[i * sampleBytes];
    out[i + 0] = in[2 * sampleBytes + high];
    out[i + 1] = in[1 * sampleBytes + high];
    out[i + 2] = in[0 * sampleBytes + high];
    out[i + 3] = in[3 * sampleBytes + high];
  }
  return true;
}

}  // namespace vexal
