#include "support/reference_mirror.h"

#include <algorithm>
#include <vector>

namespace vexal::reference {
namespace {

int LiteralFindLine(const Model& model, int a, int b) {
  for (int i = 1; i <= model.lineCount; ++i) {
    const LINE& line = model.lines[i];
    if (line.state == -1) continue;
    if (line.a == a && line.b == b) return i;
    if (line.a == b && line.b == a) return -i;
  }
  return 0;
}

long long Key(const int c[4]) {
  return c[3] != c[0] ? (long long)c[0] + c[1] + c[2] + c[3] : -((long long)c[0] + c[1] + c[2]);
}

std::vector<int> SetOf(const int c[4]) {
  std::vector<int> s(c, c + 4);
  std::sort(s.begin(), s.end());
  s.erase(std::unique(s.begin(), s.end()), s.end());
  return s;
}

}  // namespace

bool MirrorSelection(Model& model) {
  const int n = model.pointCount;
  std::vector<char> needPartner(size_t(n) + 1, 0), copyLine(size_t(model.lineCount) + 1, 0),
      markLine(size_t(model.lineCount) + 1, 0), copyFace(size_t(model.faceCount) + 1, 0);
  std::vector<int> mirrorOf(size_t(model.lineCount) + 1, 0);
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& f = model.faces[s];
    if (f.state != 1) continue;
    int partners[4];
    bool all = true;
    for (int k = 0; k < 4; ++k) {
      partners[k] = model.points[f.corners[k]].mirror;
      all = all && partners[k] != 0;
    }
    bool found = false;
    if (all) {
      for (int t = 1; t <= model.faceCount && !found; ++t) {
        const int* c = model.faces[t].corners.data();
        found = Key(c) == Key(partners) && SetOf(c) == SetOf(partners);
      }
    }
    if (found) continue;
    copyFace[s] = 1;
    for (int k = 0; k < 4; ++k) {
      const int r = f.lines[k] < 0 ? -f.lines[k] : f.lines[k];
      if (r != 0) markLine[r] = 1;
      needPartner[f.corners[k]] = 1;
    }
  }
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    if (line.state != 1 && !markLine[l]) continue;
    const int m = LiteralFindLine(model, model.points[line.a].mirror, model.points[line.b].mirror);
    if (m != 0) {
      mirrorOf[l] = m;
    } else {
      copyLine[l] = 1;
      needPartner[line.a] = needPartner[line.b] = 1;
    }
  }
  int points = 0, lines = 0, faces = 0;
  for (int p = 1; p <= n; ++p) {
    needPartner[p] = (model.points[p].state == 1 || needPartner[p]) && model.points[p].mirror == 0;
    points += needPartner[p];
  }
  for (int l = 1; l <= model.lineCount; ++l) lines += copyLine[l];
  for (int s = 1; s <= model.faceCount; ++s) faces += copyFace[s];
  if (n + points > 19999 || model.lineCount + lines > 19999 || model.faceCount + faces > 19999) {
    return false;
  }
  for (int p = 1; p <= n; ++p) {
    if (!needPartner[p]) continue;
    const int q = ++model.pointCount;
    model.points[q] = VERT{};
    const VECTOR v = model.points[p].position;
    SetPoint(model, q, -v.x, v.y, v.z, 1, p);
    model.points[p].mirror = q;
  }
  const int oldLines = model.lineCount;
  for (int l = 1; l <= oldLines; ++l) {
    if (!copyLine[l]) continue;
    const int q = ++model.lineCount;
    SetLine(model, q, model.points[model.lines[l].a].mirror, model.points[model.lines[l].b].mirror,
            1);
    mirrorOf[l] = q;
  }
  const int oldFaces = model.faceCount;
  for (int s = 1; s <= oldFaces; ++s) {
    if (!copyFace[s]) continue;
    const FACE f = model.faces[s];
    const int q = ++model.faceCount;
    model.faces[q] = FACE{};
    SetFace(model, q, model.points[f.corners[0]].mirror, model.points[f.corners[1]].mirror,
            model.points[f.corners[2]].mirror, model.points[f.corners[3]].mirror, f.material, 1);
    int r[4];
    for (int k = 0; k < 4; ++k) {
      r[k] = f.lines[k] > 0 ? mirrorOf[f.lines[k]] : f.lines[k] < 0 ? -mirrorOf[-f.lines[k]] : 0;
    }
    SetFaceLines(model, q, r[0], r[1], r[2], r[3]);
    SetFaceUV(model, q, f.uv[0], f.uv[1], f.uv[2], f.uv[3]);
    FlipFace(model, q);
  }
  return true;
}

}  // namespace vexal::reference
