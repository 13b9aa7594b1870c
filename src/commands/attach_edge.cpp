// AttachEdge: a circular arc of new points and lines from the end A of one
// chain to the end B of another, leaving A in the direction the chain
// arrives at it. The arc is built in the camera's frame: it lies in the
// view plane, and the depth is stepped evenly from A to B.
#include <algorithm>
#include <cmath>

#include "commands/edit_frame.h"
#include "commands/attach_edge.h"
#include "commands/line_geometry.h"
#include "io/message_catalog.h"
#include "model/camera.h"
#include "model/table_room.h"

namespace vexal {
namespace {

constexpr double kPi = 3.14159265358979323846;

// (x, y) turned by angle about centre; z kept.
VECTOR TurnAbout(const VECTOR& point, const VECTOR& centre, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  const double x = point.x - centre.x, y = point.y - centre.y;
  return VECTOR(static_cast<float>(centre.x + x * c - y * s),
                static_cast<float>(centre.y + x * s + y * c), point.z);
}

}  // namespace

int ArcSegments(int attachLineSegment) { return attachLineSegment <= 2 ? 2 : std::min(attachLineSegment, 96); }

CommandResult RunAttachEdge(Document& document, int segments) {
  EditSteps steps;
  steps.syncMirror = true;
  const int n = ArcSegments(segments);
  return RunEdit(document, steps, [n](Document& target) {
    Model& model = target.model;
    ChainEnds ends;
    if (!FindChainEnds(model, ends)) {
      return CommandResult::Refused(Translate("select the two end points of two open chains"));
    }
    const VECTOR a = model.points[ends.a].position;
    const VECTOR aPrevious = model.points[ends.aPrevious].position;
    const VECTOR b = model.points[ends.b].position;
    const VECTOR bPrevious = model.points[ends.bPrevious].position;
    ClosestPoints closest;
    if (!ClosestPointsOfLines(a, aPrevious, b, bPrevious, closest)) {
      return CommandResult::Refused(Translate("the two end edges are parallel"));
    }
    const MATRIX toView = InverseViewMatrix(target, false);
    const MATRIX toWorld = ViewMatrix(target, false);
    const VECTOR sA = a.transformed(toView);
    const VECTOR sAPrevious = aPrevious.transformed(toView);
    const VECTOR sB = b.transformed(toView);
    const VECTOR sBPrevious = bPrevious.transformed(toView);
    // The centre: where the perpendiculars to the two end edges at A and B
    // meet in the view plane.
    const VECTOR d1(-(sA.y - sAPrevious.y), sA.x - sAPrevious.x, 0);
    const VECTOR d2(-(sB.y - sBPrevious.y), sB.x - sBPrevious.x, 0);
    const float det = d1.y * d2.x - d1.x * d2.y;
    if (!(std::fabs(det) >= 0.00001f)) {
      return CommandResult::Refused(Translate("the two end edges give no arc"));
    }
    const float wx = sB.x - sA.x, wy = sB.y - sA.y;
    const float u = (wy * d2.x - wx * d2.y) / det;
    const VECTOR centre(sA.x + u * d1.x, sA.y + u * d1.y, sA.z);
    // The signed angle from A to B about the centre, in the view plane.
    const double ax = sA.x - centre.x, ay = sA.y - centre.y;
    const double bx = sB.x - centre.x, by = sB.y - centre.y;
    const double between = std::atan2(ax * by - ay * bx, ax * bx + ay * by);
    const double shortAngle = std::fabs(between);
    // Leave A away from A': compare the first step of a positive turn with
    // the way back to A'.
    const VECTOR firstStep = TurnAbout(sA, centre, shortAngle / n);
    const double stepX = firstStep.x - sA.x, stepY = firstStep.y - sA.y;
    const double backX = sAPrevious.x - sA.x, backY = sAPrevious.y - sA.y;
    const double sign = stepX * backX + stepY * backY > 0 ? -1.0 : 1.0;
    // Turning that way, B is reached after the short or the long arc.
    double sweep = sign * between;
    if (sweep < 0) sweep += 2 * kPi;
    if (!HasRoomFor(model, n - 1, n, 0)) return CommandResult::Refused(TableFull());
    int previous = ends.a;
    for (int i = 1; i <= n; ++i) {
      int next = ends.b;
      if (i < n) {
        VECTOR v = TurnAbout(sA, centre, sign * sweep * i / n);
        v.z = sA.z + static_cast<float>(i) * (sB.z - sA.z) / static_cast<float>(n);
        const VECTOR world = v.transformed(toWorld);
        next = ++model.pointCount;
        model.points[next] = VERT{};
        SetPoint(model, next, world.x, world.y, world.z, kStateNormal, 0);
      }
      SetLine(model, ++model.lineCount, previous, next, kStateNormal);
      previous = next;
    }
    return CommandResult{};
  });
}

}  // namespace vexal
