#include "support/test_models.h"

#include <cmath>
#include <vector>

#include "model/maintenance.h"

namespace vexal::testing {
namespace {

VECTOR TorusPoint(int row, int column, int rows, int columns) {
  const double pi = 3.14159265358979323846;
  // Wrap first, so that the seam's points are bit-for-bit the same.
  row %= rows;
  column %= columns;
  const double u = 2 * pi * row / rows;
  const double v = 2 * pi * column / columns;
  const double radius = 3.0 + std::cos(u);
  return VECTOR(static_cast<float>(radius * std::cos(v)), static_cast<float>(std::sin(u)),
                static_cast<float>(radius * std::sin(v)));
}

}  // namespace

void UnitQuad(Model& model) {
  ClearModel(model);
  SetPoint(model, 1, 0, 0, 0, 0, 0);
  SetPoint(model, 2, 1, 0, 0, 0, 0);
  SetPoint(model, 3, 1, 1, 0, 0, 0);
  SetPoint(model, 4, 0, 1, 0, 0, 0);
  model.pointCount = 4;
  for (int j = 0; j < 4; ++j) SetLine(model, j + 1, j + 1, (j + 1) % 4 + 1, 0);
  model.lineCount = 4;
  SetFace(model, 1, 1, 2, 3, 4, 0, 0);
  SetFaceUV(model, 1, UV(0, 0), UV(1, 0), UV(1, 1), UV(0, 1));
  model.faceCount = 1;
  RelinkFaces(model);
}

void ClosedCube(Model& model) {
  ClearModel(model);
  //    8 ---- 7        z = +1: 5 6 7 8
  //   /|     /|        z = -1: 1 2 3 4
  //  5 ---- 6 |
  //  | 4 ---|-3
  //  |/     |/
  //  1 ---- 2
  const float p[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                         {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
  for (int i = 0; i < 8; ++i) SetPoint(model, i + 1, p[i][0], p[i][1], p[i][2], 0, 0);
  model.pointCount = 8;
  const int f[6][4] = {{1, 4, 3, 2}, {5, 6, 7, 8}, {1, 2, 6, 5},
                       {2, 3, 7, 6}, {3, 4, 8, 7}, {4, 1, 5, 8}};
  for (int s = 0; s < 6; ++s) SetFace(model, s + 1, f[s][0], f[s][1], f[s][2], f[s][3], 0, 0);
  model.faceCount = 6;
  CompactModel(model, kCompactRebuildLines);
}

void QuadGrid(Model& model, int columns, int rows) {
  ClearModel(model);
  const int stride = columns + 1;
  for (int r = 0; r <= rows; ++r) {
    for (int c = 0; c <= columns; ++c) {
      SetPoint(model, r * stride + c + 1, static_cast<float>(c), static_cast<float>(r), 0, 0, 0);
    }
  }
  model.pointCount = stride * (rows + 1);
  int s = 0;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const int p = r * stride + c + 1;
      SetFace(model, ++s, p, p + 1, p + 1 + stride, p + stride, 0, 0);
      SetFaceUV(model, s, UV(0, 0), UV(1, 0), UV(1, 1), UV(0, 1));
    }
  }
  model.faceCount = s;
  CompactModel(model, kCompactRebuildLines);
}

void FullSheet(Model& model) {
  ClearModel(model);
  constexpr int kWidth = 200;
  for (int p = 1; p <= kMaxCount; ++p) {
    const int column = (p - 1) % kWidth;
    const int row = (p - 1) / kWidth;
    SetPoint(model, p, -2.0f + 0.02f * static_cast<float>(column), -1.0f + 0.02f * static_cast<float>(row),
             0.001f * static_cast<float>(column % 7), 0, 0);
  }
  model.pointCount = kMaxCount;
  for (int l = 1; l <= kMaxCount; ++l) SetLine(model, l, l, l % kMaxCount + 1, 0);
  model.lineCount = kMaxCount;
  int s = 0;
  for (int p = 1; s < kMaxCount; ++p) {
    if (p % kWidth == 0) continue;
    SetFace(model, ++s, p, p + 1, p + kWidth, p, 0, 0);
    if (s < kMaxCount) SetFace(model, ++s, p + 1, p + 1 + kWidth, p + kWidth, p + 1, 0, 0);
  }
  model.faceCount = kMaxCount;
}

void MirroredPair(Model& model) {
  ClearModel(model);
  SetPoint(model, 1, -1, 0, 0, 0, 2);
  SetPoint(model, 2, 1, 0, 0, 0, 1);
  model.pointCount = 2;
  SetLine(model, 1, 1, 2, 0);
  model.lineCount = 1;
}

void QuadTorus(Model& model, int rows, int columns) {
  ClearModel(model);
  auto index = [&](int row, int column) {
    return (row % rows) * columns + (column % columns) + 1;
  };
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const VECTOR p = TorusPoint(r, c, rows, columns);
      SetPoint(model, index(r, c), p.x, p.y, p.z, 0, 0);
    }
  }
  model.pointCount = rows * columns;
  int s = 0;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      ++s;
      SetFace(model, s, index(r, c), index(r, c + 1), index(r + 1, c + 1), index(r + 1, c), 0, 0);
      SetFaceUV(model, s, UV(0, 0), UV(1, 0), UV(1, 1), UV(0, 1));
    }
  }
  model.faceCount = s;
  CompactModel(model, kCompactRebuildLines);
}

void QuadTorusSoup(Model& model, int rows, int columns) {
  ClearModel(model);
  int point = 0;
  int s = 0;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const VECTOR corners[4] = {TorusPoint(r, c, rows, columns),
                                 TorusPoint(r, c + 1, rows, columns),
                                 TorusPoint(r + 1, c + 1, rows, columns),
                                 TorusPoint(r + 1, c, rows, columns)};
      for (const VECTOR& p : corners) {
        ++point;
        SetPoint(model, point, p.x, p.y, p.z, 0, 0);
      }
      ++s;
      SetFace(model, s, point - 3, point - 2, point - 1, point, 0, 0);
      SetFaceUV(model, s, UV(0, 0), UV(1, 0), UV(1, 1), UV(0, 1));
    }
  }
  model.pointCount = point;
  model.faceCount = s;
}

void TriangleTorus(Model& model, int rows, int columns) {
  ClearModel(model);
  auto index = [&](int row, int column) {
    return (row % rows) * columns + (column % columns) + 1;
  };
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const VECTOR p = TorusPoint(r, c, rows, columns);
      SetPoint(model, index(r, c), p.x, p.y, p.z, 0, 0);
    }
  }
  model.pointCount = rows * columns;
  int s = 0;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const int a = index(r, c), b = index(r, c + 1), d = index(r + 1, c + 1), e = index(r + 1, c);
      SetFace(model, ++s, a, b, d, a, 0, 0);
      SetFace(model, ++s, a, d, e, a, 0, 0);
    }
  }
  model.faceCount = s;
  CompactModel(model, kCompactRebuildLines);
}

void RandomModel(Model& model, std::mt19937& random, const RandomModelOptions& options) {
  ClearModel(model);
  const float one = 1.0f;
  const float values[] = {-1.0f, -0.0f, 0.0f, 0.5f, one, std::nextafter(one, 2.0f), 2.0f};
  std::uniform_int_distribution<int> value(0, static_cast<int>(std::size(values)) - 1);
  std::uniform_int_distribution<int> pick(1, options.points);
  std::uniform_int_distribution<int> percent(0, 99);
  auto state = [&]() {
    const int roll = percent(random);
    if (options.markSomeForRemoval && roll < 15) return kStateRemoved;
    if (roll < 30) return kStateSelected;
    if (roll < 40) return kStateHidden;
    return kStateNormal;
  };
  for (int p = 1; p <= options.points; ++p) {
    SetPoint(model, p, values[value(random)], values[value(random)], values[value(random)], state(),
             0);
    model.points[p].flags = percent(random) < 10 ? kPointTemplateFlag : 0;
  }
  model.pointCount = options.points;
  // Pair some points as mirror partners, symmetric by construction.
  for (int p = 1; p + 1 <= options.points; p += 2) {
    const int roll = percent(random);
    if (roll < 40) {
      model.points[p].mirror = p + 1;
      model.points[p + 1].mirror = p;
    } else if (roll < 50) {
      model.points[p].mirror = p;
    }
  }
  for (int l = 1; l <= options.lines; ++l) {
    int a = pick(random);
    int b = pick(random);
    // Repeat an earlier line (either way round) often enough to matter.
    if (l > 1 && percent(random) < 30) {
      std::uniform_int_distribution<int> earlier(1, l - 1);
      const LINE& old = model.lines[earlier(random)];
      a = old.a;
      b = old.b;
      if (percent(random) < 50) std::swap(a, b);
    }
    SetLine(model, l, a, b, state());
  }
  model.lineCount = options.lines;
  std::uniform_real_distribution<float> uv(0.0f, 1.0f);
  for (int s = 1; s <= options.faces; ++s) {
    int c[4];
    for (int& corner : c) corner = pick(random);
    if (!options.allowDegenerate) {
      // Distinct corners make a proper surface.
      for (int j = 1; j < 4; ++j) {
        for (int k = 0; k < j; ++k) {
          if (c[j] == c[k]) {
            c[j] = (c[j] % options.points) + 1;
            k = -1;
          }
        }
      }
    }
    const bool triangle = percent(random) < 40;
    if (triangle) c[3] = c[0];
    std::uniform_int_distribution<int> material(0, 15);
    SetFace(model, s, c[0], c[1], c[2], c[3], material(random), state());
    SetFaceUV(model, s, UV(uv(random), uv(random)), UV(uv(random), uv(random)),
              UV(uv(random), uv(random)), triangle ? UV() : UV(uv(random), uv(random)));
    if (triangle) model.faces[s].uv[3] = model.faces[s].uv[0];
  }
  model.faceCount = options.faces;
}

}  // namespace vexal::testing
