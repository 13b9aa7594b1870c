// Softimage PIC (big-endian). Header, 104 bytes: uint32 magic 0x5380F634,
// float version, 80-byte comment, "PICT" at 88, uint16 width, height, float
// pixel ratio, uint16 fields, padding. Then channel packets of 4 bytes
// (chained flag, bits per channel, encoding, channel mask 0x80 red, 0x40
// green, 0x20 blue, 0x10 alpha) while the chained flag is set.
//
// Each scan line, top first, holds every packet's channels for the whole
// line, packet by packet. A "pixel" below means one byte per channel of the
// packet, in the order R G B A. Encodings: 0 raw pixels; 1 pure runs (a
// count byte, then a pixel repeated that often); 2 mixed runs (count byte c:
// below 128, c + 1 raw pixels follow; 128, a uint16 count and a pixel
// repeated; above 128, a pixel repeated c - 127 times). Runs do not cross
// lines.
#include <algorithm>
#include <cstring>
#include <vector>

#include "images/loaders.h"
#include "io/byte_reader.h"

namespace vexal {

namespace {

constexpr uint32_t kMagic = 0x5380F634;
constexpr size_t kHeaderBytes = 104;
constexpr size_t kMaxPackets = 8;

struct ChannelPacket {
  uint8_t encoding = 0;
  int offsets[4] = {};  // output channel of each of the packet's bytes
  int count = 0;
};

bool Fail(NImage& image) {
  image.Clear();
  return false;
}

bool ReadPixel(ByteReader& reader, const ChannelPacket& packet, uint8_t value[4]) {
  for (int c = 0; c < packet.count; ++c) value[c] = reader.u8();
  return reader.ok();
}

void PutPixels(uint8_t* line, int32_t channels, const ChannelPacket& packet, int32_t x,
               int32_t count, const uint8_t value[4]) {
  for (int32_t i = 0; i < count; ++i) {
    uint8_t* out = line + static_cast<size_t>(x + i) * channels;
    for (int c = 0; c < packet.count; ++c) out[packet.offsets[c]] = value[c];
  }
}

bool DecodeLine(ByteReader& reader, const ChannelPacket& packet, uint8_t* line, int32_t width,
                int32_t channels) {
  uint8_t value[4] = {};
  int32_t x = 0;
  while (x < width) {
    int32_t count = 1;
    bool literal = false;
    switch (packet.encoding) {
      case 0:
        count = 1;
        literal = true;
        break;
      case 1:
        count = reader.u8();
        break;
      default: {
        const uint8_t control = reader.u8();
        if (control < 128) {
          count = control + 1;
          literal = true;
        } else if (control == 128) {
          count = reader.u16be();
        } else {
          count = control - 127;
        }
        break;
      }
    }
    if (!reader.ok() || count == 0 || count > width - x) return false;
    if (literal) {
      for (int32_t i = 0; i < count; ++i) {
        if (!ReadPixel(reader, packet, value)) return false;
        PutPixels(line, channels, packet, x + i, 1, value);
      }
    } else {
      if (!ReadPixel(reader, packet, value)) return false;
      PutPixels(line, channels, packet, x, count, value);
    }
    x += count;
  }
  return true;
}

}  // namespace

bool LoadPicImage(ImageBytes file, NImage& image) {
  image.Clear();
  ByteReader reader(file);
  if (file.size() < kHeaderBytes || reader.u32be() != kMagic ||
      std::memcmp(file.data() + 88, "PICT", 4) != 0) {
    return false;
  }
  reader.seek(92);
  const int32_t width = reader.u16be();
  const int32_t height = reader.u16be();
  reader.seek(kHeaderBytes);

  std::vector<ChannelPacket> packets;
  bool hasAlpha = false;
  for (;;) {
    const uint8_t chained = reader.u8();
    const uint8_t bits = reader.u8();
    const uint8_t encoding = reader.u8();
    const uint8_t mask = reader.u8();
    if (!reader.ok() || bits != 8 || encoding > 2 || (mask & 0xF0) == 0 || (mask & 0x0F) != 0 ||
        packets.size() == kMaxPackets) {
      return Fail(image);
    }
    ChannelPacket packet;
    packet.encoding = encoding;
    for (int channel = 0; channel < 4; ++channel) {
      if (mask & (0x80 >> channel)) packet.offsets[packet.count++] = channel;
    }
    hasAlpha = hasAlpha || (mask & 0x10) != 0;
    packets.push_back(packet);
    if (chained == 0) break;
  }

  const int32_t channels = hasAlpha ? 4 : 3;
  if (ImageByteSize(width, height, channels) == 0) return Fail(image);
  // Every packet costs at least one byte per line, which keeps a tiny file
  // from asking for a huge image.
  if (static_cast<uint64_t>(height) * packets.size() > reader.remaining()) return Fail(image);
  if (!image.Allocate(width, height, channels)) return Fail(image);
  for (int32_t y = 0; y < height; ++y) {
    for (const ChannelPacket& packet : packets) {
      if (!DecodeLine(reader, packet, image.row(y), width, channels)) return Fail(image);
    }
  }
  return true;
}

}  // namespace vexal
