// Texture coordinates of the selected surfaces in one step: a flat,
// cylindrical or spherical projection along an axis (or the whole texture
// square per surface), then flip, rotation about the square's centre, scale
// and placement. ClearUV sets the selected surfaces' UVs to (0, 0).
#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

enum class ProjectionKind { kFlat = 0, kCylinder = 1, kSphere = 2, kFace = 3 };
enum class ProjectionAxis { kX = 0, kY = 1, kZ = 2 };

// The values of the UV Projection window; the defaults are its "Default".
struct UVProjection {
  ProjectionKind kind = ProjectionKind::kFlat;
  ProjectionAxis axis = ProjectionAxis::kX;
  float centerU = 0.5f, centerV = 0.5f;
  float scaleU = 1.0f, scaleV = 1.0f;
  bool flipU = false, flipV = false;
  float angle = 0.0f;       // degrees; the result turns by -angle
  bool useView = false;     // project in the view's rotated frame
};

// Every corner slot of every selected surface gets its UV; a triangle's
// slot 3 copies slot 0. With no selected surface nothing changes
// (kRefused, no undo step); otherwise one undo step.
CommandResult ProjectUV(Document& document, const UVProjection& projection);

// Selected surfaces get (0, 0) in all four slots; always one undo step.
CommandResult ClearUV(Document& document);

}  // namespace vexal
