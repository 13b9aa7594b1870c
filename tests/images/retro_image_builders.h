// Writers for the image formats no available tool produces (TIM2, TIM, MAG,
// MAKI, Maya IFF, Softimage PIC, ILBM, PCX, BGRA, "DPX", "EDGE"), written
// from the formats' descriptions independently of the loaders, plus the
// truncation and corruption sweeps every loader test runs.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "image_test_util.h"

namespace vexal::test {

// ---- test pictures ----

// Indices with runs, repeats one and two rows apart and some noise, so every
// branch of a run-length or copy coder gets used.
inline std::vector<uint8_t> PatternIndices(int width, int height, int colours) {
  std::vector<uint8_t> out(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int value = (x / 5 + (y / 3) * 3) % colours;
      if ((x * 7 + y * 13) % 11 == 0) value = (x * y + 1) % colours;
      out[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(value);
    }
  }
  return out;
}

// Direct colour of the given channel count in the same spirit.
inline std::vector<uint8_t> PatternPixels(int width, int height, int channels) {
  std::vector<uint8_t> out(static_cast<size_t>(width) * height * channels);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &out[(static_cast<size_t>(y) * width + x) * channels];
      const bool flat = x / 4 % 2 == 0;
      for (int c = 0; c < channels; ++c) {
        p[c] = flat ? static_cast<uint8_t>(40 * c + 17) : static_cast<uint8_t>(x * 19 + y * 31 + c * 77);
      }
    }
  }
  return out;
}

// A palette whose entries all differ: entry i = (i * 7, 255 - i, i * 13).
inline std::vector<uint8_t> PatternPaletteRgb(int count) {
  std::vector<uint8_t> out;
  for (int i = 0; i < count; ++i) {
    out.push_back(static_cast<uint8_t>(i * 7));
    out.push_back(static_cast<uint8_t>(255 - i));
    out.push_back(static_cast<uint8_t>(i * 13 + 1));
  }
  return out;
}

// ---- sweeps ----

// Every proper prefix of a complete file is refused, leaving the image empty;
// the prefixes sit in exact-size buffers so a sanitizer sees any over-read.
inline void ExpectPrefixesRefused(int formatCode, const std::vector<uint8_t>& file, size_t step = 1) {
  for (size_t size = 0; size < file.size(); size += step) {
    NImage image;
    const ExactBuffer prefix(file.data(), size);
    ASSERT_EQ(LoadImageFromMemory(prefix.bytes(), image, formatCode), 0) << "prefix " << size;
    ASSERT_TRUE(image.empty());
  }
}

// Every prefix loads or is refused without reading past its end (for
// formats where a shorter file may still be complete).
inline void ExpectPrefixesSafe(int formatCode, const std::vector<uint8_t>& file, size_t step = 1) {
  for (size_t size = 0; size < file.size(); size += step) {
    NImage image;
    const ExactBuffer prefix(file.data(), size);
    LoadImageFromMemory(prefix.bytes(), image, formatCode);
    ExpectConsistent(image);
  }
}

// Each byte of the file (up to limit) replaced by a few damaging values: the
// loader either refuses or gives a consistent image.
inline void ExpectCorruptionsSafe(int formatCode, const std::vector<uint8_t>& file,
                                  size_t limit = 4096) {
  for (size_t at = 0; at < std::min(limit, file.size()); ++at) {
    for (const uint8_t value : {uint8_t{0x00}, uint8_t{0xFF}, uint8_t{0x80}, uint8_t{0x01}}) {
      std::vector<uint8_t> damaged = file;
      if (damaged[at] == value) continue;
      damaged[at] = value;
      NImage image;
      const ExactBuffer buffer(damaged);
      const int code = LoadImageFromMemory(buffer.bytes(), image, formatCode);
      ExpectConsistent(image);
      if (code == 0) {
        ASSERT_TRUE(image.empty());
      }
    }
  }
}

// ---- "EDGE" ----

// Runs of 3 or more equal bytes become runs, the rest literals.
inline std::vector<uint8_t> EdgePack(const std::vector<uint8_t>& data) {
  Bytes runs;
  Bytes literals;
  uint32_t runCount = 0;
  for (size_t i = 0; i < data.size();) {
    size_t j = i;
    while (j < data.size() && data[j] == data[i]) ++j;
    if (j - i >= 3) {
      runs.u32le(static_cast<uint32_t>(literals.data.size())).u32le(static_cast<uint32_t>(j - i)).u8(data[i]);
      ++runCount;
    } else {
      for (size_t k = i; k < j; ++k) literals.u8(data[k]);
    }
    i = j;
  }
  Bytes out;
  out.u32le(runCount).append(runs.data).u32le(static_cast<uint32_t>(literals.data.size())).append(literals.data);
  return out.data;
}

struct EdgeLayer {
  std::string name;
  bool visible = true;
  std::vector<uint8_t> indices;  // canvas size, row 0 first
};

inline std::vector<uint8_t> MakeEdge(int width, int height, uint8_t transparent,
                                     const std::vector<uint8_t>& paletteRgb,
                                     const std::vector<EdgeLayer>& layers) {
  Bytes out;
  out.text("EDGE").fill(6, 0).u32le(width).u32le(height).u16le(static_cast<unsigned>(layers.size()));
  out.u8(transparent).append(paletteRgb);
  for (const EdgeLayer& layer : layers) {
    std::vector<uint8_t> name(80, 0);
    std::copy(layer.name.begin(), layer.name.end(), name.begin());
    out.append(name).u8(layer.visible ? 1 : 0).append(EdgePack(layer.indices));
  }
  return out.data;
}

// ---- "DPX" ----

// A byte repeated k >= 2 times becomes the byte twice and k (runs above 255
// are split); single bytes stay as they are.
inline std::vector<uint8_t> DpxPack(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < data.size();) {
    size_t j = i;
    while (j < data.size() && data[j] == data[i] && j - i < 255) ++j;
    out.push_back(data[i]);
    if (j - i >= 2) {
      out.push_back(data[i]);
      out.push_back(static_cast<uint8_t>(j - i));
    }
    i = j;
  }
  return out;
}

struct DpxLayer {
  uint8_t flagsA = 0;
  uint8_t flagsB = 1;
  int32_t transparent = -1;
  std::string name;
  std::vector<uint8_t> ownPaletteBgrx;  // 1024 bytes when flagsA bit 1
  std::vector<uint8_t> indices;         // canvas size, row 0 at the top
};

inline std::vector<uint8_t> MakeDpx(int width, int height, const std::vector<uint8_t>& paletteBgrx,
                                    const std::vector<DpxLayer>& layers) {
  Bytes out;
  out.text("DPX").fill(133, 0).u32le(width).u32le(height).u32le(static_cast<uint32_t>(layers.size()));
  out.fill(160 - out.data.size(), 0).append(paletteBgrx);
  const size_t stride = (static_cast<size_t>(width) + 3) / 4 * 4;
  const size_t maskStride = ((static_cast<size_t>(width) + 3) / 4 + 3) / 4 * 4;
  for (const DpxLayer& layer : layers) {
    Bytes header;
    header.fill(4, 0).u8(layer.flagsA).u8(0).u8(layer.flagsB).u8(0).fill(4, 0).u32le(layer.transparent);
    header.fill(16, 0).text(layer.name.c_str());
    header.fill(128 - header.data.size(), 0);
    out.append(header.data);
    if (layer.flagsB & 0x10) out.fill(256, 0x5A);
    if (layer.flagsA & 0x02) out.append(layer.ownPaletteBgrx);
    std::vector<uint8_t> rows;
    for (int y = height - 1; y >= 0; --y) {
      const auto* row = &layer.indices[static_cast<size_t>(y) * width];
      rows.insert(rows.end(), row, row + width);
      rows.insert(rows.end(), stride - width, 0);
    }
    out.append((layer.flagsA & 0x20) ? DpxPack(rows) : rows);
    if (layer.flagsA & 0x01) {
      const std::vector<uint8_t> mask(maskStride * height, 0xFF);
      out.append((layer.flagsA & 0x10) ? DpxPack(mask) : mask);
    }
  }
  out.text("INFO").u32le(3).text("abc").text("EOF ").u32le(0);
  return out.data;
}

// ---- TIM2 ----

struct Tim2Picture {
  uint8_t imageType = 5;
  uint8_t tableType = 0x83;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // as stored
  std::vector<uint8_t> table;   // as stored
  uint16_t tableEntries = 0;
  bool aligned = false;          // format id 1: picture at byte 128
};

inline std::vector<uint8_t> MakeTim2(const Tim2Picture& p) {
  Bytes out;
  out.text("TIM2").u8(4).u8(p.aligned ? 1 : 0).u16le(1).fill(8, 0);
  if (p.aligned) out.fill(128 - 16, 0);
  const uint32_t headerSize = 48;
  const auto imageSize = static_cast<uint32_t>(p.pixels.size());
  const auto tableSize = static_cast<uint32_t>(p.table.size());
  out.u32le(headerSize + imageSize + tableSize).u32le(tableSize).u32le(imageSize);
  out.u16le(headerSize).u16le(p.tableEntries).u8(0).u8(1).u8(p.tableType).u8(p.imageType);
  out.u16le(p.width).u16le(p.height).fill(24, 0);
  out.append(p.pixels).append(p.table);
  return out.data;
}

// ---- PlayStation TIM ----

inline std::vector<uint8_t> MakeTim(uint32_t mode, int unitsWide, int height,
                                    const std::vector<uint8_t>& pixels,
                                    const std::vector<uint16_t>& table, int tableRows = 1) {
  Bytes out;
  out.u32le(0x10).u32le(mode | (table.empty() ? 0 : 8));
  if (!table.empty()) {
    out.u32le(12 + static_cast<uint32_t>(table.size()) * 2).u16le(0).u16le(480);
    out.u16le(static_cast<unsigned>(table.size()) / tableRows).u16le(tableRows);
    for (const uint16_t entry : table) out.u16le(entry);
  }
  out.u32le(12 + static_cast<uint32_t>(pixels.size())).u16le(320).u16le(0).u16le(unitsWide).u16le(height);
  out.append(pixels);
  return out.data;
}

// ---- MAKI version 1 ----

// indices: 640 x 400 values 0..15. Stores a byte when it differs from the
// byte xorRows rows up, in blocks of 4 x 4 bytes.
inline std::vector<uint8_t> MakeMaki(const std::vector<uint8_t>& indices, bool variantB,
                                     const std::vector<uint8_t>& paletteGrb) {
  const size_t byteWidth = 320;
  const size_t rowsUp = variantB ? 4 : 2;
  std::vector<uint8_t> bytes(byteWidth * 400);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(indices[i * 2] << 4 | indices[i * 2 + 1]);
  std::vector<uint8_t> filtered = bytes;
  for (size_t i = rowsUp * byteWidth; i < bytes.size(); ++i) filtered[i] = bytes[i] ^ bytes[i - rowsUp * byteWidth];
  std::vector<uint8_t> flagA(1000, 0);
  Bytes flagB;
  std::vector<uint8_t> pixelData;
  for (size_t block = 0; block < 8000; ++block) {
    const size_t left = block % 80 * 4;
    const size_t top = block / 80 * 4;
    unsigned bits = 0;
    for (size_t i = 0; i < 16; ++i) {
      if (filtered[(top + i / 4) * byteWidth + left + i % 4] != 0) bits |= 0x8000u >> i;
    }
    if (bits == 0) continue;
    flagA[block / 8] |= static_cast<uint8_t>(0x80 >> (block % 8));
    flagB.u16be(bits);
  }
  for (const uint8_t value : filtered) {
    if (value != 0) pixelData.push_back(value);
  }
  const size_t sizeA = std::min<size_t>(pixelData.size(), 64000);
  Bytes out;
  out.text(variantB ? "MAKI01B " : "MAKI01A ").text("PC98").text("tester").fill(13, 0x20).u8(0x1A);
  out.u16be(static_cast<unsigned>(flagB.data.size())).u16be(static_cast<unsigned>(sizeA));
  out.u16be(static_cast<unsigned>(pixelData.size() - sizeA)).u16be(0).u16be(0).u16be(0).u16be(640).u16be(400);
  out.append(paletteGrb).append(flagA).append(flagB.data).append(pixelData);
  return out.data;
}

// ---- MAG ----

// indices: the picture x0..x1 by y0..y1. Each unit is copied from the first
// of the 15 places that holds the same two bytes, otherwise stored.
inline std::vector<uint8_t> MakeMag(int x0, int y0, int x1, int y1, bool colours256,
                                    const std::vector<uint8_t>& indices,
                                    const std::vector<uint8_t>& paletteGrb) {
  static constexpr int kUnits[16] = {0, 1, 2, 4, 0, 1, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0};
  static constexpr int kRows[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};
  const int perByte = colours256 ? 1 : 2;
  const int leftByte = x0 / perByte / 4 * 4;
  const int rightByte = (x1 / perByte + 4) / 4 * 4;
  const int byteWidth = rightByte - leftByte;
  const int height = y1 - y0 + 1;
  const int width = x1 - x0 + 1;
  std::vector<uint8_t> bytes(static_cast<size_t>(byteWidth) * height, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int column = x0 + x - leftByte * perByte;
      uint8_t& b = bytes[static_cast<size_t>(y) * byteWidth + column / perByte];
      const uint8_t value = indices[static_cast<size_t>(y) * width + x];
      b |= colours256 ? value : static_cast<uint8_t>(column % 2 ? value : value << 4);
    }
  }
  const int flagsPerRow = byteWidth / 4;
  std::vector<uint8_t> previous(flagsPerRow, 0);
  std::vector<uint8_t> flagABits;
  std::vector<uint8_t> flagB;
  std::vector<uint8_t> pixelData;
  for (int y = 0; y < height; ++y) {
    for (int f = 0; f < flagsPerRow; ++f) {
      uint8_t flag = 0;
      for (int half = 0; half < 2; ++half) {
        const int unit = f * 2 + half;
        const size_t at = static_cast<size_t>(y) * byteWidth + unit * 2;
        int chosen = 0;
        for (int n = 1; n < 16 && chosen == 0; ++n) {
          if (unit < kUnits[n] || y < kRows[n]) continue;
          const size_t from = at - kUnits[n] * 2 - static_cast<size_t>(kRows[n]) * byteWidth;
          if (bytes[from] == bytes[at] && bytes[from + 1] == bytes[at + 1]) chosen = n;
        }
        if (chosen == 0) {
          pixelData.push_back(bytes[at]);
          pixelData.push_back(bytes[at + 1]);
        }
        flag = static_cast<uint8_t>(flag | chosen << (half ? 0 : 4));
      }
      const uint8_t change = flag ^ previous[f];
      flagABits.push_back(change != 0);
      if (change != 0) flagB.push_back(change);
      previous[f] = flag;
    }
  }
  std::vector<uint8_t> flagA((flagABits.size() + 7) / 8, 0);
  for (size_t i = 0; i < flagABits.size(); ++i) {
    if (flagABits[i]) flagA[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
  }
  Bytes out;
  out.text("MAKI02  ").text("PC98").text("user comment").u8(0x1A);
  const size_t header = out.data.size();
  const auto paletteBytes = static_cast<uint32_t>(paletteGrb.size());
  const uint32_t flagAOffset = 32 + paletteBytes;
  const auto flagBOffset = static_cast<uint32_t>(flagAOffset + flagA.size());
  const auto pixelOffset = static_cast<uint32_t>(flagBOffset + flagB.size());
  out.u8(0).u8(0).u8(0).u8(colours256 ? 0x80 : 0);
  out.u16le(x0).u16le(y0).u16le(x1).u16le(y1);
  out.u32le(flagAOffset).u32le(flagBOffset).u32le(static_cast<uint32_t>(flagB.size()));
  out.u32le(pixelOffset).u32le(static_cast<uint32_t>(pixelData.size()));
  EXPECT_EQ(out.data.size(), header + 32);
  out.append(paletteGrb).append(flagA).append(flagB).append(pixelData);
  return out.data;
}

// ---- Maya IFF ----

// Tiles of tileWidth x tileHeight over the picture (channels 3 or 4, row 0
// at the top); compressed tiles use runs per channel plane.
inline std::vector<uint8_t> MakeMayaIff(int width, int height, int channels,
                                        const std::vector<uint8_t>& pixels, int tileWidth,
                                        int tileHeight, bool compressed) {
  auto chunk = [](Bytes& out, const char* tag, const std::vector<uint8_t>& data) {
    out.text(tag).u32be(static_cast<uint32_t>(data.size())).append(data);
    while (out.data.size() % 4) out.u8(0);
  };
  auto packRuns = [](const std::vector<uint8_t>& plane) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < plane.size();) {
      size_t j = i;
      while (j < plane.size() && plane[j] == plane[i] && j - i < 128) ++j;
      if (j - i >= 2) {
        out.push_back(static_cast<uint8_t>(0x80 | (j - i - 1)));
        out.push_back(plane[i]);
        i = j;
        continue;
      }
      size_t k = i;
      while (k < plane.size() && k - i < 128 && !(k + 1 < plane.size() && plane[k + 1] == plane[k])) ++k;
      if (k == i) k = i + 1;
      out.push_back(static_cast<uint8_t>(k - i - 1));
      out.insert(out.end(), plane.begin() + static_cast<long>(i), plane.begin() + static_cast<long>(k));
      i = k;
    }
    return out;
  };
  Bytes tiles;
  tiles.text("TBMP");
  int tileCount = 0;
  for (int ty = 0; ty < height; ty += tileHeight) {
    for (int tx = 0; tx < width; tx += tileWidth) {
      const int x2 = std::min(width, tx + tileWidth) - 1;
      const int y2 = std::min(height, ty + tileHeight) - 1;
      Bytes tile;
      tile.u16be(tx).u16be(ty).u16be(x2).u16be(y2);
      std::vector<std::vector<uint8_t>> planes(channels);
      std::vector<uint8_t> raw;
      for (int y = ty; y <= y2; ++y) {
        const int row = height - 1 - y;  // file rows count from the bottom
        for (int x = tx; x <= x2; ++x) {
          const uint8_t* p = &pixels[(static_cast<size_t>(row) * width + x) * channels];
          for (int c = channels - 1; c >= 0; --c) {
            raw.push_back(p[c]);
            planes[channels - 1 - c].push_back(p[c]);
          }
        }
      }
      std::vector<uint8_t> packed;
      for (const auto& plane : planes) {
        const auto runs = packRuns(plane);
        packed.insert(packed.end(), runs.begin(), runs.end());
      }
      tile.append(compressed && packed.size() < raw.size() ? packed : raw);
      chunk(tiles, "RGBA", tile.data);
      ++tileCount;
    }
  }
  Bytes header;
  header.u32be(width).u32be(height).u16be(1).u16be(1).u32be(channels == 4 ? 3 : 1);
  header.u16be(0).u16be(tileCount).u32be(compressed ? 1 : 0).u32be(0).u32be(0);
  Bytes body;
  body.text("CIMG");
  chunk(body, "FVER", {0, 0, 0, 1});
  chunk(body, "TBHD", header.data);
  chunk(body, "FOR4", tiles.data);
  Bytes out;
  chunk(out, "FOR4", body.data);
  return out.data;
}

// ---- Softimage PIC ----

struct PicPacket {
  uint8_t channels;  // 0x80 red, 0x40 green, 0x20 blue, 0x10 alpha
  uint8_t encoding;  // 0 raw, 1 pure runs, 2 mixed runs
};

inline std::vector<uint8_t> MakePic(int width, int height, const std::vector<uint8_t>& rgba,
                                    const std::vector<PicPacket>& packets) {
  Bytes out;
  out.u32be(0x5380F634).u32be(0x40600000).text("test picture").fill(80 - 12, 0).text("PICT");
  out.u16be(width).u16be(height).u32be(0x3F800000).u16be(3).u16be(0);
  for (size_t i = 0; i < packets.size(); ++i) {
    out.u8(i + 1 < packets.size() ? 1 : 0).u8(8).u8(packets[i].encoding).u8(packets[i].channels);
  }
  for (int y = 0; y < height; ++y) {
    for (const PicPacket& packet : packets) {
      std::vector<std::vector<uint8_t>> line;
      for (int x = 0; x < width; ++x) {
        std::vector<uint8_t> value;
        for (int c = 0; c < 4; ++c) {
          if (packet.channels & (0x80 >> c)) value.push_back(rgba[(static_cast<size_t>(y) * width + x) * 4 + c]);
        }
        line.push_back(value);
      }
      for (size_t x = 0; x < line.size();) {
        size_t run = x;
        while (run < line.size() && line[run] == line[x]) ++run;
        size_t count = run - x;
        if (packet.encoding == 0) {
          out.append(line[x]);
          ++x;
        } else if (packet.encoding == 1) {
          count = std::min<size_t>(count, 255);
          out.u8(static_cast<unsigned>(count)).append(line[x]);
          x += count;
        } else if (count >= 2) {
          if (count > 128) {
            out.u8(128).u16be(static_cast<unsigned>(count));
          } else {
            out.u8(static_cast<unsigned>(count + 127));
          }
          out.append(line[x]);
          x += count;
        } else {
          size_t end = x + 1;
          while (end < line.size() && end - x < 128 && !(end + 1 < line.size() && line[end + 1] == line[end])) ++end;
          out.u8(static_cast<unsigned>(end - x - 1));
          for (size_t k = x; k < end; ++k) out.append(line[k]);
          x = end;
        }
      }
    }
  }
  return out.data;
}

// ---- IFF ILBM ----

// planes 1..8 (indices) or 24 (R G B pixels); masking 1 adds a mask plane.
inline std::vector<uint8_t> MakeIlbm(int width, int height, int planes, const std::vector<uint8_t>& pixels,
                                     const std::vector<uint8_t>& colourMap, bool compressed,
                                     uint8_t masking = 0) {
  const size_t planeRow = (static_cast<size_t>(width) + 15) / 16 * 2;
  std::vector<uint8_t> body;
  for (int y = 0; y < height; ++y) {
    std::vector<uint8_t> row;
    const int stored = planes + (masking == 1 ? 1 : 0);
    for (int plane = 0; plane < stored; ++plane) {
      std::vector<uint8_t> bits(planeRow, 0);
      for (int x = 0; x < width; ++x) {
        uint32_t value = 0xFFFFFFFF;  // the mask plane: every pixel opaque
        if (plane < planes) {
          const size_t i = static_cast<size_t>(y) * width + x;
          value = planes == 24 ? (pixels[i * 3] | pixels[i * 3 + 1] << 8 | pixels[i * 3 + 2] << 16) : pixels[i];
        }
        if ((value >> (plane < planes ? plane : 0)) & 1) bits[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
      }
      row.insert(row.end(), bits.begin(), bits.end());
    }
    if (!compressed) {
      body.insert(body.end(), row.begin(), row.end());
      continue;
    }
    // ByteRun1 per row: runs of 3 or more, literals otherwise.
    for (size_t i = 0; i < row.size();) {
      size_t j = i;
      while (j < row.size() && row[j] == row[i] && j - i < 128) ++j;
      if (j - i >= 3) {
        body.push_back(static_cast<uint8_t>(1 - static_cast<int>(j - i)));
        body.push_back(row[i]);
        i = j;
        continue;
      }
      size_t k = i;
      while (k < row.size() && k - i < 128 &&
             !(k + 2 < row.size() && row[k] == row[k + 1] && row[k] == row[k + 2])) {
        ++k;
      }
      body.push_back(static_cast<uint8_t>(k - i - 1));
      body.insert(body.end(), row.begin() + static_cast<long>(i), row.begin() + static_cast<long>(k));
      i = k;
    }
  }
  auto chunk = [](Bytes& out, const char* tag, const std::vector<uint8_t>& data) {
    out.text(tag).u32be(static_cast<uint32_t>(data.size())).append(data);
    if (data.size() % 2) out.u8(0);
  };
  Bytes bmhd;
  bmhd.u16be(width).u16be(height).u16be(0).u16be(0).u8(planes).u8(masking).u8(compressed ? 1 : 0).u8(0);
  bmhd.u16be(0).u8(10).u8(11).u16be(width).u16be(height);
  Bytes form;
  form.text("ILBM");
  chunk(form, "BMHD", bmhd.data);
  if (!colourMap.empty()) chunk(form, "CMAP", colourMap);
  chunk(form, "DPI ", {0, 72, 0, 72});
  chunk(form, "BODY", body);
  Bytes out;
  out.text("FORM").u32be(static_cast<uint32_t>(form.data.size())).append(form.data);
  return out.data;
}

// ---- raw "BGRA" ----

inline std::vector<uint8_t> MakeBgra(int width, int height, const std::vector<uint8_t>& rgba, bool sixteenBits) {
  Bytes out;
  out.text("BGRA").u32le(sixteenBits ? 0x10101010 : 0x08080808).u32le(width).u32le(height);
  for (size_t i = 0; i < rgba.size(); i += 4) {
    for (const int c : {2, 1, 0, 3}) {
      if (sixteenBits) out.u8(0x5A);  // the dropped low byte
      out.u8(rgba[i + c]);
    }
  }
  return out.data;
}

}  // namespace vexal::test
