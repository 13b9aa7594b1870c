// Helpers of the STL and glTF tests: a private folder, whole-file bytes,
// the triangles a model shows (as the triangle writers split it), and what
// assimp and the glTF validator make of a file.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "model/maintenance.h"
#include "model/model.h"

#ifdef VEXAL_HAVE_ASSIMP
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#endif

namespace vexal::exchange_test {

inline std::string DataPath(const std::string& name) {
  return std::string(VEXAL_TEST_DATA) + "/" + name;
}

// A fresh folder of this test's own under the test temp folder, with "/".
inline std::string TestFolder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string folder =
      ::testing::TempDir() + "vexal_exchange_" + info->test_suite_name() + "_" + info->name();
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder + "/";
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// One triangle by its corner positions (and UVs), turned so that the
// smallest position comes first: the same triangle with the same winding
// compares equal however its corners were numbered.
struct Corner {
  std::array<float, 3> position;
  std::array<float, 2> uv;
  bool operator<(const Corner& other) const { return position < other.position; }
  bool operator==(const Corner& other) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Corner& c) {
  return out << "(" << c.position[0] << " " << c.position[1] << " " << c.position[2] << " / "
             << c.uv[0] << " " << c.uv[1] << ")";
}
using Triangle = std::array<Corner, 3>;

inline Triangle Canonical(Triangle t) {
  const size_t first = static_cast<size_t>(std::min_element(t.begin(), t.end()) - t.begin());
  std::rotate(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(first), t.end());
  return t;
}

// The triangles of every surface not in `skipMaterial`, quads split as the
// triangle writers split them, sorted.
inline std::vector<Triangle> TrianglesOf(const Model& model, int skipMaterial = kGuideMaterial) {
  std::vector<Triangle> triangles;
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material == skipMaterial) continue;
    const auto add = [&](int a, int b, int c) {
      Triangle t;
      const int slots[3] = {a, b, c};
      for (size_t k = 0; k < 3; ++k) {
        const size_t slot = static_cast<size_t>(slots[k]);
        const VECTOR& p = model.points[face.corners[slot]].position;
        t[k] = {{p.x, p.y, p.z}, {face.uv[slot].u, face.uv[slot].v}};
      }
      triangles.push_back(Canonical(t));
    };
    if (!IsQuad(face)) {
      add(0, 1, 2);
    } else if (ChooseQuadSplit(model, s) == 1) {
      add(0, 1, 2);
      add(2, 3, 0);
    } else {
      add(0, 1, 3);
      add(1, 2, 3);
    }
  }
  std::sort(triangles.begin(), triangles.end(), [](const Triangle& a, const Triangle& b) {
    return std::tie(a[0].position, a[1].position, a[2].position) <
           std::tie(b[0].position, b[1].position, b[2].position);
  });
  return triangles;
}

struct Box {
  std::array<float, 3> low{1e30f, 1e30f, 1e30f};
  std::array<float, 3> high{-1e30f, -1e30f, -1e30f};
  void add(float x, float y, float z) {
    const float p[3] = {x, y, z};
    for (size_t k = 0; k < 3; ++k) {
      low[k] = std::min(low[k], p[k]);
      high[k] = std::max(high[k], p[k]);
    }
  }
};

// What an independent reader sees: distinct positions, triangles whose
// corners stand at three distinct positions, and the box of the positions
// those triangles use.
struct ReaderView {
  size_t positions = 0;
  size_t triangles = 0;
  Box box;
};

#ifdef VEXAL_HAVE_ASSIMP
// assimp with node transforms baked in; false with the reason when it
// cannot read the file.
inline bool AssimpView(const std::string& path, ReaderView& view, std::string& why) {
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile(path, aiProcess_PreTransformVertices);
  if (scene == nullptr) {
    why = importer.GetErrorString();
    return false;
  }
  std::set<std::array<float, 3>> positions;
  for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
    const aiMesh* mesh = scene->mMeshes[m];
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      if (face.mNumIndices != 3) continue;
      std::array<std::array<float, 3>, 3> corners;
      for (unsigned k = 0; k < 3; ++k) {
        const aiVector3D& p = mesh->mVertices[face.mIndices[k]];
        // +0 and -0 are one position.
        corners[k] = {p.x + 0.0f, p.y + 0.0f, p.z + 0.0f};
      }
      if (corners[0] == corners[1] || corners[1] == corners[2] || corners[2] == corners[0])
        continue;
      ++view.triangles;
      for (const auto& c : corners) {
        positions.insert(c);
        view.box.add(c[0], c[1], c[2]);
      }
    }
  }
  view.positions = positions.size();
  return true;
}
#endif

inline ReaderView OurView(const Model& model) {
  ReaderView view;
  view.positions = static_cast<size_t>(model.pointCount);
  view.triangles = TrianglesOf(model, -1).size();
  for (int s = 1; s <= model.faceCount; ++s) {
    for (int32_t c : model.faces[s].corners) {
      const VECTOR& p = model.points[c].position;
      view.box.add(p.x, p.y, p.z);
    }
  }
  return view;
}

// Runs the glTF validator (tools/validate-gltf.js, installed by
// scripts/setup.sh) on a file: its exit status (0 no errors, 1 errors, 2 or
// more when it could not run) and its report.
inline int RunGltfValidator(const std::string& path, std::string& report) {
  const std::string script = std::string(VEXAL_TEST_DATA) + "/../../tools/validate-gltf.js";
  const std::string command = "node '" + script + "' '" + path + "' 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return 127;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) report += buffer;
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

}  // namespace vexal::exchange_test
