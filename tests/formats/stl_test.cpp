// STL: binary and ASCII round trips, refusals of lying and broken files,
// truncation and corruption sweeps, the table limits, sample files and
// assimp reading our exports.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "formats/format_registry.h"
#include "formats/mesh_exchange_support.h"
#include "formats/stl_format.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using namespace exchange_test;

// A closed cube of six quads (one of them guide material, left out) and a
// loose triangle with coordinates that are not short decimals.
void CubeAndTriangle(Model& model) {
  testing::ClosedCube(model);
  model.faces[6].material = kGuideMaterial;
  const int p = model.pointCount;
  SetPoint(model, p + 1, 0.1f, 2.7182817f, -3.3333333f, 0, 0);
  SetPoint(model, p + 2, 1e-7f, 2.5f, -3.0f, 0, 0);
  SetPoint(model, p + 3, 0.3f, 3.1415927f, 123456.78f, 0, 0);
  model.pointCount = p + 3;
  SetFace(model, model.faceCount + 1, p + 1, p + 2, p + 3, p + 1, 2, 0);
  ++model.faceCount;
  CompactModel(model, kCompactRebuildLines);
}

// The positions of a triangle list only (STL keeps no UVs).
std::vector<Triangle> WithoutUV(std::vector<Triangle> triangles) {
  for (Triangle& t : triangles) {
    for (Corner& c : t) c.uv = {0, 0};
  }
  return triangles;
}

// Bytes of a binary STL whose triangles are given in file axes.
std::string BinaryStl(const std::vector<std::array<float, 9>>& triangles, uint32_t count) {
  std::string bytes(80, ' ');
  bytes.append(reinterpret_cast<const char*>(&count), 4);
  for (const auto& t : triangles) {
    const float normal[3] = {0, 0, 1};
    bytes.append(reinterpret_cast<const char*>(normal), 12);
    bytes.append(reinterpret_cast<const char*>(t.data()), 36);
    bytes.append(2, '\0');
  }
  return bytes;
}

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

class StlTest : public ::testing::Test {
 protected:
  std::unique_ptr<Document> document = std::make_unique<Document>();
  FormatContext context;
};

TEST_F(StlTest, BinaryAndAsciiRoundTripsKeepPointsAndTriangles) {
  CubeAndTriangle(document->model);
  const std::vector<Triangle> expected = WithoutUV(TrianglesOf(document->model));
  ASSERT_EQ(expected.size(), 11u);  // five quads split, one triangle
  const std::string folder = TestFolder();
  for (auto* save : {SaveStlFile, SaveStlAsciiFile}) {
    const std::string path = folder + "cube.stl";
    ASSERT_EQ(save(*document, path, context), 1) << context.reason;
    auto read = std::make_unique<Document>();
    ASSERT_EQ(LoadStlFile(*read, path, context), 1) << context.reason;
    std::string why;
    ASSERT_TRUE(ValidateModel(read->model, &why, true)) << why;
    // Positions come back bit for bit, windings unchanged; the guide quad's
    // own points are shared with the rest of the cube.
    EXPECT_EQ(TrianglesOf(read->model), expected);
    EXPECT_EQ(read->model.pointCount, 11);
    for (int s = 1; s <= read->model.faceCount; ++s) EXPECT_EQ(read->model.faces[s].material, 0);
  }
  // The ASCII form is text that says so; the binary header must not.
  ASSERT_EQ(SaveStlAsciiFile(*document, folder + "a.stl", context), 1);
  ASSERT_EQ(SaveStlFile(*document, folder + "b.stl", context), 1);
  const std::vector<uint8_t> ascii = ReadBytes(folder + "a.stl");
  const std::vector<uint8_t> binary = ReadBytes(folder + "b.stl");
  EXPECT_EQ(std::string(ascii.begin(), ascii.begin() + 6), "solid ");
  EXPECT_NE(std::string(binary.begin(), binary.begin() + 5), "solid");
  EXPECT_EQ(binary.size(), 84u + 50u * 11u);
}

// The file stands z up: a model point (x, y, z) is written (x, -z, y), and
// the written normal follows the winding.
TEST_F(StlTest, FileAxesAndNormals) {
  Model& model = document->model;
  ClearModel(model);
  SetPoint(model, 1, 0, 0, 0, 0, 0);
  SetPoint(model, 2, 1, 0, 0, 0, 0);
  SetPoint(model, 3, 0, 1, 0, 0, 0);
  model.pointCount = 3;
  SetFace(model, 1, 1, 2, 3, 1, 0, 0);  // faces +z in the model
  model.faceCount = 1;
  const std::string path = TestFolder() + "t.stl";
  ASSERT_EQ(SaveStlFile(*document, path, context), 1);
  const std::vector<uint8_t> bytes = ReadBytes(path);
  ASSERT_EQ(bytes.size(), 134u);
  float values[12];
  std::memcpy(values, bytes.data() + 84, sizeof values);
  const float expected[12] = {0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  for (int i = 0; i < 12; ++i) EXPECT_FLOAT_EQ(values[i] + 0.0f, expected[i]) << i;
}

TEST_F(StlTest, BrokenFilesAreRefusedAndLeaveTheModel) {
  const std::array<float, 9> one = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  const std::array<float, 9> nan = {0, 0, 0, NAN, 0, 0, 0, 1, 0};
  const std::string facet =
      "facet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 "
      "0\nendloop\nendfacet\n";
  std::string many = "solid many\n";
  for (int i = 0; i < 20000; ++i) {
    const std::string x = std::to_string(i);
    many += "facet normal 0 0 1\nouter loop\nvertex " + x + " 0 0\nvertex " + x + " 1 0\nvertex " +
            x + " 0 1\nendloop\nendfacet\n";
  }
  many += "endsolid\n";
  struct Case {
    std::string bytes;
    const char* reason;
  };
  const Case cases[] = {
      {"", "not an STL"},
      {"hello", "not an STL"},
      {BinaryStl({one}, 2), "2 triangles need 184 bytes, the file has 134"},
      {BinaryStl({one, one}, 1), "1 triangles need 134 bytes, the file has 184"},
      {BinaryStl({one}, 0xFFFFFFFFu), "4294967295 triangles"},
      {BinaryStl({nan}, 1), "non-finite"},
      {BinaryStl({{0, 0, 0, 0, 0, 0, 0, 0, 0}}, 1), "degenerate"},
      {BinaryStl({{0, 0, 0, 0, 0, 0, 0, 0, 0}}, 0), "0 triangles need 84 bytes, the file has 134"},
      {"solid x\nendsolid x\n" + std::string(100, '#'), "line 3: \"solid\" expected"},
      {"solid x\n" + facet, "ends before \"endsolid\""},
      {"solid x\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nendloop\n",
       "line 6: \"vertex\""},
      {"solid x\nfacet normal 0 0 1\nouter loop\nvertex 0 0 inf\n",
       "line 4: a vertex needs three finite"},
      {"solid x\nfacet normal 0 0\n", "line 2: a facet normal needs three values"},
      {"solid x\nouter loop\n", "line 2: \"facet\""},
      {"solid x\n" + std::string(5000, 'a') + "\n", "too long"},
      {many, "more than 19999 points"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    testing::UnitQuad(document->model);
    const Model before = document->model;
    const std::vector<uint8_t> bytes = Bytes(c.bytes);
    EXPECT_EQ(LoadStlBytes(document->model, bytes, "x.stl", context), 0);
    EXPECT_NE(context.reason.find(c.reason), std::string::npos) << context.reason;
    EXPECT_EQ(document->model.pointCount, before.pointCount);
    EXPECT_EQ(document->model.faceCount, before.faceCount);
    EXPECT_EQ(document->model.points[1].position, before.points[1].position);
  }
}

// Keywords are read in any case, as other programs write them; a file
// that fits neither form says why it is not binary (its size) and why it is
// not text (line and word).
TEST_F(StlTest, KeywordsInAnyCaseAndRefusalsNameBothForms) {
  CubeAndTriangle(document->model);
  const std::string path = TestFolder() + "lower.stl";
  ASSERT_EQ(SaveStlAsciiFile(*document, path, context), 1);
  const std::vector<uint8_t> lower = ReadBytes(path);
  std::string upper(lower.begin(), lower.end());
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string mixed(lower.begin(), lower.end());
  for (const char* word : {"solid", "facet", "normal", "outer", "loop", "vertex", "endloop",
                           "endfacet", "endsolid"}) {
    std::string capitalised = word;
    capitalised[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(capitalised[0])));
    for (size_t at = mixed.find(word); at != std::string::npos; at = mixed.find(word, at + 1))
      mixed.replace(at, capitalised.size(), capitalised);
  }
  auto expected = std::make_unique<Model>();
  ASSERT_EQ(LoadStlBytes(*expected, lower, "lower.stl", context), 1) << context.reason;
  for (const std::string& text : {upper, mixed}) {
    SCOPED_TRACE(text.substr(0, 40));
    auto model = std::make_unique<Model>();
    ASSERT_EQ(LoadStlBytes(*model, Bytes(text), "upper.stl", context), 1) << context.reason;
    EXPECT_EQ(TrianglesOf(*model), TrianglesOf(*expected));
  }

  const std::string broken = upper.substr(0, upper.find("OUTER LOOP")) + "OUTER LOOOP\n" +
                             upper.substr(upper.find("OUTER LOOP") + 11);
  EXPECT_EQ(LoadStlBytes(document->model, Bytes(broken), "x.stl", context), 0);
  EXPECT_NE(context.reason.find("triangles need"), std::string::npos) << context.reason;
  EXPECT_NE(context.reason.find("the file has " + std::to_string(broken.size())), std::string::npos)
      << context.reason;
  EXPECT_NE(context.reason.find("line 3: \"outer loop\" expected"), std::string::npos)
      << context.reason;
}

// A file without triangles, as an empty model is written in either form,
// reads as an empty model.
TEST_F(StlTest, EmptyFilesReadAsAnEmptyModel) {
  ClearModel(document->model);
  const std::string folder = TestFolder();
  for (auto* save : {SaveStlFile, SaveStlAsciiFile}) {
    ASSERT_EQ(save(*document, folder + "empty.stl", context), 1) << context.reason;
    auto model = std::make_unique<Model>();
    testing::UnitQuad(*model);
    ASSERT_EQ(LoadStlBytes(*model, ReadBytes(folder + "empty.stl"), "empty.stl", context), 1)
        << context.reason;
    EXPECT_EQ(model->pointCount, 0);
    EXPECT_EQ(model->lineCount, 0);
    EXPECT_EQ(model->faceCount, 0);
  }
}

// Every proper prefix of a binary file is refused and every one-byte change
// either reads as a valid model or is refused; the buffers are exactly as
// long as the data, so the sanitizer sees any read past them.
// Stored normals are ignored, even ones that are not numbers.
TEST_F(StlTest, NanNormalsAreIgnored) {
  const std::string text =
      "solid n\n facet normal -nan -nan -nan\n  outer loop\n   vertex 0 0 0\n   vertex 1 0 0\n"
      "   vertex 0 1 0\n  endloop\n endfacet\nendsolid n\n";
  ASSERT_EQ(LoadStlBytes(document->model, Bytes(text), "n.stl", context), 1) << context.reason;
  EXPECT_EQ(document->model.faceCount, 1);
  EXPECT_EQ(document->model.points[document->model.faces[1].corners[2]].position, VECTOR(0, 0, -1));
}

TEST_F(StlTest, TruncationAndCorruptionSweeps) {
  testing::ClosedCube(document->model);
  const std::string path = TestFolder() + "cube.stl";
  ASSERT_EQ(SaveStlFile(*document, path, context), 1);
  const std::vector<uint8_t> whole = ReadBytes(path);
  auto model = std::make_unique<Model>();
  for (size_t length = 0; length < whole.size(); ++length) {
    const std::vector<uint8_t> prefix(whole.begin(),
                                      whole.begin() + static_cast<std::ptrdiff_t>(length));
    ASSERT_EQ(LoadStlBytes(*model, prefix, "cut.stl", context), 0) << length;
  }
  std::string why;
  for (size_t at = 0; at < whole.size(); ++at) {
    for (uint8_t value : {uint8_t{0x00}, uint8_t{0xFF}, uint8_t{0x7F}}) {
      std::vector<uint8_t> changed = whole;
      changed[at] = value;
      if (LoadStlBytes(*model, changed, "bad.stl", context) == 1) {
        ASSERT_TRUE(ValidateModel(*model, &why)) << at << ": " << why;
      }
    }
  }
  // The ASCII form too: every prefix that stops before "endsolid" is
  // refused.
  ASSERT_EQ(SaveStlAsciiFile(*document, path, context), 1);
  const std::vector<uint8_t> text = ReadBytes(path);
  const size_t end = std::string(text.begin(), text.end()).rfind("endsolid");
  for (size_t length = 0; length < end; ++length) {
    const std::vector<uint8_t> prefix(text.begin(),
                                      text.begin() + static_cast<std::ptrdiff_t>(length));
    ASSERT_EQ(LoadStlBytes(*model, prefix, "cut.stl", context), 0) << length;
  }
}

// The 13,332-triangle torus reads; the 9,999-quad torus as 19,998 triangles
// needs 29,997 lines and is refused, quickly, leaving the model.
TEST_F(StlTest, TorusLimits) {
  const std::string folder = TestFolder();
  testing::TriangleTorus(document->model, 66, 101);
  ASSERT_EQ(SaveStlFile(*document, folder + "t.stl", context), 1);
  testing::QuadTorus(document->model, 99, 101);
  ASSERT_EQ(SaveStlFile(*document, folder + "q.stl", context), 1);

  auto read = std::make_unique<Document>();
  ASSERT_EQ(LoadStlFile(*read, folder + "t.stl", context), 1) << context.reason;
  EXPECT_EQ(read->model.pointCount, 6666);
  EXPECT_EQ(read->model.faceCount, 13332);
  EXPECT_EQ(read->model.lineCount, 19998);

  // Small files after the large one leave no trace of it past their
  // counts (the reader reuses its tables from file to file).
  testing::ClosedCube(document->model);
  ASSERT_EQ(SaveStlFile(*document, folder + "c.stl", context), 1);
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(LoadStlFile(*read, folder + "c.stl", context), 1) << context.reason;
    const Model& model = read->model;
    EXPECT_EQ(model.pointCount, 8);
    for (int i : {9, 100, 6666}) EXPECT_EQ(model.points[i].position, VECTOR()) << i;
    for (int i : {19, 100, 19998}) EXPECT_EQ(model.lines[i].a, 0) << i;
    for (int i : {13, 100, 13332}) EXPECT_EQ(model.faces[i].corners[0], 0) << i;
  }

  testing::UnitQuad(read->model);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(LoadStlFile(*read, folder + "q.stl", context), 0);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_NE(context.reason.find("more than 19999 lines"), std::string::npos) << context.reason;
  EXPECT_EQ(read->model.pointCount, 4);
  EXPECT_LT(elapsed, std::chrono::seconds(2));
}

TEST_F(StlTest, SaveTypesAndDispatch) {
  EXPECT_EQ(SaveIndexForPath("a.stl"), 17);
  EXPECT_EQ(SaveIndexForPath("a.STL", 18), 18);
  EXPECT_EQ(SaveIndexForPath("a.stl", 15), 0);
  ASSERT_NE(FindWriter(18), nullptr);
  EXPECT_EQ(FindWriter(18)->save, SaveStlAsciiFile);
  EXPECT_EQ(FindWriter(17)->save, SaveStlFile);
  bool listed = false;
  for (const ReaderEntry& reader : ReaderTable())
    listed |= reader.load == ReadStlBytes && reader.openIndex == 13;
  EXPECT_TRUE(listed);
}

#ifdef VEXAL_HAVE_ASSIMP
// The model's box in the file's axes (x, -z, y).
Box FileBox(const Box& model) {
  Box file;
  file.add(model.low[0], -model.high[2], model.low[1]);
  file.add(model.high[0], -model.low[2], model.high[1]);
  return file;
}

TEST_F(StlTest, SampleFilesReadWithAssimpsCounts) {
  for (const char* name :
       {"stl/Spider_binary.stl", "stl/sphereWithHole.stl", "stl/triangle_with_two_solids.stl"}) {
    SCOPED_TRACE(name);
    ReaderView theirs;
    std::string why;
    ASSERT_TRUE(AssimpView(DataPath(name), theirs, why)) << why;
    ASSERT_EQ(LoadStlFile(*document, DataPath(name), context), 1) << context.reason;
    ASSERT_TRUE(ValidateModel(document->model, &why)) << why;
    const ReaderView ours = OurView(document->model);
    EXPECT_EQ(ours.positions, theirs.positions);
    EXPECT_EQ(ours.triangles, theirs.triangles);
    const Box box = FileBox(ours.box);
    for (size_t k = 0; k < 3; ++k) {
      EXPECT_FLOAT_EQ(box.low[k], theirs.box.low[k]);
      EXPECT_FLOAT_EQ(box.high[k], theirs.box.high[k]);
    }
  }
}

TEST_F(StlTest, AssimpReadsOurBinaryAndAsciiExports) {
  testing::QuadTorus(document->model, 12, 20);
  document->model.faces[3].material = kGuideMaterial;
  const std::string folder = TestFolder();
  for (auto* save : {SaveStlFile, SaveStlAsciiFile}) {
    const std::string path = folder + "torus.stl";
    ASSERT_EQ(save(*document, path, context), 1);
    ReaderView theirs;
    std::string why;
    ASSERT_TRUE(AssimpView(path, theirs, why)) << why;
    EXPECT_EQ(theirs.triangles, 2u * 239u);
    EXPECT_EQ(theirs.positions, 240u);
    const Box box = FileBox(OurView(document->model).box);
    for (size_t k = 0; k < 3; ++k) {
      EXPECT_FLOAT_EQ(box.low[k], theirs.box.low[k]);
      EXPECT_FLOAT_EQ(box.high[k], theirs.box.high[k]);
    }
  }
}
#else
TEST(StlAssimp, AssimpIsInstalled) {
  FAIL() << "assimp not found: run scripts/setup.sh";
}
#endif

}  // namespace
}  // namespace vexal
