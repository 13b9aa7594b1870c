#include "support/reference_maintenance.h"

#include <vector>

namespace vexal::reference {
namespace {

struct DenseTable {
  explicit DenseTable(int points) : stride(points + 2), cells(size_t(stride) * size_t(stride), 0) {}
  int16_t& at(int a, int b) { return cells[size_t(a) * size_t(stride) + size_t(b)]; }
  int stride;
  std::vector<int16_t> cells;
};

bool SamePosition(const VECTOR& a, const VECTOR& b) {
  // The original comparison: "not different", so a NaN compares equal.
  return !(a.x != b.x) && !(a.y != b.y) && !(a.z != b.z);
}

}  // namespace

int CompactModel(Model& model, int flags) {
  if (model.faceCount >= 20000) return 0;
  if (flags & 1) {
    const int n = model.pointCount;
    std::vector<int32_t> m(size_t(n) + 2);
    for (int i = 0; i <= n + 1; ++i) m[i] = i;
    for (int i = 1; i <= n - 1; ++i) {
      if (model.points[i].state == -1) continue;
      for (int j = i + 1; j <= n; ++j) {
        if (SamePosition(model.points[j].position, model.points[i].position)) {
          model.points[j].state = -1;
          m[j] = i;
        }
      }
    }
    int k = 1;
    for (int j = 1; j <= n; ++j) {
      if (model.points[j].state == -1) {
        m[j] = m[m[j]];
      } else {
        m[j] = k;
        if (j != k) model.points[k] = model.points[j];
        ++k;
      }
    }
    model.pointCount = k - 1;
    for (int s = 1; s <= model.faceCount; ++s) {
      for (int c = 0; c < 4; ++c) model.faces[s].corners[c] = m[model.faces[s].corners[c]];
    }

    std::vector<char> remove(size_t(model.faceCount) + 1, 0);
    for (int s = 1; s <= model.faceCount; ++s) {
      FACE& f = model.faces[s];
      int pairs = 0, fp = 0, fq = 0;
      for (int p = 0; p < 4; ++p) {
        for (int q = p + 1; q < 4; ++q) {
          if (f.corners[p] == f.corners[q]) {
            if (pairs == 0) {
              fp = p;
              fq = q;
            }
            ++pairs;
          }
        }
      }
      if (pairs == 1) {
        if ((fp == 0 && fq == 2) || (fp == 1 && fq == 3)) {
          remove[s] = 1;
        } else {
          for (int slot = fq; slot < 3; ++slot) {
            f.corners[slot] = f.corners[slot + 1];
            f.uv[slot] = f.uv[slot + 1];
          }
          f.corners[3] = f.corners[0];
          f.uv[3] = f.uv[0];
        }
      } else if (pairs > 1) {
        remove[s] = 1;
      }
    }
    int w = 0;
    for (int s = 1; s <= model.faceCount; ++s) {
      if (remove[s]) continue;
      ++w;
      if (w != s) model.faces[w] = model.faces[s];
    }
    model.faceCount = w;
  }
  if (flags & 2) {
    DenseTable table(model.pointCount);
    for (int s = 1; s <= model.faceCount; ++s) {
      FACE& f = model.faces[s];
      const int corners = f.corners[3] != f.corners[0] ? 4 : 3;
      for (int j = 0; j < corners; ++j) {
        const int d = f.corners[j];
        const int e = f.corners[(j + 1) % 4];
        const int found = table.at(d, e);
        if (found != 0) {
          f.lines[j] = model.lines[found].a == d ? found : -found;
        } else {
          if (model.lineCount + 1 > 19999) return 0;
          const int index = ++model.lineCount;
          model.lines[index] = LINE{d, e, 0};
          table.at(d, e) = static_cast<int16_t>(index);
          table.at(e, d) = static_cast<int16_t>(index);
          f.lines[j] = index;
        }
      }
      if (corners == 3) f.lines[3] = f.lines[0];
    }
  }
  if (((flags & 4) == 0 || model.pointCount > 0) && model.pointCount < 20000 &&
      model.lineCount < 20000 && model.faceCount < 20000) {
    return 1;
  }
  return 0;
}

void RelinkFaces(Model& model) {
  DenseTable table(model.pointCount);
  for (int i = 1; i <= model.lineCount; ++i) {
    const LINE& l = model.lines[i];
    if (l.a < 0) continue;
    table.at(l.a, l.b) = static_cast<int16_t>(i);
    table.at(l.b, l.a) = static_cast<int16_t>(-i);
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    FACE& f = model.faces[s];
    if (f.corners[3] != f.corners[0]) {
      for (int j = 0; j < 4; ++j) f.lines[j] = table.at(f.corners[j], f.corners[(j + 1) % 4]);
    } else {
      for (int j = 0; j < 3; ++j) f.lines[j] = table.at(f.corners[j], f.corners[(j + 1) % 3]);
      f.lines[3] = f.lines[0];
    }
  }
}

void MarkDuplicateLines(Model& model) {
  DenseTable table(model.pointCount);
  for (int i = 1; i <= model.lineCount; ++i) {
    LINE& l = model.lines[i];
    if (l.a < 0) continue;
    const int f = table.at(l.a, l.b);
    if (f != 0) {
      l.a = -1;
      l.b = f;
      l.state = -1;
    } else {
      table.at(l.a, l.b) = static_cast<int16_t>(i);
      table.at(l.b, l.a) = static_cast<int16_t>(-i);
    }
  }
}

void PurgeMarked(Model& model) {
  std::vector<int32_t> pm(size_t(model.pointCount) + 2, 0);
  int k = 0;
  for (int p = 1; p <= model.pointCount; ++p) {
    if (model.points[p].state != -1) pm[p] = ++k;
  }
  const int points = k;
  std::vector<int32_t> lm(size_t(model.lineCount) + 2, 0);
  k = 0;
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    if (line.state != -1) {
      lm[l] = ++k;
    } else if (line.a == -1) {
      lm[l] = line.b < 1 ? -lm[-line.b] : lm[line.b];
    }
  }
  const int lines = k;
  int w = 0;
  for (int p = 1; p <= model.pointCount; ++p) {
    if (model.points[p].state == -1) continue;
    ++w;
    model.points[w] = model.points[p];
    model.points[w].mirror = pm[model.points[w].mirror];
  }
  w = 0;
  for (int l = 1; l <= model.lineCount; ++l) {
    if (model.lines[l].state == -1) continue;
    ++w;
    model.lines[w] = model.lines[l];
    model.lines[w].a = pm[model.lines[w].a];
    model.lines[w].b = pm[model.lines[w].b];
  }
  w = 0;
  for (int s = 1; s <= model.faceCount; ++s) {
    if (model.faces[s].state == -1) continue;
    ++w;
    FACE f = model.faces[s];
    for (int c = 0; c < 4; ++c) f.corners[c] = pm[f.corners[c]];
    for (int j = 0; j < 4; ++j) f.lines[j] = f.lines[j] <= 0 ? -lm[-f.lines[j]] : lm[f.lines[j]];
    model.faces[w] = f;
  }
  model.pointCount = points;
  model.lineCount = lines;
  model.faceCount = w;
}

}  // namespace vexal::reference
