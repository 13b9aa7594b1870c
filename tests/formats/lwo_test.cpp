#include "formats/lwo_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "io/byte_reader.h"
#include "io/file_bytes.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/model.h"
#include "model/validate.h"
#include "settings/settings.h"
#include "support/test_models.h"

#ifdef VEXAL_HAVE_ASSIMP
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#endif

namespace vexal {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes DataFile(const std::string& name) {
  Bytes bytes;
  std::string why;
  EXPECT_TRUE(ReadFileBytes(std::string(VEXAL_TEST_DATA) + "/lwo/" + name, bytes, &why)) << why;
  return bytes;
}

std::span<const uint8_t> AsSpan(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

std::string TempPath(const std::string& name) {
  const std::string dir = ::testing::TempDir() + "/lwo_test";
  std::filesystem::create_directories(dir);
  return dir + "/" + name;
}

// The invariants every reader promises: counts within the limit, every
// corner, line end and line reference in range, triangles closed.
void ExpectValid(const Model& m) {
  std::string why;
  ASSERT_TRUE(ValidateModel(m, &why, true)) << why;
  ASSERT_LE(m.pointCount, kMaxCount);
  ASSERT_LE(m.lineCount, kMaxCount);
  ASSERT_LE(m.faceCount, kMaxCount);
  for (int l = 1; l <= m.lineCount; ++l) {
    ASSERT_GE(m.lines[l].a, 1);
    ASSERT_LE(m.lines[l].a, m.pointCount);
    ASSERT_GE(m.lines[l].b, 1);
    ASSERT_LE(m.lines[l].b, m.pointCount);
  }
  for (int s = 1; s <= m.faceCount; ++s) {
    const FACE& f = m.faces[s];
    ASSERT_GE(f.material, 0);
    ASSERT_LE(f.material, 14);
    for (int j = 0; j < 4; ++j) {
      ASSERT_GE(f.corners[j], 1);
      ASSERT_LE(f.corners[j], m.pointCount);
      ASSERT_LE(std::abs(f.lines[j]), m.lineCount);
      ASSERT_NE(f.lines[j], 0) << "surface " << s << " edge " << j;
    }
  }
  for (int p = 1; p <= m.pointCount; ++p) {
    const VECTOR& v = m.points[p].position;
    ASSERT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
  }
}

// Same corners in the same cyclic order (the start corner may move).
bool SameWinding(const FACE& a, const FACE& b) {
  const int n = CornerCount(a);
  if (CornerCount(b) != n) return false;
  for (int shift = 0; shift < n; ++shift) {
    bool same = true;
    for (int j = 0; j < n; ++j) same = same && a.corners[j] == b.corners[(j + shift) % n];
    if (same) return true;
  }
  return false;
}

// Big-endian IFF assembled by hand for the reader tests.
class Iff {
 public:
  Iff& id(const char* four) {
    data_.append(four, 4);
    return *this;
  }
  Iff& u8(uint8_t v) {
    data_.push_back(static_cast<char>(v));
    return *this;
  }
  Iff& u16(uint16_t v) { return u8(static_cast<uint8_t>(v >> 8)).u8(static_cast<uint8_t>(v)); }
  Iff& u32(uint32_t v) { return u16(static_cast<uint16_t>(v >> 16)).u16(static_cast<uint16_t>(v)); }
  Iff& f32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return u32(bits);
  }
  Iff& name(const std::string& text) {
    data_.append(text);
    data_.push_back('\0');
    if (data_.size() % 2 != 0) data_.push_back('\0');
    return *this;
  }
  template <size_t N>
  Iff& raw(const char (&bytes)[N]) {
    data_.append(bytes, N - 1);
    return *this;
  }
  Iff& raw(const std::string& bytes) {
    data_.append(bytes);
    return *this;
  }
  // A chunk (32-bit size) or sub-chunk (16-bit size) holding body.
  Iff& chunk(const char* four, const Iff& body, bool shortSize = false) {
    id(four);
    if (shortSize) {
      u16(static_cast<uint16_t>(body.data_.size()));
    } else {
      u32(static_cast<uint32_t>(body.data_.size()));
    }
    data_.append(body.data_);
    if (body.data_.size() % 2 != 0) data_.push_back('\0');
    return *this;
  }
  std::string form(const char* type) const {
    Iff all;
    all.id(type).raw(data_);
    Iff file;
    file.chunk("FORM", all);
    return file.data_;
  }
  const std::string& str() const { return data_; }

 private:
  std::string data_;
};

Iff Points(std::initializer_list<VECTOR> points) {
  Iff body;
  for (const VECTOR& p : points) body.f32(p.x).f32(p.y).f32(p.z);
  return body;
}

// A unit square (file coordinates) in z = 0:  3 --- 2
//                                              |     |
//                                              0 --- 1
Iff SquarePoints() { return Points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}); }

// A model whose content tells whether a failed read touched it.
void Sentinel(Model& model) {
  testing::UnitQuad(model);
  SetText(model.materials[3].name, "untouched");
}
bool IsSentinel(const Model& model) {
  return model.pointCount == 4 && model.faceCount == 1 && model.lineCount == 4 &&
         TextOf(model.materials[3].name) == "untouched";
}

int ReadLwob(const std::string& bytes, Model& model, FormatContext* context = nullptr) {
  FormatContext local;
  return ReadLwobBytes(AsSpan(bytes), 1.0f, model, context ? *context : local);
}
int ReadLwo2(const std::string& bytes, Model& model, FormatContext* context = nullptr) {
  FormatContext local;
  return ReadLwo2Bytes(AsSpan(bytes), 1.0f, model, context ? *context : local);
}


struct CorpusCase {
  const char* file;
  bool lwob;
  int points;
  int faces;  // after fanning polygons of more than four corners
  int lines;
};

// Points are the files' own (the readers merge nothing); surface counts
// agree with the independent readers' polygon counts, n-gons fanned. The two
// concave polygons pass through their first point twice (66 corners over 64
// points), so two of their 64 fan triangles have two equal corners and are
// left out.
TEST(LwoRealFiles, CountsMatchIndependentReaders) {
  const CorpusCase cases[] = {
      {"lwob_bluewithcylindrictexz.lwo", true, 8, 6, 12},
      {"lwob_ConcavePolygon.lwo", true, 64, 62, 125},
      {"lwo2_boxuv.lwo", false, 24, 6, 24},
      {"lwo2_box_2uv_1unused.lwo", false, 8, 6, 12},
      {"lwo2_hierarchy.lwo", false, 290, 306, -1},
      {"lwo2_concave_polygon.lwo", false, 64, 62, -1},
      {"lwo2_nonplanar_polygon.lwo", false, 18, 16, 33},
      {"lwo2_uvtest.lwo", false, 64, 16, 64},
      {"lwo2_Subdivision.lwo", false, 26, 24, 48},
  };
  for (const CorpusCase& c : cases) {
    SCOPED_TRACE(c.file);
    const Bytes bytes = DataFile(c.file);
    Model model;
    FormatContext context;
    const int ok = c.lwob ? ReadLwobBytes(bytes, 1.0f, model, context)
                          : ReadLwo2Bytes(bytes, 1.0f, model, context);
    ASSERT_EQ(ok, 1) << context.reason;
    ExpectValid(model);
    EXPECT_EQ(model.pointCount, c.points);
    EXPECT_EQ(model.faceCount, c.faces);
    if (c.lines >= 0) {
      EXPECT_EQ(model.lineCount, c.lines);
    }
    // Each generation refuses the other.
    Model other;
    FormatContext otherContext;
    EXPECT_EQ(c.lwob ? ReadLwo2Bytes(bytes, 1.0f, other, otherContext)
                     : ReadLwobBytes(bytes, 1.0f, other, otherContext),
              0);
    EXPECT_NE(otherContext.reason.find("form type"), std::string::npos) << otherContext.reason;
  }
}

TEST(LwoRealFiles, HierarchyLayersKeepTheirOwnPoints) {
  // Four layers each with a PNTS chunk: a polygon's indices count from its
  // own layer's first point. With file-wide indices the later layers would
  // be built from the first layer's points and the bounding box would shrink.
  Model model;
  FormatContext context;
  ASSERT_EQ(ReadLwo2Bytes(DataFile("lwo2_hierarchy.lwo"), 1.0f, model, context), 1);
  std::vector<int> used(static_cast<size_t>(model.pointCount) + 1, 0);
  for (int s = 1; s <= model.faceCount; ++s) {
    for (int c : model.faces[s].corners) used[c] = 1;
  }
  int unused = 0;
  for (int p = 1; p <= model.pointCount; ++p) unused += used[p] == 0;
  EXPECT_EQ(unused, 0);
  // The independent reader, which also negates z, gives the box
  // (-2.05, -2.1, -1.65) .. (2.25, 5.05, 1.95).
  VECTOR low = model.points[1].position;
  VECTOR high = low;
  for (int p = 1; p <= model.pointCount; ++p) {
    const VECTOR& v = model.points[p].position;
    low.set(std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z));
    high.set(std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z));
  }
  EXPECT_NEAR(low.x, -2.05f, 1e-4);
  EXPECT_NEAR(high.y, 5.05f, 1e-4);
  EXPECT_NEAR(low.z, -1.65f, 1e-4);
  EXPECT_NEAR(high.z, 1.95f, 1e-4);
}

TEST(LwoRealFiles, LwobCylindricalTextureAndSurfaceSettings) {
  Model model;
  FormatContext context;
  ASSERT_EQ(ReadLwobBytes(DataFile("lwob_bluewithcylindrictexz.lwo"), 1.0f, model, context), 1);
  const MATERIAL& m = model.materials[0];
  EXPECT_EQ(TextOf(m.name), "Test");
  EXPECT_EQ(m.light[0], 0x00);
  EXPECT_EQ(m.light[1], 0x80);
  EXPECT_EQ(m.light[2], 0xC0);
  EXPECT_EQ(m.light[3], 255);
  EXPECT_EQ(m.dark[1], 0x40);
  EXPECT_EQ(m.dark[2], 0x60);
  EXPECT_EQ(TextOf(m.texture),
            "C:\\Users\\ACG\\Desktop\\ASSIMP\\r35\\test\\models\\3DS\\IMAGE2.jpg");
  // Every corner got a cylindrical UV: 1 - heading / 2 pi with the heading
  // in (-pi/2, 3 pi/2] gives u in [0.25, 1.25).
  int nonZero = 0;
  for (int s = 1; s <= model.faceCount; ++s) {
    EXPECT_EQ(model.faces[s].material, 0);
    for (const UV& uv : model.faces[s].uv) {
      EXPECT_GE(uv.u, 0.25f);
      EXPECT_LE(uv.u, 1.25f);
      nonZero += uv.u != 0.0f || uv.v != 0.0f;
    }
  }
  EXPECT_EQ(nonZero, 24);
}


// One SURF chunk for the texture tests: colour texture `kind` with the axis
// flags, size and centre given.
Iff TexturedSurface(const std::string& kind, uint16_t flags, VECTOR size, VECTOR center) {
  Iff surf;
  surf.name("Skin");
  surf.chunk("COLR", Iff().u8(10).u8(20).u8(31).u8(0), true);
  surf.chunk("SMAN", Iff().f32(static_cast<float>(3.14159265358979323846 / 4)), true);
  surf.chunk("BTEX", Iff().name("Planar Image Map"), true);
  surf.chunk("TFLG", Iff().u16(1), true);  // belongs to the bump texture
  surf.chunk("CTEX", Iff().name(kind), true);
  surf.chunk("TFLG", Iff().u16(flags), true);
  surf.chunk("TSIZ", Iff().f32(size.x).f32(size.y).f32(size.z), true);
  surf.chunk("TCTR", Iff().f32(center.x).f32(center.y).f32(center.z), true);
  surf.chunk("TIMG", Iff().name("skin.png"), true);
  surf.chunk("DTEX", Iff().name("Planar Image Map"), true);
  surf.chunk("TIMG", Iff().name("diffuse.png"), true);  // not the colour texture
  return surf;
}

// One triangle over the given three points with surface 1.
std::string TexturedTriangle(const std::string& kind, uint16_t flags, VECTOR size, VECTOR corner) {
  Iff body;
  body.chunk("SRFS", Iff().name("Skin"));
  body.chunk("PNTS", Points({corner, {0, 0, 0}, {0, 0, 0}}));
  body.chunk("POLS", Iff().u16(3).u16(0).u16(1).u16(2).u16(1));
  body.chunk("SURF", TexturedSurface(kind, flags, size, {0, 0, 0}));
  return body.form("LWOB");
}

// The UV stored for the file's first point, wherever the reversal put it.
UV UvOfFirstPoint(const Model& model) {
  const FACE& f = model.faces[1];
  for (int j = 0; j < 3; ++j) {
    if (f.corners[j] == 1) return f.uv[j];
  }
  ADD_FAILURE() << "point 1 is no corner";
  return UV{};
}

TEST(LwobReader, TextureProjectionsGiveHandComputedUvs) {
  struct Case {
    const char* kind;
    uint16_t flags;
    VECTOR size;
    VECTOR corner;
    float u, v;
  };
  const Case cases[] = {
      // Planar, x axis, size 2 at the origin: U = 1/2 + 0.5, V = -(0.5/2) + 0.5.
      {"Planar Image Map", 1, {2, 2, 2}, {0, 0.5f, 1}, 1.0f, 0.75f},
      // Planar, z axis: U = x/2 + 0.5 = 0.75, V = -(y/2) + 0.5 = 0.5, stored 1 - V.
      {"Planar Image Map", 0, {2, 2, 2}, {0.5f, 0, 3}, 0.75f, 0.5f},
      // A size component of 0 divides to 0: U = 0.5, V = 0.5.
      {"Planar Image Map", 0, {0, 0, 1}, {7, 9, 0}, 0.5f, 0.5f},
      // Cylindrical, z axis, P = (1, 0, 0.25): heading(-1, -0) = pi/2,
      // U = 1 - 1/4, V = -0.25 + 0.5.
      {"Cylindrical Image Map", 0, {1, 1, 1}, {1, 0, 0.25f}, 0.75f, 0.75f},
      // Cylindrical, y axis, P = (0, 0.5, -1): heading(-0, -1) = pi,
      // U = 0.5, V = 0; stored 1.
      {"Cylindrical Image Map", 2, {1, 1, 1}, {0, 0.5f, -1}, 0.5f, 1.0f},
      // Spherical, y axis, straight up: heading 0, pitch pi/2: U = 1, V = 0.
      {"Spherical Image Map", 2, {1, 1, 1}, {0, 1, 0}, 1.0f, 1.0f},
      // Spherical, x axis, P = (1, 0, 1): heading(1, -0) = -pi/2,
      // pitch(1, 1, -0) = pi/4: U = 1.25, V = 0.25.
      {"Spherical Image Map", 1, {1, 1, 1}, {1, 0, 1}, 1.25f, 0.75f},
      // An unknown projection name gives zero UVs.
      {"Cubic Image Map", 0, {1, 1, 1}, {0.3f, 0.3f, 0.3f}, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " flags " + std::to_string(c.flags));
    Model model;
    ASSERT_EQ(ReadLwob(TexturedTriangle(c.kind, c.flags, c.size, c.corner), model), 1);
    const UV uv = UvOfFirstPoint(model);
    EXPECT_NEAR(uv.u, c.u, 1e-5);
    EXPECT_NEAR(uv.v, c.v, 1e-5);
    const MATERIAL& m = model.materials[0];
    EXPECT_EQ(TextOf(m.texture), "skin.png");
    EXPECT_EQ(m.light[2], 31);
    EXPECT_EQ(m.dark[2], 15);
    EXPECT_NEAR(m.smoothingAngle, 45.0f, 1e-4);
  }
}

TEST(LwobReader, TwentySurfacesKeepFifteenColoursAndWrapMaterials) {
  Iff names;
  for (int i = 1; i <= 20; ++i) names.name("S" + std::to_string(i));
  Iff polys;
  for (int i = 1; i <= 20; ++i) polys.u16(3).u16(0).u16(1).u16(2).u16(static_cast<uint16_t>(i));
  Iff body;
  body.chunk("SRFS", names);
  body.chunk("PNTS", Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
  body.chunk("POLS", polys);
  for (int i = 1; i <= 20; ++i) {
    Iff surf;
    surf.name("S" + std::to_string(i));
    surf.chunk("COLR", Iff().u8(static_cast<uint8_t>(i)).u8(0).u8(0).u8(0), true);
    body.chunk("SURF", surf);
  }
  Model model;
  ASSERT_EQ(ReadLwob(body.form("LWOB"), model), 1);
  ASSERT_EQ(model.faceCount, 20);
  for (int s = 1; s <= 20; ++s) EXPECT_EQ(model.faces[s].material, (s + 14) % 15) << s;
  for (int k = 0; k < 15; ++k) {
    EXPECT_EQ(model.materials[k].light[0], k + 1);
    EXPECT_EQ(TextOf(model.materials[k].name), "S" + std::to_string(k + 1));
  }
  // The guide material keeps its defaults.
  EXPECT_EQ(TextOf(model.materials[15].name), "mat_15");
}

TEST(LwobReader, PolygonKinds) {
  // A line, a quad, a pentagon (fan of three) and a polygon with a negative
  // surface number whose detail count is skipped.
  Iff polys;
  polys.u16(2).u16(0).u16(4).u16(1);
  polys.u16(4).u16(0).u16(1).u16(2).u16(3).u16(2);
  polys.u16(5).u16(0).u16(1).u16(2).u16(3).u16(4).u16(1);
  polys.u16(3).u16(0).u16(1).u16(2).u16(0xFFFD).u16(1);  // surface -3, one detail
  polys.u16(3).u16(2).u16(3).u16(4).u16(3);               // the detail polygon
  Iff body;
  body.chunk("PNTS", Points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {-1, 0.5f, 0}}));
  body.chunk("POLS", polys);
  Model model;
  FormatContext context;
  ASSERT_EQ(ReadLwob(body.form("LWOB"), model, &context), 1) << context.reason;
  ExpectValid(model);
  ASSERT_EQ(model.faceCount, 1 + 3 + 2);
  EXPECT_TRUE(IsQuad(model, 1));
  EXPECT_EQ(model.faces[1].material, 1);
  // The fan (a1, a2, a3), (a1, a3, a4), (a1, a4, a5), reversed by the z flip.
  const std::array<int32_t, 4> fan[3] = {{1, 3, 2, 1}, {1, 4, 3, 1}, {1, 5, 4, 1}};
  for (int k = 0; k < 3; ++k) EXPECT_EQ(model.faces[2 + k].corners, fan[k]);
  EXPECT_EQ(model.faces[5].material, 2);
  EXPECT_EQ(model.faces[6].material, 2);
  // The two-point polygon is line 1, then the surface edges.
  EXPECT_EQ(model.lines[1].a, 1);
  EXPECT_EQ(model.lines[1].b, 5);
}

TEST(LwobReader, RepeatedNeighbourCornersAreTakenOnce) {
  // (0, 0, 1, 2) is the triangle 0-1-2; kept as a quad it would become a
  // triangle with mismatched line references once reversed. (3, 3, 3) and
  // (0, 1, 0) have fewer than three distinct corners and are dropped. The
  // fan of (0, 1, 0, 2, 3) keeps only (0, 2, 3): its other triangles meet
  // corner 0 twice.
  Iff polys;
  polys.u16(4).u16(0).u16(0).u16(1).u16(2).u16(1);
  polys.u16(3).u16(3).u16(3).u16(3).u16(1);
  polys.u16(3).u16(0).u16(1).u16(0).u16(1);
  polys.u16(5).u16(0).u16(1).u16(1).u16(2).u16(3).u16(1);
  polys.u16(5).u16(0).u16(1).u16(0).u16(2).u16(3).u16(1);
  Iff body;
  body.chunk("PNTS", SquarePoints());
  body.chunk("POLS", polys);
  Model model;
  FormatContext context;
  ASSERT_EQ(ReadLwob(body.form("LWOB"), model, &context), 1) << context.reason;
  ExpectValid(model);
  ASSERT_EQ(model.faceCount, 3);
  EXPECT_FALSE(IsQuad(model, 1));
  EXPECT_TRUE(IsQuad(model, 2));
  EXPECT_TRUE(SameWinding(model.faces[3], [] {
    FACE f;
    f.corners = {1, 4, 3, 1};  // (0, 2, 3) reversed, 1-based
    return f;
  }()));
  ASSERT_EQ(context.warnings.size(), 1u);
}


TEST(Lwo2Reader, TagsMapToMaterialsOfTheirPolygonsOnly) {
  Iff pols;
  pols.id("FACE");
  pols.u16(2).u16(0).u16(1);                               // polygon 0: a line
  pols.u16(5).u16(0).u16(1).u16(2).u16(3).u16(4);          // polygon 1: fan of 3
  pols.u16(4).u16(0).u16(1).u16(2).u16(3);                 // polygon 2: quad
  pols.u16(3 | 0xFC00).raw("\xFF\x00\x00\x00").u16(1).u16(2);  // polygon 3: flags, long index
  Iff tags;
  tags.id("SURF");
  tags.u16(0).u16(7);   // a line takes no tag
  tags.u16(1).u16(17);  // wraps to 2
  tags.u16(2).u16(15);  // would be the guide: wraps to 0
  tags.u16(3).u16(14);
  tags.u16(9).u16(3);   // names no polygon: warned, ignored
  Iff body;
  body.chunk("TAGS", Iff().name("default"));
  body.chunk("LAYR", Iff().u16(0).u16(0).f32(0).f32(0).f32(0).name("L"));
  body.chunk("PNTS", Points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {-1, 0.5f, 0}}));
  body.chunk("POLS", pols);
  body.chunk("PTAG", Iff().id("PART").u16(0).u16(0));
  body.chunk("PTAG", tags);
  body.chunk("SURF", Iff().name("x").name(""));
  Model model;
  FormatContext context;
  ASSERT_EQ(ReadLwo2(body.form("LWO2"), model, &context), 1) << context.reason;
  ExpectValid(model);
  ASSERT_EQ(model.faceCount, 5);
  EXPECT_EQ(model.faces[1].material, 2);
  EXPECT_EQ(model.faces[2].material, 2);
  EXPECT_EQ(model.faces[3].material, 2);
  EXPECT_EQ(model.faces[4].material, 0);
  EXPECT_EQ(model.faces[5].material, 14);
  EXPECT_EQ(model.faces[5].corners, (std::array<int32_t, 4>{1, 3, 2, 1}));
  ASSERT_EQ(context.warnings.size(), 1u);
}

TEST(LwoBadInput, RefusedWithReasonAndModelUntouched) {
  struct Case {
    const char* what;
    std::string bytes;
    bool lwob;
    const char* reasonPart;
  };
  std::vector<Case> cases;
  {
    Iff b;
    b.chunk("PNTS", Iff().f32(1).f32(2).f32(3).f32(4));
    cases.push_back({"PNTS not a multiple of 12", b.form("LWOB"), true, "multiple of 12"});
  }
  {
    Iff b;
    b.chunk("PNTS", SquarePoints());
    b.chunk("POLS", Iff().u16(3).u16(0).u16(1).u16(4).u16(1));
    cases.push_back({"index beyond the points", b.form("LWOB"), true, "names no point"});
  }
  {
    Iff b;
    b.chunk("PNTS", SquarePoints());
    b.chunk("POLS", Iff().u16(4).u16(0).u16(1).u16(2));
    cases.push_back({"polygon overruns POLS", b.form("LWOB"), true, "overruns"});
  }
  {
    Iff names;
    for (int i = 0; i < 257; ++i) names.name("n" + std::to_string(i));
    Iff b;
    b.chunk("SRFS", names);
    cases.push_back({"257 surface names", b.form("LWOB"), true, "256"});
  }
  {
    Iff b;
    b.chunk("SRFS", Iff().name(std::string(300, 'a')));
    cases.push_back({"name over 259 bytes", b.form("LWOB"), true, "259"});
  }
  {
    Iff b;
    b.chunk("SRFS", Iff().raw("abc"));
    cases.push_back({"name without NUL", b.form("LWOB"), true, "NUL"});
  }
  {
    Iff b;
    b.chunk("PNTS", Points({{0, std::nanf(""), 0}}));
    cases.push_back({"NaN point", b.form("LWOB"), true, "finite"});
  }
  {
    Iff b;
    b.chunk("SRFS", Iff().name("A"));
    Iff surf;
    surf.name("A");
    surf.id("COLR").u16(40).u8(1).u8(2).u8(3).u8(4);  // sub-chunk longer than SURF
    b.chunk("SURF", surf);
    cases.push_back({"sub-chunk overruns SURF", b.form("LWOB"), true, "overruns"});
  }
  {
    Iff b;
    b.chunk("SRFS", Iff().name("A"));
    Iff surf;
    surf.name("A");
    surf.chunk("SMAN", Iff().u16(1), true);
    b.chunk("SURF", surf);
    cases.push_back({"short SMAN", b.form("LWOB"), true, "too short"});
  }
  {
    std::string bytes = Iff().chunk("PNTS", SquarePoints()).form("LWOB");
    bytes[7] = static_cast<char>(bytes[7] + 2);  // FORM size past the end
    cases.push_back({"FORM overruns the file", bytes, true, "FORM size"});
  }
  {
    std::string bytes = Iff().chunk("PNTS", SquarePoints()).form("LWO2");
    bytes[19] = static_cast<char>(bytes[19] + 4);  // PNTS size past the FORM
    cases.push_back({"chunk overruns FORM", bytes, false, "overruns"});
  }
  {
    std::string bytes = Iff().chunk("PNTS", SquarePoints()).form("LWO2");
    bytes.append(3, '\0');
    bytes[7] = static_cast<char>(bytes[7] + 3);  // three stray bytes inside the FORM
    cases.push_back({"truncated chunk header", bytes, false, "truncated"});
  }
  {
    Iff b;
    b.chunk("PNTS", SquarePoints());
    b.chunk("POLS", Iff().id("FACE").u16(3).u16(0).u16(1).u16(9));
    cases.push_back({"LWO2 index beyond the layer", b.form("LWO2"), false, "names no point"});
  }
  {
    Iff b;
    b.chunk("PNTS", SquarePoints());
    b.chunk("LAYR", Iff().u16(1).u16(0).f32(0).f32(0).f32(0).name(""));
    b.chunk("POLS", Iff().id("FACE").u16(3).u16(0).u16(1).u16(2));
    cases.push_back({"LWO2 layer without points", b.form("LWO2"), false, "names no point"});
  }
  {
    Iff b;
    b.chunk("PNTS", SquarePoints());
    b.chunk("POLS", Iff().id("FACE").u16(3).u16(0).u16(1).raw("\xFF\x00"));
    cases.push_back({"LWO2 cut long index", b.form("LWO2"), false, "overruns"});
  }
  {
    Iff b;
    b.chunk("PNTS", SquarePoints());
    b.chunk("POLS", Iff().id("FACE").u16(3).u16(0).u16(1).u16(2));
    b.chunk("PTAG", Iff().id("SURF").u16(0));
    cases.push_back({"LWO2 cut tag", b.form("LWO2"), false, "PTAG"});
  }
  {
    Iff pnts;
    for (int i = 0; i < 20000; ++i) pnts.f32(static_cast<float>(i)).f32(0).f32(0);
    cases.push_back({"20000 points", Iff().chunk("PNTS", pnts).form("LWO2"), false, "points"});
  }
  {
    // A 1000-corner polygon fans into 998 triangles; 21 of them pass 19999.
    Iff pnts;
    for (int i = 0; i < 1000; ++i) {
      const double a = 2 * 3.14159265358979323846 * i / 1000;
      pnts.f32(static_cast<float>(std::cos(a))).f32(static_cast<float>(std::sin(a))).f32(0);
    }
    Iff pols;
    pols.id("FACE");
    for (int k = 0; k < 21; ++k) {
      pols.u16(1000);
      for (int i = 0; i < 1000; ++i) pols.u16(static_cast<uint16_t>(i));
    }
    cases.push_back({"20958 surfaces", Iff().chunk("PNTS", pnts).chunk("POLS", pols).form("LWO2"),
                     false, "surfaces"});
  }
  {
    // 9000 triangles (k, k+1, k+3), all edges distinct: they fit the surface
    // table but need 27000 lines.
    Iff pnts;
    for (int i = 0; i < 9003; ++i) pnts.f32(static_cast<float>(i)).f32(static_cast<float>(i % 7)).f32(0);
    Iff pols;
    pols.id("FACE");
    for (int k = 0; k < 9000; ++k) {
      pols.u16(3).u16(static_cast<uint16_t>(k)).u16(static_cast<uint16_t>(k + 1));
      pols.u16(static_cast<uint16_t>(k + 3));
    }
    cases.push_back({"27000 lines", Iff().chunk("PNTS", pnts).chunk("POLS", pols).form("LWO2"),
                     false, "lines"});
  }
  cases.push_back({"not IFF", "LWOB is not here", true, "FORM"});
  cases.push_back({"empty", "", false, "FORM"});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Model model;
    Sentinel(model);
    FormatContext context;
    EXPECT_EQ(c.lwob ? ReadLwob(c.bytes, model, &context) : ReadLwo2(c.bytes, model, &context), 0);
    EXPECT_NE(context.reason.find(c.reasonPart), std::string::npos) << context.reason;
    EXPECT_TRUE(IsSentinel(model));
  }
}


// Every prefix and every one-byte change of real and written files, each in
// a buffer of exactly its size: a refusal leaves the model alone, an
// acceptance leaves a valid model.
void Attempt(Model& model, const Bytes& bytes, bool lwob, int* result) {
  FormatContext context;
  *result = lwob ? ReadLwobBytes(bytes, 1.0f, model, context)
                 : ReadLwo2Bytes(bytes, 1.0f, model, context);
  if (*result == 1) {
    ExpectValid(model);
    // The reader clears the whole model before filling it, so marking the
    // counts and one name is enough to tell a later refusal's model apart.
    model.pointCount = 4;
    model.lineCount = 4;
    model.faceCount = 1;
    SetText(model.materials[3].name, "untouched");
  } else {
    ASSERT_FALSE(context.reason.empty());
    ASSERT_TRUE(IsSentinel(model));
  }
}

void Sweep(const Bytes& original, bool lwob, bool corrupt) {
  int result = 0;
  Model model;
  Sentinel(model);
  auto attempt = [&](const Bytes& bytes) {
    Attempt(model, bytes, lwob, &result);
    return result;
  };
  for (size_t length = 0; length < original.size(); ++length) {
    const Bytes prefix(original.begin(), original.begin() + static_cast<ptrdiff_t>(length));
    EXPECT_EQ(attempt(prefix), 0) << "prefix " << length;
  }
  for (size_t i = 0; i < original.size(); ++i) {
    if (!corrupt) break;
    for (uint8_t value : {uint8_t{0xFF}, uint8_t(original[i] ^ 1)}) {
      Bytes changed(original);
      changed[i] = value;
      attempt(changed);
      if (::testing::Test::HasFatalFailure()) {
        ADD_FAILURE() << "byte " << i << " = " << int(value);
        return;
      }
    }
  }
}

TEST(LwoBadInput, TruncationAndCorruptionSweeps) {
  // Corruptions of the two smaller real files cover every chunk kind the
  // readers interpret; the larger files and our own output get the prefixes.
  Sweep(DataFile("lwob_bluewithcylindrictexz.lwo"), true, true);
  Sweep(DataFile("lwo2_Subdivision.lwo"), false, true);
  Sweep(DataFile("lwob_ConcavePolygon.lwo"), true, false);
  Sweep(DataFile("lwo2_boxuv.lwo"), false, false);
  Model cube;
  testing::ClosedCube(cube);
  OutputBuffer lwob;
  WriteLwobBytes(cube, 1.0f, lwob);
  Sweep(Bytes(lwob.str().begin(), lwob.str().end()), true, false);
  OutputBuffer lwo2;
  WriteLwo2Bytes(cube, 1.0f, lwo2);
  Sweep(Bytes(lwo2.str().begin(), lwo2.str().end()), false, false);
}

// One file per fault found by fuzzing (tests/data/lwo/SOURCES.md says which):
// what a reader accepts is valid and reads back from either writer with the
// same surfaces.
TEST(LwoBadInput, RegressionFiles) {
  const std::string dir = std::string(VEXAL_TEST_DATA) + "/lwo/regress";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".lwo") continue;
    ++files;
    SCOPED_TRACE(entry.path().string());
    Bytes bytes;
    std::string why;
    ASSERT_TRUE(ReadFileBytes(entry.path().string(), bytes, &why));
    for (bool lwob : {true, false}) {
      Model model;
      FormatContext context;
      if ((lwob ? ReadLwobBytes(bytes, 1, model, context) : ReadLwo2Bytes(bytes, 1, model, context)) !=
          1) {
        continue;
      }
      ExpectValid(model);
      for (bool writeLwob : {true, false}) {
        OutputBuffer out;
        if (writeLwob) {
          WriteLwobBytes(model, 1, out);
        } else {
          WriteLwo2Bytes(model, 1, out);
        }
        Model back;
        ASSERT_EQ(writeLwob ? ReadLwobBytes(AsSpan(out.str()), 1, back, context)
                            : ReadLwo2Bytes(AsSpan(out.str()), 1, back, context),
                  1)
            << context.reason;
        EXPECT_EQ(back.faceCount, model.faceCount);
      }
    }
  }
  EXPECT_GT(files, 0);
}


// A test model for the writers: a quad (material 2), a triangle
// (material 0) and a guide triangle (material 15), whose edges 2-6 and 6-5
// touch no exported surface and so go out as free lines.
//   4 --- 3 --- 5        point 6 at (3, 0, 0)
//   |  q  | t /          guide triangle over 2, 6, 5
//   1 --- 2
void WriterModel(Model& model) {
  ClearModel(model);
  const float p[6][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 2}, {0, 1, 0}, {2, 1, 0}, {3, 0, 0}};
  for (int i = 0; i < 6; ++i) SetPoint(model, i + 1, p[i][0], p[i][1], p[i][2], 0, 0);
  model.pointCount = 6;
  SetFace(model, 1, 1, 2, 3, 4, 2, 0);
  SetFaceUV(model, 1, UV(0, 0), UV(1, 0), UV(1, 1), UV(0, 1));
  SetFace(model, 2, 2, 5, 3, 2, 0, 0);
  SetFaceUV(model, 2, UV(0.25f, 0.5f), UV(0.75f, 0.5f), UV(0.5f, 1), UV(0.25f, 0.5f));
  SetFace(model, 3, 2, 6, 5, 2, kGuideMaterial, 0);
  model.faceCount = 3;
  // Lines 1-2, 2-3, 3-4, 4-1, 2-5, 5-3, then 2-6 and 6-5 (free).
  CompactModel(model, kCompactRebuildLines);
  SetText(model.materials[2].name, "Odd");
  SetText(model.materials[2].texture, "tex\\skin.png");
  model.materials[2].light = {255, 128, 1, 255};
  model.materials[2].smoothingAngle = 90.0f;
}

// Walks a chunk list, checking that every size lands on its parent's end,
// and returns (id, body) pairs.
std::vector<std::pair<std::string, ByteReader>> Chunks(ByteReader parent, bool shortSizes) {
  std::vector<std::pair<std::string, ByteReader>> out;
  while (!parent.atEnd()) {
    std::string id(4, ' ');
    parent.bytes(id.data(), 4);
    const size_t size = shortSizes ? parent.u16be() : parent.u32be();
    EXPECT_LE(size, parent.remaining()) << id;
    out.emplace_back(id, parent.sub(size));
    if (size % 2 != 0) parent.skip(1);
    EXPECT_TRUE(parent.ok()) << id;
  }
  return out;
}

std::string Ids(const std::vector<std::pair<std::string, ByteReader>>& chunks) {
  std::string ids;
  for (const auto& c : chunks) ids += c.first + " ";
  return ids;
}

TEST(LwobWriter, BytesOfASmallModel) {
  Model model;
  WriterModel(model);
  OutputBuffer out;
  WriteLwobBytes(model, 2.0f, out);
  ByteReader file(AsSpan(out.str()));
  ASSERT_TRUE(file.peekMatches("FORM"));
  file.skip(4);
  const uint32_t formSize = file.u32be();
  ASSERT_EQ(formSize + 8, out.size());
  ByteReader form = file.sub(formSize);
  ASSERT_TRUE(form.peekMatches("LWOB"));
  form.skip(4);
  const auto chunks = Chunks(form, false);
  ASSERT_EQ(Ids(chunks), "SRFS PNTS POLS " + [] {
    std::string s;
    for (int k = 0; k < 15; ++k) s += "SURF ";
    return s;
  }());

  // The size formula of the format: 12 x points + names twice + polygons + 1648.
  size_t nameBytes = 0;
  for (int k = 0; k < 15; ++k) nameBytes += (TextOf(model.materials[k].name).size() + 2) & ~size_t{1};
  const size_t polygonBytes = (2 + 8 + 2) + (2 + 6 + 2) + 2 * (2 + 4 + 2);
  EXPECT_EQ(formSize, 12 * 6 + 2 * nameBytes + polygonBytes + 1648);

  ByteReader pnts = chunks[1].second;
  pnts.skip(2 * 12);
  EXPECT_EQ(pnts.f32be(), 2.0f);  // point 3 = (1, 1, 2) as (2, 2, -4)
  EXPECT_EQ(pnts.f32be(), 2.0f);
  EXPECT_EQ(pnts.f32be(), -4.0f);

  ByteReader pols = chunks[2].second;
  const uint16_t expected[] = {4, 3, 2, 1, 0, 3,  // quad, last corner first, surface 3
                               3, 2, 4, 1, 1,     // triangle
                               2, 5, 1, 1,        // free lines: second point, first
                               2, 4, 5, 1};
  for (uint16_t v : expected) EXPECT_EQ(pols.u16be(), v);
  EXPECT_TRUE(pols.atEnd());

  ByteReader surf = chunks[3 + 2].second;
  std::string name;
  ASSERT_TRUE(surf.cString(name, 300));
  EXPECT_EQ(name, "Odd");
  const auto subs = Chunks(surf, true);
  EXPECT_EQ(Ids(subs), "COLR FLAG DIFF VDIF TRAN VTRN LUMI VLUM SPEC VSPC SMAN ");
  ByteReader colr = subs[0].second;
  EXPECT_EQ(colr.u8(), 255);
  EXPECT_EQ(colr.u8(), 128);
  EXPECT_EQ(colr.u8(), 1);
  EXPECT_EQ(colr.u8(), 0);
  EXPECT_EQ(ByteReader(subs[1].second).u16be(), 4);
  EXPECT_EQ(ByteReader(subs[2].second).u16be(), 256);
  EXPECT_EQ(ByteReader(subs[3].second).f32be(), 1.0f);
  EXPECT_EQ(ByteReader(subs[6].second).u16be(), 64);
  EXPECT_EQ(ByteReader(subs[7].second).f32be(), 0.25f);
  EXPECT_NEAR(ByteReader(subs[10].second).f32be(), 3.14159265f / 2, 1e-6);
}

TEST(LwobWriter, RoundTripKeepsGeometryWindingAndMaterials) {
  Model model;
  WriterModel(model);
  Document document;
  ClearModel(document.model);
  document.model = model;
  Settings settings;
  settings.LwoExportScale = 4.0f;
  settings.LwoImportScale = 0.25f;
  FormatContext context;
  context.settings = &settings;
  const std::string path = TempPath("round.lwo");
  ASSERT_EQ(SaveLwobFile(document, path, context), 1) << context.reason;
  Document back;
  ASSERT_EQ(LoadLwobFile(back, path, context), 1) << context.reason;
  // The LWO2 reader turns it down: open type 8 then falls through correctly.
  Document other;
  EXPECT_EQ(LoadLwo2File(other, path, context), 0);
  const Model& m = back.model;
  ExpectValid(m);
  ASSERT_EQ(m.pointCount, 6);
  for (int p = 1; p <= 6; ++p) EXPECT_EQ(m.points[p].position, model.points[p].position) << p;
  ASSERT_EQ(m.faceCount, 2);  // the guide is not exported
  EXPECT_TRUE(SameWinding(m.faces[1], model.faces[1]));
  EXPECT_TRUE(SameWinding(m.faces[2], model.faces[2]));
  EXPECT_EQ(m.faces[1].material, 2);
  EXPECT_EQ(m.faces[2].material, 0);
  EXPECT_NE(FindLine(m, 2, 6), 0);  // the free lines came back
  EXPECT_NE(FindLine(m, 6, 5), 0);
  EXPECT_EQ(TextOf(m.materials[2].name), "Odd");
  EXPECT_EQ(m.materials[2].light[1], 128);
  EXPECT_EQ(m.materials[2].dark[1], 64);
  EXPECT_NEAR(m.materials[2].smoothingAngle, 90.0f, 1e-4);
}

TEST(Lwo2Writer, ChunkLayoutOfASmallModel) {
  Model model;
  WriterModel(model);
  OutputBuffer out;
  WriteLwo2Bytes(model, 1.0f, out);
  ByteReader file(AsSpan(out.str()));
  file.skip(4);
  const uint32_t formSize = file.u32be();
  ASSERT_EQ(formSize + 8, out.size());
  ByteReader form = file.sub(formSize);
  ASSERT_TRUE(form.peekMatches("LWO2"));
  form.skip(4);
  const auto chunks = Chunks(form, false);
  std::string expectedIds = "TAGS LAYR PNTS BBOX VMAP VMAP POLS PTAG PTAG VMAD CLIP ";
  for (int k = 0; k < 15; ++k) expectedIds += "SURF ";
  ASSERT_EQ(Ids(chunks), expectedIds);

  EXPECT_EQ(chunks[1].second.size(), 36u);
  ByteReader bbox = chunks[3].second;
  const float box[6] = {0, 0, -2, 3, 1, 0};
  for (float v : box) EXPECT_EQ(bbox.f32be(), v);

  // Surfaces reversed, in stored order from corner 0; then the free line.
  ByteReader pols = chunks[6].second;
  ASSERT_TRUE(pols.peekMatches("FACE"));
  pols.skip(4);
  const uint16_t polygons[] = {4, 0, 3, 2, 1, 3, 1, 2, 4, 2, 5, 1, 2, 4, 5};
  for (uint16_t v : polygons) EXPECT_EQ(pols.u16be(), v);
  EXPECT_TRUE(pols.atEnd());

  ByteReader part = chunks[7].second;
  ASSERT_TRUE(part.peekMatches("PART"));
  EXPECT_EQ(part.size(), 4u + 2 * 4);
  ByteReader tags = chunks[8].second;
  ASSERT_TRUE(tags.peekMatches("SURF"));
  tags.skip(4);
  const uint16_t tagPairs[] = {0, 3, 1, 1};  // no tag for the guide
  for (uint16_t v : tagPairs) EXPECT_EQ(tags.u16be(), v);
  EXPECT_TRUE(tags.atEnd());

  ByteReader vmad = chunks[9].second;
  vmad.skip(4 + 2 + 18);  // TXUV, dimension, "OBJ_UVTextureMap"
  // Quad corner order 0, 3, 2, 1 with its UVs.
  const struct {
    uint16_t point, polygon;
    float u, v;
  } corners[] = {{0, 0, 0, 0}, {3, 0, 0, 1}, {2, 0, 1, 1}, {1, 0, 1, 0},
                 {1, 1, 0.25f, 0.5f}, {2, 1, 0.5f, 1}, {4, 1, 0.75f, 0.5f}};
  for (const auto& c : corners) {
    EXPECT_EQ(vmad.u16be(), c.point);
    EXPECT_EQ(vmad.u16be(), c.polygon);
    EXPECT_EQ(vmad.f32be(), c.u);
    EXPECT_EQ(vmad.f32be(), c.v);
  }
  EXPECT_TRUE(vmad.atEnd());

  ByteReader clip = chunks[10].second;
  EXPECT_EQ(clip.u32be(), 1u);
  const auto stil = Chunks(clip, true);
  ASSERT_EQ(Ids(stil), "STIL ");
  std::string path;
  ByteReader stilBody = stil[0].second;
  ASSERT_TRUE(stilBody.cString(path, 300));
  EXPECT_EQ(path, "tex/skin.png");

  // The textured surface: name twice, then COLR, SMAN and one BLOK whose
  // nested sub-chunks have the published sizes.
  ByteReader surf = chunks[11 + 2].second;
  std::string name;
  std::string source;
  ASSERT_TRUE(surf.cString(name, 300));
  surf.skip(name.size() % 2 == 0 ? 1 : 0);
  ASSERT_TRUE(surf.cString(source, 300));
  surf.skip(source.size() % 2 == 0 ? 1 : 0);
  EXPECT_EQ(name, "Odd");
  EXPECT_EQ(source, "Odd");
  const auto subs = Chunks(surf, true);
  ASSERT_EQ(Ids(subs), "COLR SMAN BLOK ");
  EXPECT_EQ(subs[0].second.size(), 14u);
  ByteReader colr = subs[0].second;
  EXPECT_EQ(colr.f32be(), 1.0f);
  EXPECT_EQ(colr.f32be(), 128.0f / 255.0f);
  const auto block = Chunks(subs[2].second, true);
  ASSERT_EQ(Ids(block), "IMAP TMAP PROJ AXIS IMAG WRAP WRPW WRPH VMAP AAST PIXB ");
  ByteReader imap = block[0].second;
  EXPECT_EQ(imap.u8(), 0x80);
  EXPECT_EQ(imap.u8(), 0);
  EXPECT_EQ(Ids(Chunks(imap, true)), "CHAN OPAC ENAB NEGA ");
  const auto tmap = Chunks(block[1].second, true);
  ASSERT_EQ(Ids(tmap), "CNTR SIZE ROTA FALL OREF CSYS ");
  const size_t tmapSizes[] = {14, 14, 14, 16, 2, 2};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(tmap[i].second.size(), tmapSizes[i]) << tmap[i].first;
  const size_t blockSizes[] = {2, 2, 2, 4, 6, 6, 18, 6, 2};
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(block[2 + i].second.size(), blockSizes[i]) << block[2 + i].first;
  EXPECT_EQ(ByteReader(block[2].second).u16be(), 5);
  EXPECT_EQ(ByteReader(block[4].second).u16be(), 1);  // clip 1
}

TEST(Lwo2Writer, RoundTripKeepsGeometryAndShiftsTags) {
  Model model;
  WriterModel(model);
  Document document;
  document.model = model;
  FormatContext context;
  const std::string path = TempPath("round2.lwo");
  ASSERT_EQ(SaveLwo2File(document, path, context), 1) << context.reason;
  // The model itself is not left reversed by the write.
  EXPECT_EQ(document.model.faces[1].corners, model.faces[1].corners);
  Document back;
  EXPECT_EQ(LoadLwobFile(back, path, context), 0);
  ASSERT_EQ(LoadLwo2File(back, path, context), 1) << context.reason;
  const Model& m = back.model;
  ExpectValid(m);
  ASSERT_EQ(m.faceCount, 2);
  EXPECT_EQ(m.faces[1].corners, model.faces[1].corners);
  EXPECT_EQ(m.faces[2].corners, model.faces[2].corners);
  // Tag k + 1 names material k; the reader takes the tag as it stands.
  EXPECT_EQ(m.faces[1].material, 3);
  EXPECT_EQ(m.faces[2].material, 1);
  EXPECT_NE(FindLine(m, 2, 6), 0);
  EXPECT_NE(FindLine(m, 6, 5), 0);
}

TEST(LwoFiles, ScalesThatOverflowAreRefused) {
  // Finite in the file or the model, infinite once scaled: neither a model
  // nor a file may hold that.
  const std::string bytes = Iff().chunk("PNTS", Points({{3e38f, 0, 0}})).form("LWO2");
  Model model;
  Sentinel(model);
  FormatContext context;
  EXPECT_EQ(ReadLwo2Bytes(AsSpan(bytes), 10.0f, model, context), 0);
  EXPECT_NE(context.reason.find("overflow"), std::string::npos) << context.reason;
  EXPECT_TRUE(IsSentinel(model));

  Document document;
  SetPoint(document.model, 1, 0, 0, 3e38f, 0, 0);
  document.model.pointCount = 1;
  Settings settings;
  settings.LwoExportScale = 10.0f;
  context.settings = &settings;
  const std::string path = TempPath("overflow.lwo");
  EXPECT_EQ(SaveLwobFile(document, path, context), 0);
  EXPECT_EQ(SaveLwo2File(document, path, context), 0);
  EXPECT_FALSE(std::filesystem::exists(path));
}

#ifdef VEXAL_HAVE_ASSIMP
// Our LWO2 export and the real LWO2 files as another reader sees them.
TEST(LwoAssimp, ReadsOurExportWithSameCountsAndBox) {
  Model model;
  testing::QuadTorus(model, 12, 20);
  Document document;
  document.model = model;
  FormatContext context;
  const std::string path = TempPath("torus.lwo");
  ASSERT_EQ(SaveLwo2File(document, path, context), 1);
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile(path, aiProcess_JoinIdenticalVertices);
  ASSERT_NE(scene, nullptr) << importer.GetErrorString();
  unsigned faces = 0;
  aiVector3D low(1e30f, 1e30f, 1e30f);
  aiVector3D high(-1e30f, -1e30f, -1e30f);
  for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
    const aiMesh* mesh = scene->mMeshes[i];
    faces += mesh->mNumFaces;
    for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
      const aiVector3D& p = mesh->mVertices[v];
      low = aiVector3D(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
      high = aiVector3D(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
  }
  EXPECT_EQ(faces, 240u);
  VECTOR ourLow = model.points[1].position;
  VECTOR ourHigh = ourLow;
  for (int p = 1; p <= model.pointCount; ++p) {
    const VECTOR& v = model.points[p].position;
    ourLow.set(std::min(ourLow.x, v.x), std::min(ourLow.y, v.y), std::min(ourLow.z, v.z));
    ourHigh.set(std::max(ourHigh.x, v.x), std::max(ourHigh.y, v.y), std::max(ourHigh.z, v.z));
  }
  // The file holds (x, y, -z), and the other reader negates z as well.
  EXPECT_NEAR(low.x, ourLow.x, 1e-4);
  EXPECT_NEAR(high.x, ourHigh.x, 1e-4);
  EXPECT_NEAR(low.y, ourLow.y, 1e-4);
  EXPECT_NEAR(high.y, ourHigh.y, 1e-4);
  EXPECT_NEAR(low.z, ourLow.z, 1e-4);
  EXPECT_NEAR(high.z, ourHigh.z, 1e-4);
}

TEST(LwoAssimp, RealFilesGiveTheSameSurfaceCounts) {
  for (const char* name : {"lwo2_boxuv.lwo", "lwo2_hierarchy.lwo", "lwo2_uvtest.lwo",
                           "lwo2_Subdivision.lwo"}) {
    SCOPED_TRACE(name);
    const std::string path = std::string(VEXAL_TEST_DATA) + "/lwo/" + name;
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, aiProcess_JoinIdenticalVertices);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    unsigned faces = 0;
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) faces += scene->mMeshes[i]->mNumFaces;
    Model model;
    FormatContext context;
    ASSERT_EQ(ReadLwo2Bytes(DataFile(name), 1.0f, model, context), 1);
    EXPECT_EQ(static_cast<unsigned>(model.faceCount), faces);
  }
}
#endif

}  // namespace
}  // namespace vexal
