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
#include "model/validate.h"

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

// Empty when the model keeps the invariants every reader promises (indices
// in range, symmetric partners, line references agreeing with the lines,
// finite positions, counts under the limit), else what broke.
inline std::string ModelProblem(const Model& model) {
  std::string why;
  return ValidateModel(model, &why, true) ? std::string() : (why.empty() ? "invalid" : why);
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
