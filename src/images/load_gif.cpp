// GIF 87a / 89a: logical screen, optional global colour table, then image
// descriptors (each with an optional local table and LZW data in sub-blocks)
// and extensions until the trailer. Every frame becomes a 1-channel layer
// on the logical screen, later frames on top; a graphic control extension's
// transparent index gives that frame a 4-byte palette with alpha 0 there.
// Interlaced frames are put back in row order.
#include <cstring>
#include <vector>

#include "images/image_codec_util.h"
#include "images/loaders.h"

namespace vexal {
namespace {

// Collects the data sub-blocks of one frame into one buffer.
bool ReadSubBlocks(ByteReader& in, std::vector<uint8_t>& out) {
  out.clear();
  while (true) {
    const uint8_t length = in.u8();
    if (!in.ok()) return false;
    if (length == 0) return true;
    auto block = in.span(length);
    if (!in.ok()) return false;
    out.insert(out.end(), block.begin(), block.end());
  }
}

bool SkipSubBlocks(ByteReader& in) {
  while (true) {
    const uint8_t length = in.u8();
    if (!in.ok()) return false;
    if (length == 0) return true;
    if (!in.skip(length)) return false;
  }
}

// Variable-width LZW as GIF uses it: codes LSB first, a clear code and an
// end code after the literals, widths growing to 12 bits. Writes at most
// out.size() indices; a stream that ends early leaves the rest at 0. False
// on a code that refers to a table entry not yet defined.
bool DecodeLzw(const std::vector<uint8_t>& data, int minimumCodeSize, std::vector<uint8_t>& out) {
  constexpr int kMaxCodes = 4096;
  const int clearCode = 1 << minimumCodeSize;
  const int endCode = clearCode + 1;
  // Each table entry is its prefix code and last byte; strings are written
  // back to front using their stored length.
  std::vector<uint16_t> prefix(kMaxCodes);
  std::vector<uint8_t> suffix(kMaxCodes), first(kMaxCodes);
  std::vector<uint16_t> length(kMaxCodes);
  for (int i = 0; i < clearCode; ++i) {
    prefix[i] = 0;
    suffix[i] = first[i] = static_cast<uint8_t>(i);
    length[i] = 1;
  }
  int codeSize = minimumCodeSize + 1;
  int nextCode = clearCode + 2;
  int previous = -1;
  size_t at = 0;
  uint32_t bits = 0;
  int bitCount = 0;
  size_t byte = 0;
  while (at < out.size()) {
    while (bitCount < codeSize) {
      if (byte >= data.size()) return true;
      bits |= uint32_t{data[byte++]} << bitCount;
      bitCount += 8;
    }
    const int code = static_cast<int>(bits & ((1u << codeSize) - 1));
    bits >>= codeSize;
    bitCount -= codeSize;
    if (code == clearCode) {
      codeSize = minimumCodeSize + 1;
      nextCode = clearCode + 2;
      previous = -1;
      continue;
    }
    if (code == endCode) return true;
    if (previous < 0) {
      if (code >= clearCode) return false;
      out[at++] = static_cast<uint8_t>(code);
      previous = code;
      continue;
    }
    int written;
    if (code < nextCode) {
      written = code;
    } else if (code == nextCode && nextCode < kMaxCodes) {
      written = -1;  // the KwKwK case: previous string + its first byte
    } else {
      return false;
    }
    if (nextCode < kMaxCodes) {
      prefix[nextCode] = static_cast<uint16_t>(previous);
      first[nextCode] = first[previous];
      suffix[nextCode] = written >= 0 ? first[written] : first[previous];
      length[nextCode] = static_cast<uint16_t>(length[previous] + 1);
      if (written < 0) written = nextCode;
      ++nextCode;
      if (nextCode == (1 << codeSize) && codeSize < 12) ++codeSize;
    }
    // Emit the string of `written`, cut at the end of the frame.
    const size_t count = length[written];
    const size_t room = out.size() - at;
    int walk = written;
    for (size_t i = count; i-- > 0;) {
      if (i < room) out[at + i] = suffix[walk];
      walk = prefix[walk];
    }
    at += count < room ? count : room;
    previous = written;
  }
  return true;
}

// Row r of an interlaced frame's storage order maps to this image row.
std::vector<int32_t> InterlacedRows(int32_t height) {
  std::vector<int32_t> rows;
  rows.reserve(static_cast<size_t>(height));
  static constexpr int kStart[4] = {0, 4, 2, 1};
  static constexpr int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int32_t y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
  }
  return rows;
}

// The most indices LZW data of this many bytes can produce: each code
// adds at most one byte to the longest string so far, and no string is
// longer than the 4096-entry table allows.
size_t MaxLzwOutput(size_t dataBytes, int minimumCodeSize) {
  const size_t codes = dataBytes * 8 / static_cast<size_t>(minimumCodeSize + 1);
  if (codes <= 4096) return codes * (codes + 1) / 2;
  return size_t{4096} * 4097 / 2 + (codes - 4096) * 4096;
}

bool ReadColorTable(ByteReader& in, int count, std::vector<uint8_t>& table) {
  table.resize(static_cast<size_t>(count) * 3);
  return in.bytes(table.data(), table.size());
}

bool ReadGif(ImageBytes file, NPicture& picture, int layer) {
  picture.Clear();
  ByteReader in(file);
  if (!in.peekMatches("GIF87a") && !in.peekMatches("GIF89a")) return false;
  in.skip(6);
  const uint16_t screenWidth = in.u16le();
  const uint16_t screenHeight = in.u16le();
  const uint8_t screenFlags = in.u8();
  in.skip(2);  // background index, aspect
  if (!in.ok() || layer < -1) return false;
  std::vector<uint8_t> globalTable;
  if ((screenFlags & 0x80) && !ReadColorTable(in, 2 << (screenFlags & 7), globalTable)) return false;
  // The logical screen becomes the canvas the frames are composited on; with
  // the frames it shares the pixel budget, so a small file of many large,
  // highly compressible frames (or one huge empty screen) cannot exhaust
  // memory.
  const size_t screenPixels = size_t{screenWidth} * screenHeight;
  if (screenPixels > kMaxPicturePixels) return false;

  int transparentIndex = -1;
  std::vector<uint8_t> data;
  size_t totalPixels = screenPixels;
  int frameNumber = 0;
  while (in.ok() && !in.atEnd()) {
    const uint8_t introducer = in.u8();
    if (introducer == 0x3B) break;
    if (introducer == 0x21) {
      const uint8_t label = in.u8();
      if (label == 0xF9) {
        ByteReader block = in.sub(in.u8());
        const uint8_t flags = block.u8();
        block.skip(2);
        const uint8_t index = block.u8();
        if (!block.ok()) return false;
        transparentIndex = (flags & 1) ? index : -1;
      }
      if (!SkipSubBlocks(in)) return false;
      continue;
    }
    if (introducer != 0x2C) return false;
    NLayer frame;
    frame.left = in.u16le();
    frame.top = in.u16le();
    const uint16_t width = in.u16le();
    const uint16_t height = in.u16le();
    const uint8_t flags = in.u8();
    if (!in.ok()) return false;
    std::vector<uint8_t> localTable;
    if ((flags & 0x80) && !ReadColorTable(in, 2 << (flags & 7), localTable)) return false;
    const int minimumCodeSize = in.u8();
    if (!in.ok() || minimumCodeSize < 1 || minimumCodeSize > 8) return false;
    if (!ReadSubBlocks(in, data)) return false;
    const bool wanted = layer < 0 || layer == frameNumber;
    const int thisTransparent = transparentIndex;
    transparentIndex = -1;  // a control extension applies to one frame
    ++frameNumber;
    if (!wanted || width == 0 || height == 0) continue;
    if (width > kMaxImageSide || height > kMaxImageSide) return false;
    // Data that cannot fill the frame belongs to a damaged or hostile file;
    // refusing it also keeps a few bytes from claiming a huge frame.
    if (MaxLzwOutput(data.size(), minimumCodeSize) < size_t{width} * height) return false;
    totalPixels += size_t{width} * height;
    if (totalPixels > kMaxPicturePixels) return false;

    if (!frame.image.Allocate(width, height, 1) || !DecodeLzw(data, minimumCodeSize, frame.image.pixels)) {
      picture.Clear();
      return false;
    }
    if (flags & 0x40) {
      const std::vector<uint8_t> stored = frame.image.pixels;
      const std::vector<int32_t> rows = InterlacedRows(height);
      for (int32_t r = 0; r < height; ++r) {
        std::memcpy(frame.image.row(rows[r]), &stored[static_cast<size_t>(r) * width], width);
      }
    }
    const std::vector<uint8_t>& table = localTable.empty() ? globalTable : localTable;
    const int entries = table.empty() ? 256 : static_cast<int>(table.size() / 3);
    const int entryBytes = thisTransparent >= 0 ? 4 : 3;
    if (!frame.image.AllocatePalette(entries, entryBytes)) {
      picture.Clear();
      return false;
    }
    for (int i = 0; i < entries; ++i) {
      uint8_t* entry = &frame.image.palette[static_cast<size_t>(i) * entryBytes];
      for (int c = 0; c < 3; ++c) {
        // Without any colour table the indices are shown as grey levels.
        entry[c] = table.empty() ? static_cast<uint8_t>(i) : table[static_cast<size_t>(i) * 3 + c];
      }
      if (entryBytes == 4) entry[3] = i == thisTransparent ? 0 : 255;
    }
    frame.width = width;
    frame.height = height;
    picture.layers.push_back(std::move(frame));
  }
  if (!in.ok() || picture.layers.empty()) {
    picture.Clear();
    return false;
  }
  picture.width = screenWidth;
  picture.height = screenHeight;
  if (picture.width == 0 || picture.height == 0) {
    // Some writers leave the logical screen empty: use the first frame.
    picture.width = picture.layers[0].left + picture.layers[0].width;
    picture.height = picture.layers[0].top + picture.layers[0].height;
  }
  if (picture.width > kMaxImageSide || picture.height > kMaxImageSide ||
      uint64_t{static_cast<uint32_t>(picture.width)} * static_cast<uint32_t>(picture.height) >
          kMaxPicturePixels) {
    picture.Clear();
    return false;
  }
  return true;
}

}  // namespace

// A refused file leaves no frames behind, whichever check refused it.
bool LoadGifPicture(ImageBytes file, NPicture& picture, int layer) {
  if (ReadGif(file, picture, layer)) return true;
  picture.Clear();
  return false;
}

}  // namespace vexal
