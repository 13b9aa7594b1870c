// Ready-made geometry appended to a document: a cube, a latitude-longitude
// sphere about the y axis and a capped cylinder along y, centred on the
// origin. Each generator finishes a half-drawn chain, deselects everything,
// appends its points, lines and surfaces (all selected, surfaces in the
// current palette material with zero UVs, points without mirror partners)
// and records one undo step. A shape that would take a table past 19,999
// records is refused before anything changes.
#pragma once

#include <array>
#include <string_view>

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Edge lengths a, b, c along x, y, z.
CommandResult AddCube(Document& document, float sizeX, float sizeY, float sizeZ);
// n points around each of the b - 1 rings and two poles.
CommandResult AddSphere(Document& document, float radius, int around, int bands);
// s + 1 rings of n points from y = h/2 down to -h/2 and two cap centres.
CommandResult AddCylinder(Document& document, float radius, float height, int around,
                          int heightSegments);

// The seven buttons of the primitive window, by the name `vexal-tool apply
// --primitive` takes ("cube", "sphere1" ... "cylinder3").
struct PrimitiveButton {
  std::string_view name;
  std::string_view caption;
};
const std::array<PrimitiveButton, 7>& PrimitiveButtons();
// Runs the button of that name; kUnknown for a name that is none.
CommandResult RunPrimitiveButton(Document& document, std::string_view name);

}  // namespace vexal
