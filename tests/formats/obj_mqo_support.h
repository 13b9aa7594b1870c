// Helpers shared by the OBJ and MQO tests: file access in a private folder,
// a model validity check and a small model with every kind of element.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "model/document.h"
#include "model/maintenance.h"
#include "model/model.h"

namespace vexal::objmqo_test {

inline std::string DataPath(const std::string& name) {
  return std::string(VEXAL_TEST_DATA) + "/" + name;
}

inline std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteWhole(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// A fresh folder of this test's own under the test temp folder.
inline std::string TestFolder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string folder = ::testing::TempDir() + "vexal_objmqo_" + info->test_suite_name() + "_" + info->name();
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder + "/";
}

inline std::unique_ptr<Document> NewDocument() { return std::make_unique<Document>(); }

// Empty when the model keeps the invariants every reader promises: indices in
// range, triangles repeating corner 0, symmetric mirror partners, states and
// materials in range, finite positions, counts under the limit.
inline std::string ModelProblem(const Model& model) {
  std::ostringstream out;
  if (model.pointCount < 0 || model.pointCount > kMaxCount) out << "point count " << model.pointCount << "; ";
  if (model.lineCount < 0 || model.lineCount > kMaxCount) out << "line count " << model.lineCount << "; ";
  if (model.faceCount < 0 || model.faceCount > kMaxCount) out << "face count " << model.faceCount << "; ";
  if (!out.str().empty()) return out.str();
  const auto point = [&](int32_t p) { return p >= 1 && p <= model.pointCount; };
  for (int p = 1; p <= model.pointCount; ++p) {
    const VERT& v = model.points[p];
    if (!std::isfinite(v.position.x) || !std::isfinite(v.position.y) || !std::isfinite(v.position.z)) {
      out << "point " << p << " not finite; ";
    }
    if (v.mirror != 0 && (!point(v.mirror) || model.points[v.mirror].mirror != p)) {
      out << "point " << p << " partner " << v.mirror << " not symmetric; ";
    }
    if (v.state < 0 || v.state > 2) out << "point " << p << " state " << v.state << "; ";
  }
  for (int l = 1; l <= model.lineCount; ++l) {
    if (!point(model.lines[l].a) || !point(model.lines[l].b)) out << "line " << l << " end out of range; ";
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& f = model.faces[s];
    for (int32_t c : f.corners) {
      if (!point(c)) out << "surface " << s << " corner " << c << " out of range; ";
    }
    for (int32_t r : f.lines) {
      if (r < -model.lineCount || r > model.lineCount) out << "surface " << s << " line " << r << "; ";
    }
    if (f.material < 0 || f.material > kGuideMaterial) out << "surface " << s << " material " << f.material << "; ";
  }
  return out.str();
}

// Two surfaces, a guide surface and a free line (z left out):
//
//   4 ---- 3   6        quad (1, 2, 3, 4), material 0, UVs of the unit square
//   |      | \          triangle (2, 5, 3), material 2
//   1 ---- 2 - 5        guide triangle (1, 2, 7), material 15
//      7                line (6, 7) on no surface
inline void TwoSurfacesAndALine(Model& model) {
  ClearModel(model);
  const float p[7][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0.5f}, {2, 1, -0.25f}, {0.5f, -1, 0}};
  for (int i = 0; i < 7; ++i) SetPoint(model, i + 1, p[i][0], p[i][1], p[i][2], 0, 0);
  model.pointCount = 7;
  SetFace(model, 1, 1, 2, 3, 4, 0, 0);
  SetFaceUV(model, 1, UV(0, 0), UV(1, 0), UV(1, 1), UV(0, 1));
  SetFace(model, 2, 2, 5, 3, 2, 2, 0);
  SetFaceUV(model, 2, UV(0.25f, 0.5f), UV(0.75f, 0.5f), UV(0.5f, 1), UV(0.25f, 0.5f));
  SetFace(model, 3, 1, 2, 7, 1, kGuideMaterial, 0);
  model.faceCount = 3;
  SetLine(model, 1, 6, 7, 0);
  model.lineCount = 1;
  CompactModel(model, kCompactRebuildLines);
  RefreshNormals(model, kNormalsFace | kNormalsAngleSmoothed, true);
}

}  // namespace vexal::objmqo_test
