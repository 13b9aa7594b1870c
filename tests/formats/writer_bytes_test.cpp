// The writers' exact output for one varied model, pinned byte for byte by
// the files in tests/data/writers/: a change to a writer's structure must
// not change a single byte it writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>

#include "formats/3ds_format.h"
#include "formats/lwo_format.h"
#include "formats/mqo_format.h"
#include "formats/native_format.h"
#include "formats/obj_format.h"
#include "formats/rok_format.h"
#include "formats/scene_export.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "settings/settings.h"

namespace vexal {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A box (points 1..8) with four quad sides and a bottom quad, a roof of two
// triangles and two quads up to a ridge (points 9, 10), a free line from
// the ridge to a mast (point 11), and a guide triangle. Five materials with
// names, colours, smoothing angles and one texture; fractional UVs. The
// box's points are mirror partners across x = 0.
//
//        9 ------ 10        11
//       /  \     /  \       |
//      5 --- 6 -7 --- 8 ... 10
//      |  box of 1..8 |
void VariedModel(Model& model) {
  ClearModel(model);
  const float points[11][3] = {{-1, 0, -1}, {1, 0, -1},  {1, 0, 1},      {-1, 0, 1},
                               {-1, 1.5f, -1}, {1, 1.5f, -1}, {1, 1.5f, 1}, {-1, 1.5f, 1},
                               {-0.25f, 2.125f, 0}, {0.75f, 2.125f, 0}, {0.75f, 3.5f, 0}};
  for (int p = 0; p < 11; ++p) SetPoint(model, p + 1, points[p][0], points[p][1], points[p][2], 0, 0);
  model.pointCount = 11;
  const int faces[][5] = {{1, 2, 6, 5, 0}, {2, 3, 7, 6, 1}, {3, 4, 8, 7, 0}, {4, 1, 5, 8, 1},
                          {4, 3, 2, 1, 2}, {5, 6, 10, 9, 3}, {7, 8, 9, 10, 3}, {6, 7, 10, 6, 4},
                          {8, 5, 9, 8, 4}, {1, 3, 11, 1, kGuideMaterial}};
  int s = 0;
  for (const auto& f : faces) {
    ++s;
    SetFace(model, s, f[0], f[1], f[2], f[3], f[4], 0);
    SetFaceUV(model, s, UV(0.125f * s, 0), UV(1, 0.25f), UV(0.75f, 1), UV(0, 0.5f + 0.03125f * s));
  }
  model.faceCount = s;
  // The box's points are mirror partners across x = 0 (the only points a
  // ROK file keeps).
  for (const auto& [a, b] : {std::pair{1, 2}, {4, 3}, {5, 6}, {8, 7}}) {
    model.points[a].mirror = b;
    model.points[b].mirror = a;
  }
  SetLine(model, 1, 10, 11, 0);
  model.lineCount = 1;
  CompactModel(model, kCompactRebuildLines);
  const char* names[5] = {"wall", "wall_dark", "floor", "roof", "gable"};
  for (int k = 0; k < 5; ++k) {
    SetMaterialColors(model, k, 40 * k + 20, 200 - 30 * k, 17 * k, 255 - 10 * k, 10 * k, 100 - 15 * k,
                      3 * k, 255);
    SetText(model.materials[k].name, names[k]);
    model.materials[k].smoothingAngle = 30.0f + 7.5f * static_cast<float>(k);
  }
  SetText(model.materials[3].texture, "roof_tiles.bmp");
}

TEST(WriterBytes, EveryWriterWritesThePinnedBytesOfTheVariedModel) {
  struct Case {
    const char* file;
    WriterFunction writer;
  };
  const Case cases[] = {
      {"varied.rok", SaveRokFile},  {"varied.xsi", SaveXsiFile},  {"varied.3ds", Save3dsFile},
      {"varied.vxl", SaveNativeFile}, {"varied.lwo", SaveLwobFile}, {"varied_lwo2.lwo", SaveLwo2File},
      {"varied.mqo", SaveMqoFile},  {"varied.obj", SaveObjFile},
  };
  const std::string folder = ::testing::TempDir() + "vexal_writer_bytes/";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  auto document = std::make_unique<Document>();
  VariedModel(document->model);
  Settings settings;
  for (const Case& c : cases) {
    FormatContext context;
    context.settings = &settings;
    const std::string path = folder + c.file;
    ASSERT_EQ(c.writer(*document, path, context), 1) << c.file << ": " << context.reason;
    const std::string expected = ReadAll(std::string(VEXAL_TEST_DATA) + "/writers/" + c.file);
    ASSERT_FALSE(expected.empty()) << c.file;
    EXPECT_TRUE(ReadAll(path) == expected) << c.file << " differs from the pinned bytes; written to " << path;
  }
}

}  // namespace
}  // namespace vexal
