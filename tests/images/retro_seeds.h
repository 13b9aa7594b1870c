// The small sample files in tests/data/image/ (the fuzzer's seeds for these
// formats) and the builders of the hand-made ones. The seeds test checks
// that the committed files are what the builders make; after a builder
// changes, scripts/write-image-seeds.sh writes them anew.
#pragma once

#include <string>
#include <vector>

#include "retro_image_builders.h"

namespace vexal::test {

struct Seed {
  const char* name;
  int code;
};

inline constexpr Seed kSeeds[] = {
    {"edge_layers.edge", kImageFormatEdge},   {"dpx_layers.dpx", kImageFormatDpx},
    {"tim2_pal8.tm2", kImageFormatTim2},      {"tim2_pal4_aligned.tm2", kImageFormatTim2},
    {"tim2_rgba32.tm2", kImageFormatTim2},    {"tim_4bit.tim", kImageFormatTim},
    {"tim_16bit.tim", kImageFormatTim},       {"maki_a.mki", kImageFormatMaki},
    {"mag_16.mag", kImageFormatMag},          {"mag_256.mag", kImageFormatMag},
    {"mayaiff_rgba.iff", kImageFormatMayaIff}, {"mayaiff_rgb_raw.iff", kImageFormatMayaIff},
    {"pic_mixed.pic", kImageFormatPic},       {"bgra_8.bgra", kImageFormatBgra},
    {"bgra_16.bgra", kImageFormatBgra},       {"dds_pal8.dds", kImageFormatDds},
    {"dds_rgb565.dds", kImageFormatDds},      {"ilbm_cmap_packed.iff", kImageFormatIlbm},
    {"ilbm_rgb24_raw.iff", kImageFormatIlbm}, {"pcx_pal8.pcx", kImageFormatPcx},
    {"pcx_rgb24.pcx", kImageFormatPcx},
};

inline std::vector<uint8_t> HandMadeSeed(const std::string& name) {
  const std::vector<uint8_t> rgb16 = test::PatternPaletteRgb(16);
  std::vector<uint8_t> grb16(rgb16);
  for (size_t i = 0; i < grb16.size(); i += 3) std::swap(grb16[i], grb16[i + 1]);
  if (name == "edge_layers.edge") {
    return test::MakeEdge(8, 6, 2, test::PatternPaletteRgb(256),
                          {{"top", true, test::PatternIndices(8, 6, 4)},
                           {"bottom", true, std::vector<uint8_t>(48, 7)}});
  }
  if (name == "dpx_layers.dpx") {
    test::DpxLayer packed;
    packed.flagsA = 0x20;
    packed.transparent = 1;
    packed.indices = test::PatternIndices(6, 5, 4);
    test::DpxLayer masked;
    masked.flagsA = 0x01;
    masked.indices = std::vector<uint8_t>(30, 3);
    return test::MakeDpx(6, 5, std::vector<uint8_t>(1024, 0x40), {packed, masked});
  }
  if (name.rfind("tim2_", 0) == 0) {
    test::Tim2Picture p;
    p.width = 6;
    p.height = 4;
    if (name == "tim2_rgba32.tm2") {
      p.imageType = 3;
      p.tableType = 0;
      p.pixels = test::PatternPixels(6, 4, 4);
    } else if (name == "tim2_pal8.tm2") {
      p.pixels = test::PatternIndices(6, 4, 256);
      p.table = test::PatternPixels(256, 1, 4);
      p.tableType = 0x03;
      p.tableEntries = 256;
    } else {
      p.imageType = 4;
      p.aligned = true;
      p.tableType = 0x02;
      p.pixels = std::vector<uint8_t>(12, 0x5A);
      p.table = rgb16;
      p.tableEntries = 16;
    }
    return test::MakeTim2(p);
  }
  if (name == "tim_4bit.tim") {
    return test::MakeTim(0, 2, 3, std::vector<uint8_t>(12, 0x31), std::vector<uint16_t>(16, 0x7C1F));
  }
  if (name == "tim_16bit.tim") return test::MakeTim(2, 3, 2, test::PatternPixels(3, 2, 2), {});
  if (name == "maki_a.mki") {
    std::vector<uint8_t> indices(640 * 400, 0);
    for (int y = 100; y < 140; ++y) {
      for (int x = 200; x < 260; ++x) indices[y * 640 + x] = static_cast<uint8_t>((x + y) / 4 % 16);
    }
    return test::MakeMaki(indices, false, grb16);
  }
  if (name == "mag_16.mag") return test::MakeMag(1, 0, 30, 9, false, test::PatternIndices(30, 10, 16), grb16);
  if (name == "mag_256.mag") {
    return test::MakeMag(0, 0, 11, 5, true, test::PatternIndices(12, 6, 256), test::PatternPaletteRgb(256));
  }
  if (name == "mayaiff_rgba.iff") return test::MakeMayaIff(10, 7, 4, test::PatternPixels(10, 7, 4), 4, 4, true);
  if (name == "mayaiff_rgb_raw.iff") {
    return test::MakeMayaIff(6, 3, 3, test::PatternPixels(6, 3, 3), 4, 2, false);
  }
  if (name == "pic_mixed.pic") return test::MakePic(9, 4, test::PatternPixels(9, 4, 4), {{0xE0, 2}, {0x10, 1}});
  if (name == "bgra_8.bgra") return test::MakeBgra(4, 3, test::PatternPixels(4, 3, 4), false);
  if (name == "bgra_16.bgra") return test::MakeBgra(3, 2, test::PatternPixels(3, 2, 4), true);
  if (name == "dds_pal8.dds") {
    test::Bytes out;
    out.text("DDS ").u32le(124).u32le(0x1007).u32le(3).u32le(5).u32le(0).u32le(0).u32le(0);
    out.fill(44, 0).u32le(32).u32le(0x20).u32le(0).u32le(8).fill(16, 0).u32le(0x1000).fill(16, 0);
    out.append(test::PatternPixels(256, 1, 4)).append(test::PatternIndices(5, 3, 256));
    return out.data;
  }
  if (name == "dds_rgb565.dds") {
    test::Bytes out;
    out.text("DDS ").u32le(124).u32le(0x1007).u32le(2).u32le(3).u32le(6).u32le(0).u32le(0);
    out.fill(44, 0).u32le(32).u32le(0x40).u32le(0).u32le(16).u32le(0xF800).u32le(0x7E0).u32le(0x1F).u32le(0);
    out.u32le(0x1000).fill(16, 0).append(test::PatternPixels(3, 2, 2));
    return out.data;
  }
  return {};
}

}  // namespace vexal::test
