#include "support/reference_weld.h"

#include <algorithm>
#include <vector>

#include "io/message_catalog.h"
#include "model/model_snapshot.h"
#include "model/table_room.h"
#include "support/reference_maintenance.h"

namespace vexal::reference {
namespace {

struct DenseTable {
  explicit DenseTable(int points) : stride(points + 2), cells(size_t(stride) * size_t(stride), 0) {}
  int16_t& at(int a, int b) { return cells[size_t(a) * size_t(stride) + size_t(b)]; }
  int stride;
  std::vector<int16_t> cells;
};

bool Selected(const VERT& v) { return v.selectionClass == 1 || v.selectionClass == 2; }
bool MirrorSide(const VERT& v) { return v.selectionClass == 3 || v.selectionClass == 4; }

template <typename Key>
void Quicksort(std::vector<Key>& key, std::vector<int32_t>& item, int lo, int hi) {
  if (lo >= hi) return;
  const int mid = (lo + hi) / 2;
  std::swap(key[mid], key[lo]);
  std::swap(item[mid], item[lo]);
  int i = lo, j = hi;
  while (i < j) {
    if (key[i] > key[i + 1]) {
      std::swap(key[i], key[i + 1]);
      std::swap(item[i], item[i + 1]);
      ++i;
    } else {
      std::swap(key[i + 1], key[j]);
      std::swap(item[i + 1], item[j]);
      --j;
    }
  }
  Quicksort(key, item, lo, i - 1);
  Quicksort(key, item, i + 1, hi);
}

void LiteralMarkUnusedPoints(Model& model) {
  for (int p = 1; p <= model.pointCount; ++p) {
    bool used = false;
    for (int l = 1; l <= model.lineCount && !used; ++l) {
      const LINE& line = model.lines[l];
      used = line.state != -1 && (line.a == p || line.b == p);
    }
    if (!used) model.points[p].state = -1;
  }
}

bool LiteralSplitFoldedQuads(Model& model) {
  DenseTable cell(model.pointCount);
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    if (line.state == -1) continue;
    cell.at(line.a, line.b) = static_cast<int16_t>(l);
    cell.at(line.b, line.a) = static_cast<int16_t>(-l);
  }
  // Count first: the table has no room to append past its capacity.
  int wanted = 0;
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& f = model.faces[s];
    if (f.corners[0] == f.corners[3] || f.state == -1) continue;
    if (cell.at(f.corners[0], f.corners[2]) != 0 || cell.at(f.corners[1], f.corners[3]) != 0) {
      wanted += 2;
    }
  }
  if (model.faceCount + wanted > 19999) return false;
  auto add = [&model](int c0, int c1, int c2, int r0, int r1, int r2, UV u0, UV u1, UV u2,
                      int material, int state) {
    const int s = ++model.faceCount;
    model.faces[s] = FACE{};
    SetFace(model, s, c0, c1, c2, c0, material, state);
    SetFaceLines(model, s, r0, r1, r2, r0);
    SetFaceUV(model, s, u0, u1, u2, u0);
  };
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE f = model.faces[s];
    if (f.corners[0] == f.corners[3] || f.state == -1) continue;
    const auto& c = f.corners;
    const auto& L = f.lines;
    const auto& uv = f.uv;
    if (const int t = cell.at(c[0], c[2]); t != 0) {
      add(c[0], c[1], c[2], L[0], L[1], -t, uv[0], uv[1], uv[2], f.material, f.state);
      add(c[0], c[2], c[3], t, L[2], L[3], uv[0], uv[2], uv[3], f.material, f.state);
      model.faces[s].state = -1;
    } else if (const int u = cell.at(c[1], c[3]); u != 0) {
      add(c[0], c[1], c[3], L[0], u, L[3], uv[0], uv[1], uv[3], f.material, f.state);
      add(c[1], c[2], c[3], L[1], L[2], -u, uv[1], uv[2], uv[3], f.material, f.state);
      model.faces[s].state = -1;
    }
  }
  return true;
}

void LiteralDropDuplicateSurfaces(Model& model) {
  const int m = model.faceCount;
  std::vector<int32_t> key(size_t(m) + 1), item(size_t(m) + 1);
  for (int s = 1; s <= m; ++s) {
    const auto& c = model.faces[s].corners;
    key[s] = c[0] != c[3] ? c[0] + c[1] + c[2] + c[3] : -(c[0] + c[1] + c[2]);
    item[s] = s;
  }
  Quicksort(key, item, 1, m);
  std::vector<int32_t> mark(size_t(model.pointCount) + 1, 0);
  for (int x = 1; x <= m; ++x) {
    FACE& d = model.faces[item[x]];
    if (d.state == -1) continue;
    for (int32_t c : d.corners) mark[c] = item[x];
    for (int y = x + 1; y <= m && key[y] == key[x]; ++y) {
      FACE& g = model.faces[item[y]];
      if (g.state == -1) continue;
      bool all = true;
      for (int32_t c : g.corners) all = all && mark[c] == item[x];
      if (all) {
        g.state = -1;
        d.material = std::min(d.material, g.material);
      }
    }
  }
}

void ReplacePoints(Model& model, const std::vector<int32_t>& map) {
  for (int l = 1; l <= model.lineCount; ++l) {
    model.lines[l].a = map[model.lines[l].a];
    model.lines[l].b = map[model.lines[l].b];
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    for (int32_t& c : model.faces[s].corners) c = map[c];
  }
}

bool Finish(Model& model, std::vector<int32_t>& rep, bool centroid) {
  const int n = model.pointCount;
  for (int j = 1; j <= n; ++j) {
    if (rep[j] != j) continue;
    double sx = 0, sy = 0, sz = 0;
    int count = 0, inside = 0, outside = 0;
    for (int k = 1; k <= n; ++k) {
      if (rep[k] != j) continue;
      sx += model.points[k].position.x;
      sy += model.points[k].position.y;
      sz += model.points[k].position.z;
      ++count;
      const int p = model.points[k].mirror;
      if (p == 0) continue;
      const int v = rep[p] != 0 ? rep[p] : p;
      if (v == j) inside = 1; else outside = 1;
    }
    VECTOR at = model.points[j].position;
    if (centroid) at = VECTOR(float(sx / count), float(sy / count), float(sz / count));
    const int code = 2 * inside + outside;
    if (code == 0) {
      SetPoint(model, j, at.x, at.y, at.z, 0, 0);
    } else if (code == 2) {
      SetPoint(model, j, 0.0f, at.y, at.z, 0, j);
    } else {
      const int p = model.points[j].mirror;
      SetPoint(model, j, at.x, at.y, at.z, 0, rep[p] != 0 ? rep[p] : p);
    }
  }
  for (int k = 1; k <= n; ++k) {
    if (rep[k] == 0) rep[k] = k;
  }
  for (int k = 1; k <= n; ++k) {
    VERT& v = model.points[k];
    if (MirrorSide(v) && v.mirror != 0) {
      const int r = rep[v.mirror];
      const int image = model.points[r].mirror;
      rep[k] = image != 0 ? image : k;
      v.mirror = image != 0 ? r : 0;
    }
    if (rep[k] != k) v.mirror = 0;
  }
  std::vector<int32_t> oneSided;
  for (int k = 1; k <= n; ++k) {
    const int p = model.points[k].mirror;
    if (p != 0 && p != k && model.points[p].mirror != k) oneSided.push_back(k);
  }
  for (int k : oneSided) model.points[k].mirror = 0;
  ReplacePoints(model, rep);
  if (!reference::WeldCleanup(model)) return false;
  reference::SyncMirror(model);
  DeselectAll(model);
  return true;
}

std::vector<int32_t> Representatives(const Model& model) {
  std::vector<int32_t> rep(size_t(model.pointCount) + 1, 0);
  for (int p = 1; p <= model.pointCount; ++p) rep[p] = Selected(model.points[p]) ? p : 0;
  return rep;
}

}  // namespace

bool WeldCleanup(Model& model) {
  for (int l = 1; l <= model.lineCount; ++l) {
    if (model.lines[l].a == model.lines[l].b) model.lines[l].state = -1;
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    FACE& f = model.faces[s];
    const auto c = f.corners;
    if (c[0] == c[2] || c[1] == c[3] || (c[1] == c[2] && c[3] == c[0]) ||
        (c[0] == c[1] && c[2] == c[3])) {
      f.state = -1;
    } else if (f.state != -1) {
      for (int i = 0; i < 4; ++i) {
        if (c[i] != c[(i + 1) % 4]) continue;
        const int r = f.lines[(i + 2) % 4];
        if (r != 0 && model.lines[r < 0 ? -r : r].state == -1) continue;
        const FACE old = f;
        for (int k = 0; k < 4; ++k) {
          const int slot = (i + 1 + (k == 3 ? 0 : k)) % 4;
          f.corners[k] = old.corners[slot];
          f.lines[k] = old.lines[slot];
          f.uv[k] = old.uv[slot];
        }
        break;
      }
    }
  }
  if (!LiteralSplitFoldedQuads(model)) return false;
  LiteralDropDuplicateSurfaces(model);
  LiteralMarkUnusedPoints(model);
  reference::MarkDuplicateLines(model);
  reference::PurgeMarked(model);
  return true;
}

void SyncMirror(Model& model) {
  for (int i = 1; i <= model.pointCount; ++i) {
    VERT& a = model.points[i];
    const int p = a.mirror;
    if (p == i) {
      a.position.x = 0;
    } else if (p != 0 && i < p && Selected(a) && Selected(model.points[p])) {
      VERT& b = model.points[p];
      const float x = (a.position.x - b.position.x) / 2;
      const float y = (a.position.y + b.position.y) / 2;
      const float z = (a.position.z + b.position.z) / 2;
      a.position = VECTOR(x, y, z);
      b.position = VECTOR(-x, y, z);
    } else if (p != 0 && MirrorSide(a)) {
      const VECTOR& q = model.points[p].position;
      a.position = VECTOR(-q.x, q.y, q.z);
    }
  }
}

MaybeRefusal AttachSingle(Model& model, const WeldSelection& selection) {
  if (selection.selectedCount == 0) return Refusal{Translate("nothing is selected")};
  const ModelSnapshot backup(model);
  const int n = model.pointCount;
  const int code = selection.mirrorSelection;
  std::vector<int32_t> map(size_t(n) + 1);
  for (int p = 1; p <= n; ++p) {
    map[p] = p;
    if (Selected(model.points[p])) {
      map[p] = n + 1;
      model.points[p].state = -1;
    } else if ((code == 1 || code == 3) && MirrorSide(model.points[p])) {
      map[p] = n + 2;
      model.points[p].state = -1;
    }
  }
  ReplacePoints(model, map);
  const VECTOR& c = selection.pivot;
  model.points[n + 1] = VERT{};
  model.points[n + 2] = VERT{};
  if (code == 0) {
    SetPoint(model, n + 1, c.x, c.y, c.z, 0, 0);
    model.pointCount = n + 1;
  } else if (code == 2) {
    SetPoint(model, n + 1, 0.0f, c.y, c.z, 0, n + 1);
    model.pointCount = n + 1;
  } else {
    SetPoint(model, n + 1, c.x, c.y, c.z, 0, n + 2);
    SetPoint(model, n + 2, -c.x, c.y, c.z, 0, n + 1);
    model.pointCount = n + 2;
  }
  if (!reference::WeldCleanup(model)) {
    backup.restore(model);
    return TableFull();
  }
  return std::nullopt;
}

MaybeRefusal AttachApproximate(Model& model, const WeldSelection& selection, float radius) {
  if (selection.selectedCount == 0) return Refusal{Translate("nothing is selected")};
  const ModelSnapshot backup(model);
  const float r2 = radius * radius;
  const int n = model.pointCount;
  std::vector<int32_t> rep = Representatives(model);
  for (int i = 1; i <= n - 1; ++i) {
    if (rep[i] != i) continue;
    for (int g = i + 1; g <= n; ++g) {
      if (rep[g] != g) continue;
      const VECTOR& a = model.points[i].position;
      const VECTOR& b = model.points[g].position;
      const float dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
      if (dx * dx + dy * dy + dz * dz <= r2) {
        rep[g] = i;
        if (model.points[i].mirror == 0) model.points[i].mirror = model.points[g].mirror;
      }
    }
  }
  if (!Finish(model, rep, true)) {
    backup.restore(model);
    return TableFull();
  }
  return std::nullopt;
}

MaybeRefusal AttachSame(Model& model, const WeldSelection& selection) {
  if (selection.selectedCount == 0) return Refusal{Translate("nothing is selected")};
  const ModelSnapshot backup(model);
  const int n = model.pointCount;
  std::vector<float> key(size_t(n) + 1);
  std::vector<int32_t> item(size_t(n) + 1);
  for (int p = 1; p <= n; ++p) {
    const VECTOR& v = model.points[p].position;
    key[p] = 3411.04296875f * v.x + 64.04388f * v.y + 42.113f * v.z;
    item[p] = p;
  }
  Quicksort(key, item, 1, n);
  std::vector<int32_t> rep = Representatives(model);
  for (int first = 1; first <= n;) {
    int last = first;
    while (last + 1 <= n && key[last + 1] == key[first]) ++last;
    for (int x = first; x <= last; ++x) {
      const int e = item[x];
      if (rep[e] != e) continue;
      for (int y = x + 1; y <= last; ++y) {
        const int g = item[y];
        if (rep[g] != g) continue;
        const VECTOR& a = model.points[e].position;
        const VECTOR& b = model.points[g].position;
        if (a.x == b.x && a.y == b.y && a.z == b.z) {
          rep[g] = e;
          if (model.points[e].mirror == 0) model.points[e].mirror = model.points[g].mirror;
        }
      }
    }
    first = last + 1;
  }
  if (!Finish(model, rep, false)) {
    backup.restore(model);
    return TableFull();
  }
  return std::nullopt;
}

}  // namespace vexal::reference
