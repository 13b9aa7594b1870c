#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "commands/edit_frame.h"
#include "commands/uv_projection.h"
#include "model/camera.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

constexpr float kPi = 3.1415927f;

// The turn about the view axis: 0 when both are 0, else the angle of
// (a, c) measured so that the seam lies along -y.
float AngleOf(float a, float c) {
  if (a == 0 && c == 0) return 0;
  if (c == 0) return a >= 0 ? -kPi / 2 : kPi / 2;
  if (c > 0) return -std::atan(a / c);
  return kPi - std::atan(a / c);
}

// The frame whose z axis is the projection axis.
MATRIX ProjectionFrame(const Document& document, const UVProjection& projection) {
  MATRIX frame = projection.useView ? ViewMatrix(document, false) : MATRIX();
  MATRIX axis;
  if (projection.axis == ProjectionAxis::kX) {
    axis = MATRIX({0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1});  // (x,y,z) -> (-z, y, x)
  } else if (projection.axis == ProjectionAxis::kY) {
    axis = MATRIX({1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1});  // (x,y,z) -> (x, -z, y)
  }
  return frame * axis;
}

UV RawUV(ProjectionKind kind, const VECTOR& q, int slot) {
  switch (kind) {
    case ProjectionKind::kFlat: return {(q.x + 1) / 2, (q.y + 1) / 2};
    case ProjectionKind::kCylinder: return {AngleOf(q.x, -q.y) / (2 * kPi), (q.z + 1) / 2};
    case ProjectionKind::kSphere: {
      float elevation = 0;
      const float flat = std::sqrt(q.x * q.x + q.y * q.y);
      if (flat != 0) {
        elevation = std::atan(q.z / flat);
      } else if (q.z != 0) {
        elevation = q.z > 0 ? kPi / 2 : -kPi / 2;
      }
      return {AngleOf(q.x, -q.y) / (2 * kPi), elevation / kPi + 0.5f};
    }
    case ProjectionKind::kFace: {
      constexpr UV kSquare[4] = {{1, 1}, {0, 1}, {0, 0}, {1, 0}};
      return kSquare[slot];
    }
  }
  return {};
}

}  // namespace

CommandResult ProjectUV(Document& document, const UVProjection& projection) {
  return RunEdit(document, EditSteps{}, [&](Document& doc) {
    Model& model = doc.model;
    const MATRIX frame = ProjectionFrame(doc, projection);
    float low[3], high[3];
    std::fill(low, low + 3, std::numeric_limits<float>::max());
    std::fill(high, high + 3, std::numeric_limits<float>::lowest());
    bool any = false;
    for (int s = 1; s <= model.faceCount; ++s) {
      const FACE& face = model.faces[s];
      if (face.state != kStateSelected) continue;
      any = true;
      for (int32_t corner : face.corners) {
        const VECTOR p = model.points[corner].position.transformed(frame);
        const float c[3] = {p.x, p.y, p.z};
        for (int axis = 0; axis < 3; ++axis) {
          low[axis] = std::min(low[axis], c[axis]);
          high[axis] = std::max(high[axis], c[axis]);
        }
      }
    }
    if (!any) return CommandResult::Refused(Translate("no surface is selected"));
    float centre[3], factor[3];
    for (int axis = 0; axis < 3; ++axis) {
      float size = high[axis] - low[axis];
      // A selection flat along an axis still gets a box to divide by.
      if (size < 0.00001f) {
        low[axis] -= 0.000005f;
        high[axis] += 0.000005f;
        size = 0.00001f;
      }
      centre[axis] = (low[axis] + high[axis]) / 2;
      factor[axis] = 2 / size;
    }
    const bool seam =
        projection.kind == ProjectionKind::kCylinder || projection.kind == ProjectionKind::kSphere;
    const float turn = -projection.angle * 0.017453292f;
    const float cosine = std::cos(turn), sine = std::sin(turn);
    // A point shared by several surfaces is projected once.
    std::vector<UV> pointUV(static_cast<size_t>(model.pointCount) + 1);
    std::vector<uint8_t> projected(pointUV.size(), 0);
    auto rawAt = [&](int32_t point) {
      if (!projected[static_cast<size_t>(point)]) {
        const VECTOR p = model.points[point].position.transformed(frame);
        const VECTOR q((p.x - centre[0]) * factor[0], (p.y - centre[1]) * factor[1],
                       (p.z - centre[2]) * factor[2]);
        pointUV[static_cast<size_t>(point)] = RawUV(projection.kind, q, 0);
        projected[static_cast<size_t>(point)] = 1;
      }
      return pointUV[static_cast<size_t>(point)];
    };
    for (int s = 1; s <= model.faceCount; ++s) {
      FACE& face = model.faces[s];
      if (face.state != kStateSelected) continue;
      UV raw[4];
      for (int slot = 0; slot < 4; ++slot) {
        raw[slot] = projection.kind == ProjectionKind::kFace ? RawUV(projection.kind, VECTOR(), slot)
                                                             : rawAt(face.corners[slot]);
      }
      // Each corner is compared with corner 0 as flipped, so a flip does
      // not tear the surfaces at the seam.
      const float u0 = projection.flipU ? 1 - raw[0].u : raw[0].u;
      const int corners = CornerCount(face);
      for (int slot = 0; slot < corners; ++slot) {
        float u = projection.flipU ? 1 - raw[slot].u : raw[slot].u;
        float v = projection.flipV ? 1 - raw[slot].v : raw[slot].v;
        if (seam) {
          if (u - u0 > 0.5f) u -= 1;
          if (u - u0 < -0.5f) u += 1;
        }
        const float du = u - 0.5f, dv = v - 0.5f;
        u = 0.5f + du * cosine - dv * sine;
        v = 0.5f + du * sine + dv * cosine;
        face.uv[slot] = {(u - 0.5f) * projection.scaleU + projection.centerU,
                         ((1 - v) - 0.5f) * projection.scaleV + projection.centerV};
      }
      if (corners == 3) face.uv[3] = face.uv[0];
    }
    return CommandResult{};
  });
}

}  // namespace vexal
