#include <memory>
#include <vector>

#include "commands/corner_set.h"
#include "commands/edit_frame.h"
#include "commands/line_lookup.h"
#include "model/table_room.h"
#include "commands/triangulate.h"
#include "model/maintenance.h"
#include "model/table_room.h"

namespace vexal {
namespace {

bool Triangulable(const FACE& face) { return IsQuad(face) && face.material != kGuideMaterial; }

// The selected quads and, for each whose corners all have partners, the
// first other quad whose corners are exactly those partners.
std::vector<uint8_t> ChooseQuads(const Model& model) {
  std::vector<uint8_t> chosen(static_cast<size_t>(model.faceCount) + 1, 0);
  std::unique_ptr<SurfacesByCorners> byCorners;
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.state != kStateSelected || !Triangulable(face)) continue;
    chosen[s] = 1;
    CornerSet partners;
    if (!PartnerCorners(model, face, partners)) continue;
    if (!byCorners) byCorners = std::make_unique<SurfacesByCorners>(model, Triangulable);
    if (const int32_t mirror = byCorners->first(partners, s)) chosen[mirror] = 1;
  }
  return chosen;
}

}  // namespace

CommandResult TriangulateFaces(Document& document) {
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [](Document& doc) {
    Model& model = doc.model;
    const std::vector<uint8_t> chosen = ChooseQuads(model);
    int count = 0;
    for (int s = 1; s <= model.faceCount; ++s) count += chosen[s];
    // One line and, in place of each quad, two triangles.
    if (!HasRoomFor(model, 0, count, count)) return CommandResult::Refused(TableFull());

    LineLookup lookup(model);
    std::vector<FACE> triangles;
    triangles.reserve(static_cast<size_t>(count) * 2);
    for (int s = 1; s <= model.faceCount; ++s) {
      if (!chosen[s]) continue;
      const FACE& quad = model.faces[s];
      const auto& c = quad.corners;
      const auto& r = quad.lines;
      const auto& uv = quad.uv;
      const int32_t partner0 = model.points[c[0]].mirror;
      const int32_t partner2 = model.points[c[2]].mirror;
      // A diagonal already cut in the mirror image is followed, so the two
      // sides of a symmetric model are cut alike.
      const bool acrossZeroTwo =
          ChooseQuadSplit(model, s) == 1 || lookup.find(partner0, partner2) != 0;
      const int32_t n = ++model.lineCount;
      FACE first = quad, second = quad;
      if (acrossZeroTwo) {
        model.lines[n] = LINE{c[0], c[2], kStateNormal};
        first.corners = {c[0], c[1], c[2], c[0]};
        first.lines = {r[0], r[1], -n, r[0]};
        first.uv = {uv[0], uv[1], uv[2], uv[0]};
        second.corners = {c[0], c[2], c[3], c[0]};
        second.lines = {n, r[2], r[3], n};
        second.uv = {uv[0], uv[2], uv[3], uv[0]};
      } else {
        model.lines[n] = LINE{c[1], c[3], kStateNormal};
        first.corners = {c[0], c[1], c[3], c[0]};
        first.lines = {r[0], n, r[3], r[0]};
        first.uv = {uv[0], uv[1], uv[3], uv[0]};
        second.corners = {c[1], c[2], c[3], c[1]};
        second.lines = {r[1], r[2], -n, r[1]};
        second.uv = {uv[1], uv[2], uv[3], uv[1]};
      }
      lookup.add(n, model.lines[n].a, model.lines[n].b);
      triangles.push_back(first);
      triangles.push_back(second);
    }

    // The quads go and the triangles follow the surfaces that stay, as
    // appending them and purging the quads would leave them, without ever
    // holding both in the table.
    int write = 0;
    for (int s = 1; s <= model.faceCount; ++s) {
      if (!chosen[s]) model.faces[++write] = model.faces[s];
    }
    for (const FACE& triangle : triangles) model.faces[++write] = triangle;
    model.faceCount = write;
    DeselectAll(model);
    return CommandResult{};
  });
}

}  // namespace vexal
