// Decoding speed of a 512 x 512 texture in each common format. The files
// are made in memory during set-up: TGA and BMP by hand, PNG through the
// library's own encoder, JPEG through libjpeg, PSD by hand (PackBits).
#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "images/image.h"
#include "images/loaders.h"
#include "images/png_writer.h"

namespace {

constexpr int kSide = 512;

// A picture with smooth areas and edges, like a painted texture.
vexal::NImage TexturePicture() {
  vexal::NImage image;
  image.Allocate(kSide, kSide, 3);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      uint8_t* p = image.row(y) + x * 3;
      p[0] = static_cast<uint8_t>(x / 2);
      p[1] = static_cast<uint8_t>(y / 2);
      p[2] = static_cast<uint8_t>(((x / 32 + y / 32) % 2) ? 200 : 40);
    }
  }
  return image;
}

void Put16le(std::vector<uint8_t>& out, unsigned v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32le(std::vector<uint8_t>& out, uint32_t v) {
  Put16le(out, v & 0xFFFF);
  Put16le(out, v >> 16);
}
void Put16be(std::vector<uint8_t>& out, unsigned v) {
  out.push_back((v >> 8) & 0xFF);
  out.push_back(v & 0xFF);
}
void Put32be(std::vector<uint8_t>& out, uint32_t v) {
  Put16be(out, v >> 16);
  Put16be(out, v & 0xFFFF);
}

std::vector<uint8_t> MakeTga(const vexal::NImage& image) {
  std::vector<uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Put16le(out, kSide);
  Put16le(out, kSide);
  out.push_back(24);
  out.push_back(0x20);
  for (size_t i = 0; i < image.pixels.size(); i += 3) {
    out.insert(out.end(), {image.pixels[i + 2], image.pixels[i + 1], image.pixels[i]});
  }
  return out;
}

std::vector<uint8_t> MakeBmp(const vexal::NImage& image) {
  std::vector<uint8_t> out = {'B', 'M'};
  Put32le(out, 54 + kSide * kSide * 3);
  Put32le(out, 0);
  Put32le(out, 54);
  Put32le(out, 40);
  Put32le(out, kSide);
  Put32le(out, kSide);
  Put16le(out, 1);
  Put16le(out, 24);
  for (int i = 0; i < 6; ++i) Put32le(out, 0);
  for (int y = kSide - 1; y >= 0; --y) {
    const uint8_t* row = image.row(y);
    for (int x = 0; x < kSide; ++x) out.insert(out.end(), {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]});
  }
  return out;
}

std::vector<uint8_t> MakePng(const vexal::NImage& image) {
  std::string encoded;
  vexal::EncodePng(image, encoded, nullptr);
  return std::vector<uint8_t>(encoded.begin(), encoded.end());
}

std::vector<uint8_t> MakeJpeg(const vexal::NImage& image) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = kSide;
  info.image_height = kSide;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(image.row(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return out;
}

// PackBits of one row: literal packets, runs where three or more repeat.
void PackRow(const uint8_t* row, int count, std::vector<uint8_t>& out) {
  int i = 0;
  while (i < count) {
    int run = 1;
    while (i + run < count && run < 128 && row[i + run] == row[i]) ++run;
    if (run >= 3) {
      out.push_back(static_cast<uint8_t>(257 - run));
      out.push_back(row[i]);
      i += run;
      continue;
    }
    int literal = 0;
    while (i + literal < count && literal < 128 &&
           !(i + literal + 2 < count && row[i + literal] == row[i + literal + 1] &&
             row[i + literal] == row[i + literal + 2])) {
      ++literal;
    }
    out.push_back(static_cast<uint8_t>(literal - 1));
    out.insert(out.end(), row + i, row + i + literal);
    i += literal;
  }
}

std::vector<uint8_t> MakePsd(const vexal::NImage& image) {
  std::vector<uint8_t> out = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0};
  Put16be(out, 3);
  Put32be(out, kSide);
  Put32be(out, kSide);
  Put16be(out, 8);
  Put16be(out, 3);
  Put32be(out, 0);
  Put32be(out, 0);
  Put32be(out, 0);
  Put16be(out, 1);
  std::vector<std::vector<uint8_t>> rows;
  std::vector<uint8_t> plane(kSide);
  for (int c = 0; c < 3; ++c) {
    for (int y = 0; y < kSide; ++y) {
      for (int x = 0; x < kSide; ++x) plane[x] = image.row(y)[x * 3 + c];
      rows.emplace_back();
      PackRow(plane.data(), kSide, rows.back());
    }
  }
  for (const auto& row : rows) Put16be(out, static_cast<unsigned>(row.size()));
  for (const auto& row : rows) out.insert(out.end(), row.begin(), row.end());
  return out;
}

void DecodeBenchmark(benchmark::State& state, std::vector<uint8_t> (*make)(const vexal::NImage&), int code) {
  const std::vector<uint8_t> file = make(TexturePicture());
  vexal::NImage image;
  if (vexal::LoadImageFromMemory(file, image, code) != code) {
    state.SkipWithError("the generated file does not load");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(vexal::LoadImageFromMemory(file, image, 0));
  }
  state.counters["file_bytes"] = static_cast<double>(file.size());
}

void BM_ImageDecode512_Tga(benchmark::State& state) { DecodeBenchmark(state, MakeTga, vexal::kImageFormatTga); }
void BM_ImageDecode512_Bmp(benchmark::State& state) { DecodeBenchmark(state, MakeBmp, vexal::kImageFormatBmp); }
void BM_ImageDecode512_Png(benchmark::State& state) { DecodeBenchmark(state, MakePng, vexal::kImageFormatPng); }
void BM_ImageDecode512_Jpeg(benchmark::State& state) { DecodeBenchmark(state, MakeJpeg, vexal::kImageFormatJpeg); }
void BM_ImageDecode512_Psd(benchmark::State& state) { DecodeBenchmark(state, MakePsd, vexal::kImageFormatPsd); }
BENCHMARK(BM_ImageDecode512_Tga)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageDecode512_Bmp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageDecode512_Png)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageDecode512_Jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageDecode512_Psd)->Unit(benchmark::kMillisecond);

// A document's images: 16 textures and 3 background pictures, mixed formats.
void BM_ImageDocumentSet(benchmark::State& state) {
  const vexal::NImage picture = TexturePicture();
  std::vector<std::vector<uint8_t>> files;
  std::vector<uint8_t> (*makers[])(const vexal::NImage&) = {MakeTga, MakeBmp, MakePng, MakeJpeg, MakePsd};
  for (int i = 0; i < 19; ++i) files.push_back(makers[i % 5](picture));
  vexal::NImage image;
  for (auto _ : state) {
    for (const auto& file : files) {
      benchmark::DoNotOptimize(vexal::LoadImageFromMemory(file, image, 0));
      image.Convert(4);
    }
  }
}
BENCHMARK(BM_ImageDocumentSet)->Unit(benchmark::kMillisecond);

}  // namespace
