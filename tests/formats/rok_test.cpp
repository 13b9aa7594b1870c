// ROK reader and writer: exact bytes of a small export, the writer's
// mirror-partner and material filters, round trips, the prefix and
// line-to-corner rules of the reader, and hostile files.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "formats/rok_format.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "settings/settings.h"
#include "support/test_models.h"

namespace vexal {
namespace {

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "vexal_rok_" + name; }

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Lines joined with lone CRs, as the format writes them.
std::string Cr(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r";
  return text;
}

const std::vector<std::string> kHeader{"ROKU4", "-0.9", "-0.25", "0", "0", "0", "1.5", "1", "1",
                                       "1",     "0",    "345",   "345", "306", "138", "POINT"};

// A hand-written file: points 1 (0,0,0) hidden, 2 (1,0,0), 3 (1,1,0) as
// mirror partners 1<->2 and 3<->3; lines L1 = 2-1 (against the winding of
// the surface), L2 = 2-3, L3 = 3-1; one surface (L1, L2, L3) of material 4:
//   3
//   | \        surface winding 1 -> 2 -> 3
//   1 - 2
std::vector<std::string> SmallFile() {
  std::vector<std::string> lines = kHeader;
  const std::vector<std::vector<std::string>> points{{"1", "0", "1", "0", "2", "0", "0", "0"},
                                                      {"2", "0", "0", "0", "1", "1", "0", "0"},
                                                      {"3", "0", "0", "0", "3", "1", "-1", "-0"}};
  for (const auto& point : points) lines.insert(lines.end(), point.begin(), point.end());
  for (const char* line : {"LINE0", "2", "1", "0", "0", "2", "3", "0", "1", "3", "1", "0", "0", "FACE0", "3",
                           "4", "1", "1", "2", "3", "END00"}) {
    lines.push_back(line);
  }
  return lines;
}

class RokTest : public ::testing::Test {
 protected:
  std::unique_ptr<Document> document = std::make_unique<Document>();
  Settings settings;
  FormatContext context;
  void SetUp() override { context.settings = &settings; }

  int loadText(const std::string& text) {
    const std::string path = TempPath("load.rok");
    WriteText(path, text);
    context.reason.clear();
    context.warnings.clear();
    return LoadRokFile(*document, path, context);
  }
  void expectValid() {
    std::string why;
    EXPECT_TRUE(ValidateModel(document->model, &why, true)) << why;
  }
  const Model& model() const { return document->model; }
};

TEST_F(RokTest, ReaderTurnsLinesBackIntoCornersAndKeepsPartnersAndHiddenStates) {
  ASSERT_EQ(loadText(Cr(SmallFile())), 1) << context.reason;
  expectValid();
  ASSERT_EQ(model().pointCount, 3);
  ASSERT_EQ(model().lineCount, 3);
  ASSERT_EQ(model().faceCount, 1);
  EXPECT_EQ(model().points[1].state, kStateHidden);
  EXPECT_EQ(model().points[2].state, kStateNormal);
  EXPECT_EQ(model().points[1].mirror, 2);
  EXPECT_EQ(model().points[3].mirror, 3);
  // The file's y and z point the other way.
  EXPECT_EQ(model().points[3].position, VECTOR(1, 1, 0));
  EXPECT_EQ(model().lines[2].state, kStateHidden);
  const FACE& face = model().faces[1];
  EXPECT_EQ(face.material, 4);
  // L1 (2 -> 1) shares its first point with L2: it runs against the winding.
  EXPECT_EQ(face.lines, (std::array<int32_t, 4>{-1, 2, 3, -1}));
  EXPECT_EQ(face.corners, (std::array<int32_t, 4>{1, 2, 3, 1}));

  settings.RokImportScale = 2.0f;
  ASSERT_EQ(loadText(Cr(SmallFile())), 1);
  EXPECT_EQ(model().points[3].position, VECTOR(2, 2, 0));
}

TEST_F(RokTest, SeedFilesLoad) {
  struct Expected {
    const char* file;
    int points, lines, faces;
  };
  for (const Expected& e : {Expected{"default_object.rok", 8, 8, 2}, Expected{"torus.rok", 24, 48, 24},
                            Expected{"prefixed_palette.rok", 3, 3, 1}}) {
    SCOPED_TRACE(e.file);
    context.reason.clear();
    ASSERT_EQ(LoadRokFile(*document, std::string(VEXAL_TEST_DATA) + "/rok/" + e.file, context), 1) << context.reason;
    expectValid();
    EXPECT_EQ(model().pointCount, e.points);
    EXPECT_EQ(model().lineCount, e.lines);
    EXPECT_EQ(model().faceCount, e.faces);
  }
}

TEST_F(RokTest, MagicIsFoundAtTheStartOrAfterA128BytePrefixOnly) {
  const std::string file = Cr(SmallFile());
  ASSERT_EQ(loadText(std::string(128, 'x') + file), 1) << context.reason;
  EXPECT_EQ(model().faceCount, 1);
  EXPECT_EQ(loadText(std::string(127, 'x') + file), 0);
  EXPECT_EQ(loadText(std::string(129, 'x') + file), 0);
  EXPECT_EQ(loadText("ROKU5\r" + file.substr(6)), 0);
  EXPECT_NE(context.reason.find("ROKU4"), std::string::npos);
  // LF alone does not end a line ...
  std::string lf = file;
  for (char& c : lf) c = c == '\r' ? '\n' : c;
  EXPECT_EQ(loadText(lf), 0);
  // ... but CR LF line ends are tolerated.
  std::string crlf;
  for (char c : file) crlf += c == '\r' ? std::string("\r\n") : std::string(1, c);
  ASSERT_EQ(loadText(crlf), 1) << context.reason;
  EXPECT_EQ(model().faces[1].corners, (std::array<int32_t, 4>{1, 2, 3, 1}));
}

TEST_F(RokTest, PaletteSectionSetsColoursAndOversizedOnesAreRefused) {
  std::vector<std::string> lines = SmallFile();
  for (const char* line : {"PALC0", "2", "0", "1", "2", "3", "4", "5", "6", "0", "10", "20", "30", "40", "50",
                           "60", "0", "ENDP0", "BAKC0", "7", "8"}) {
    lines.push_back(line);
  }
  ASSERT_EQ(loadText(Cr(lines)), 1) << context.reason;
  EXPECT_EQ(model().materials[1].light, (std::array<int32_t, 4>{10, 20, 30, 255}));
  EXPECT_EQ(model().materials[1].dark, (std::array<int32_t, 4>{40, 50, 60, 255}));
  EXPECT_EQ(model().materials[2].light[0], 144);  // the default palette beyond

  lines[SmallFile().size() + 1] = "17";
  testing::ClosedCube(document->model);
  EXPECT_EQ(loadText(Cr(lines)), 0);
  EXPECT_NE(context.reason.find("palette of 17"), std::string::npos) << context.reason;
  EXPECT_EQ(model().pointCount, 8) << "a refused file changed the model";
}

TEST_F(RokTest, BadReferencesAndNumbersAreRefused) {
  const std::vector<std::string> good = SmallFile();
  // Index of the first value of each record in SmallFile().
  const size_t point1 = kHeader.size();
  const size_t line0 = point1 + 3 * 8 + 1;
  const size_t face0 = line0 + 3 * 4 + 1;
  struct Case {
    size_t at;
    std::string value;
    const char* reason;
  };
  for (const Case& c : {Case{point1 + 4, "4", "mirror partner 4"}, Case{point1 + 4, "-1", "mirror partner -1"},
                        Case{point1 + 5, "nan", "not a finite number"}, Case{point1 + 6, "1e39", "out of range"},
                        Case{point1 + 2, "x", "not an integer"}, Case{line0, "0", "joins points 0"},
                        Case{line0 + 1, "4", "joins points 2 and 4"}, Case{face0, "5", "surface of 5 lines"},
                        Case{face0 + 1, "16", "material 16"}, Case{face0 + 1, "-1", "material -1"},
                        Case{face0 + 3, "4", "names line 4 of 3"}, Case{face0 + 5, "2", "do not close"},
                        Case{point1, "LINE1", "point number"}}) {
    SCOPED_TRACE(c.value);
    std::vector<std::string> lines = good;
    lines[c.at] = c.value;
    testing::ClosedCube(document->model);
    EXPECT_EQ(loadText(Cr(lines)), 0);
    EXPECT_NE(context.reason.find(c.reason), std::string::npos) << context.reason;
    EXPECT_EQ(model().pointCount, 8);
  }
}

TEST_F(RokTest, EveryPrefixAndOneByteChangeLoadsValidOrIsRefused) {
  const std::string file = Cr(SmallFile());
  for (size_t length = 0; length < file.size(); ++length) {
    if (loadText(file.substr(0, length))) {
      expectValid();
    } else {
      EXPECT_FALSE(context.reason.empty());
    }
  }
  for (size_t at = 0; at < file.size(); ++at) {
    for (char c : std::string("0-9\r\nx")) {
      std::string changed = file;
      changed[at] = c;
      if (loadText(changed)) expectValid();
    }
  }
}

// The export model, mirrored about x = 0 except point 5:
//   4 (-1,1,0) --- 3 (1,1,0)       5 (0,2,0) has no partner
//   |               |
//   1 (-1,0,0) --- 2 (1,0,0)
// surface 1: quad (1, 2, 3, 4), material 1; surface 2: triangle (4, 3, 5),
// material 2 (uses point 5: not written); surface 3: triangle (1, 2, 3),
// material 13 (not written); point 2 and line 1-2 hidden.
void MirroredModel(Model& model) {
  ClearModel(model);
  SetPoint(model, 1, -1, 0, 0, 0, 2);
  SetPoint(model, 2, 1, 0, 0, kStateHidden, 1);
  SetPoint(model, 3, 1, 1, 0, 0, 4);
  SetPoint(model, 4, -1, 1, 0, 0, 3);
  SetPoint(model, 5, 0, 2, 0, 0, 0);
  model.pointCount = 5;
  SetFace(model, 1, 1, 2, 3, 4, 1, 0);
  SetFace(model, 2, 4, 3, 5, 4, 2, 0);
  SetFace(model, 3, 1, 2, 3, 1, 13, 0);
  model.faceCount = 3;
  ASSERT_EQ(CompactModel(model, kCompactRebuildLines), 1);
  model.lines[1].state = kStateHidden;  // 1-2
}

TEST_F(RokTest, WriterWritesTheExactLayoutOfMirroredPointsOnly) {
  MirroredModel(document->model);
  settings.RokExportScale = 2.0f;
  const std::string path = TempPath("save.rok");
  ASSERT_EQ(SaveRokFile(*document, path, context), 1) << context.reason;
  const std::string text = ReadText(path);
  // Lines of the model: 1-2, 2-3, 3-4, 4-1, 3-5, 5-4, 1-3 (the last three
  // touch point 5 or belong to the material 13 triangle; 1-3 is written as
  // its ends are).
  const std::string expected = Cr({"ROKU4",
                                   "    -0.900000000", "    -0.250000000", "     0.000000000",
                                   "     0.000000000", "     0.000000000", "     1.500000000",
                                   "     1.000000000", "     1.000000000", "    1", "    0",
                                   "   345.000000000", "   345.000000000", "   306.000000000",
                                   "   138.000000000", "POINT",
                                   "    1", "    0", "    0", "    0", "    2",
                                   "    -2.000000000", "    -0.000000000", "    -0.000000000",
                                   "    2", "    0", "    1", "    0", "    1",
                                   "     2.000000000", "    -0.000000000", "    -0.000000000",
                                   "    3", "    0", "    0", "    0", "    4",
                                   "     2.000000000", "    -2.000000000", "    -0.000000000",
                                   "    4", "    0", "    0", "    0", "    3",
                                   "    -2.000000000", "    -2.000000000", "    -0.000000000",
                                   "LINE0",
                                   "    1", "    2", "    0", "    1",
                                   "    2", "    3", "    0", "    0",
                                   "    3", "    4", "    0", "    0",
                                   "    4", "    1", "    0", "    0",
                                   "    3", "    1", "    0", "    0",
                                   "FACE0",
                                   "    4", "    1", "    1", "    1", "    2", "    3", "    4",
                                   "END00", "PALC0", "   13", "    0",
                                   "  233", "  233", "  233", "  105", "  105", "  105", "    0"});
  ASSERT_GE(text.size(), expected.size());
  EXPECT_EQ(text.substr(0, expected.size()), expected);
  const std::string tail = Cr({"ENDP0", "BAKC0", "    7", "    8", "  255", "  255", "  255", "    0",
                               "   13", "  206", "  212", "    0", "    3", "    4", "  206", "    0",
                               "  255", "   19", "    2", "    0", "   21", "  111", "   16", "    0",
                               "  121", "   78", "    2", "    0", "    0", "    0", "    0", "    0",
                               "ENDB0", "LIT00", "    3", "    0",
                               "     0.574988908", "     0.511101252", "     0.638876565", "    0",
                               "    -0.574988908", "     0.511101252", "     0.638876565", "    0",
                               "     0.000000000", "    -0.668964732", "     0.743294146", "    0",
                               "ENDL0", "VIEW0", "    1", "    1", "    0", "    0", "ENDV0", "LINE2",
                               "    1", "    0", "    9", "    1", "    2", "    0", "    9", "    1",
                               "    3", "    0", "    9", "    1", "    4", "    0", "    9", "    1",
                               "    5", "    0", "    9", "    1", "ENDL2"});
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  // Thirteen palette entries of seven values between the two.
  EXPECT_EQ(text.size(), expected.size() + 12 * 7 * 6 + tail.size());
}

TEST_F(RokTest, WrittenFilesReadBackWithTheSameGeometry) {
  // The default object: two mirrored squares, each corner partnered.
  SetDefaultObject(document->model);
  document->model.points[3].state = kStateHidden;
  document->model.materials[1].light = {1, 2, 3, 255};
  const Model original = document->model;
  const std::string path = TempPath("round.rok");
  ASSERT_EQ(SaveRokFile(*document, path, context), 1);
  context.warnings.clear();
  ASSERT_EQ(LoadRokFile(*document, path, context), 1) << context.reason;
  expectValid();
  EXPECT_TRUE(context.warnings.empty());
  ASSERT_EQ(model().pointCount, original.pointCount);
  ASSERT_EQ(model().lineCount, original.lineCount);
  ASSERT_EQ(model().faceCount, original.faceCount);
  for (int i = 1; i <= original.pointCount; ++i) {
    EXPECT_EQ(model().points[i].position, original.points[i].position);
    EXPECT_EQ(model().points[i].mirror, original.points[i].mirror);
    EXPECT_EQ(model().points[i].state, original.points[i].state);
  }
  for (int f = 1; f <= original.faceCount; ++f) {
    EXPECT_EQ(model().faces[f].corners, original.faces[f].corners);
    EXPECT_EQ(model().faces[f].lines, original.faces[f].lines);
    EXPECT_EQ(model().faces[f].material, original.faces[f].material);
  }
  EXPECT_EQ(model().materials[1].light, original.materials[1].light);
}

}  // namespace
}  // namespace vexal
