#include <memory>
#include <utility>
#include <vector>

#include "commands/corner_set.h"
#include "commands/edit_frame.h"
#include "commands/quadrangulate.h"
#include "model/maintenance.h"

namespace vexal {
namespace {

bool Mergeable(const FACE& face) { return !IsQuad(face) && face.material != kGuideMaterial; }

std::vector<uint8_t> ChooseTriangles(const Model& model) {
  std::vector<uint8_t> chosen(static_cast<size_t>(model.faceCount) + 1, 0);
  std::unique_ptr<SurfacesByCorners> byCorners;
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.state != kStateSelected || !Mergeable(face)) continue;
    chosen[s] = 1;
    CornerSet partners;
    if (!PartnerCorners(model, face, partners)) continue;
    if (!byCorners) byCorners = std::make_unique<SurfacesByCorners>(model, Mergeable);
    if (const int32_t mirror = byCorners->first(partners, s)) chosen[mirror] = 1;
  }
  return chosen;
}

// A line shared by two chosen triangles: h uses it at slot m, l at slot n.
struct Candidate {
  int32_t line = 0;
  int32_t h = 0, m = 0;
  int32_t l = 0, n = 0;
  float score = 0;
};

int Slot(int slot) { return slot % 3; }

// The merge rules; fills the score (longer of diagonal and shared edge
// over the shorter) when the pair may merge.
bool MayMerge(const Model& model, Candidate& candidate) {
  const FACE& h = model.faces[candidate.h];
  const FACE& l = model.faces[candidate.l];
  const int m = candidate.m, n = candidate.n;
  const int32_t hm = h.corners[m], hm1 = h.corners[Slot(m + 1)], hm2 = h.corners[Slot(m + 2)];
  const int32_t ln = l.corners[n], ln1 = l.corners[Slot(n + 1)], ln2 = l.corners[Slot(n + 2)];
  auto at = [&model](int32_t point) { return model.points[point].position; };
  const float apexes = (at(hm2) - at(ln2)).length();
  const float shared = (at(hm1) - at(ln1)).length();
  if (apexes < 0.0001f || shared < 0.0001f) return false;
  if (h.material != l.material) return false;
  const VECTOR v = at(hm2) - at(hm1);
  const VECTOR w = at(hm2) - at(hm);
  const VECTOR a = at(ln2) - at(ln1);
  const VECTOR b = at(ln2) - at(ln);
  const VECTOR c = v.cross(w).normalized();
  const VECTOR d = a.cross(b).normalized();
  const VECTOR e = v.cross(b).normalized();
  const VECTOR f = w.cross(a).normalized();
  // Within 45 degrees of one plane, and a convex quad.
  if (!(c.dot(d) > 0.70710677f) || !(e.dot(f) < 0.0f)) return false;
  // The two run the shared edge in opposite directions...
  if (hm != ln1 || hm1 != ln) return false;
  // ...and no UV seam runs along it.
  if (!(h.uv[m] == l.uv[Slot(n + 1)]) || !(h.uv[Slot(m + 1)] == l.uv[n])) return false;
  candidate.score = apexes > shared ? apexes / shared : shared / apexes;
  return true;
}

// Ascending by score; equal scores may change places as the gaps dictate,
// so the order of ties is that of this sort and no other.
void CombSort(std::vector<Candidate>& candidates) {
  const int count = static_cast<int>(candidates.size());
  int gap = count;
  for (;;) {
    gap = (gap * 10 + 3) / 13;
    if (gap == 9 || gap == 10) gap = 11;
    bool swapped = false;
    for (int i = 0; i + gap < count; ++i) {
      if (candidates[i].score > candidates[i + gap].score) {
        std::swap(candidates[i], candidates[i + gap]);
        swapped = true;
      }
    }
    if (gap <= 1 && !swapped) break;
  }
}

}  // namespace

CommandResult QuadrangulateFaces(Document& document) {
  EditSteps steps;
  steps.purgeMarked = true;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [](Document& doc) {
    Model& model = doc.model;
    const std::vector<uint8_t> chosen = ChooseTriangles(model);

    // Per line: how many chosen triangle sides use it, the first two uses,
    // and how many surfaces of any kind use it.
    struct Uses {
      int32_t count = 0;
      int32_t all = 0;
      int32_t surface[2] = {0, 0};
      int32_t slot[2] = {0, 0};
    };
    std::vector<Uses> uses(static_cast<size_t>(model.lineCount) + 1);
    for (int s = 1; s <= model.faceCount; ++s) {
      const FACE& face = model.faces[s];
      const int corners = CornerCount(face);
      for (int j = 0; j < corners; ++j) {
        const int32_t line = face.lines[j] < 0 ? -face.lines[j] : face.lines[j];
        if (line == 0) continue;
        Uses& use = uses[line];
        ++use.all;
        if (!chosen[s]) continue;
        if (use.count < 2) {
          use.surface[use.count] = s;
          use.slot[use.count] = j;
        }
        ++use.count;
      }
    }

    std::vector<Candidate> candidates;
    std::vector<uint8_t> isCandidate(uses.size(), 0);
    for (int k = 1; k <= model.lineCount; ++k) {
      const Uses& use = uses[k];
      if (use.count != 2) continue;
      Candidate candidate{k, use.surface[0], use.slot[0], use.surface[1], use.slot[1], 0.0f};
      if (!MayMerge(model, candidate)) continue;
      candidates.push_back(candidate);
      isCandidate[k] = 1;
    }
    CombSort(candidates);

    std::vector<const Candidate*> acceptedByLine(uses.size(), nullptr);
    for (const Candidate& candidate : candidates) {
      if (!isCandidate[candidate.line]) continue;
      acceptedByLine[candidate.line] = &candidate;
      for (int32_t surface : {candidate.h, candidate.l}) {
        for (int j = 0; j < 3; ++j) {
          const int32_t reference = model.faces[surface].lines[j];
          const int32_t line = reference < 0 ? -reference : reference;
          if (line != candidate.line) isCandidate[line] = 0;
        }
      }
    }

    for (int k = 1; k <= model.lineCount; ++k) {
      const Candidate* accepted = acceptedByLine[k];
      if (!accepted) continue;
      FACE& h = model.faces[accepted->h];
      FACE& l = model.faces[accepted->l];
      const int m = accepted->m, n = accepted->n;
      FACE quad = h;
      quad.corners = {h.corners[Slot(m + 2)], h.corners[m], l.corners[Slot(n + 2)], l.corners[n]};
      quad.lines = {h.lines[Slot(m + 2)], l.lines[Slot(n + 1)], l.lines[Slot(n + 2)],
                    h.lines[Slot(m + 1)]};
      quad.uv = {h.uv[Slot(m + 2)], h.uv[m], l.uv[Slot(n + 2)], l.uv[n]};
      quad.state = h.state == kStateHidden && l.state == kStateHidden ? kStateHidden : kStateNormal;
      h = quad;
      l.state = kStateRemoved;
      // The shared line goes unless a surface that stays still runs along it.
      if (uses[k].all == 2) model.lines[k].state = kStateRemoved;
    }
    DeselectAll(model);
    return CommandResult{};
  });
}

}  // namespace vexal
