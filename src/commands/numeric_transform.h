// The typed transforms of the "Enter A Number" window: move, scale or
// rotate the selected points by exact numbers, optionally along the axes
// of the current view, and the remembered position its last page keeps.
// The window only gathers the values; everything it does is here.
#pragma once

#include <string>

#include "commands/command_dispatcher.h"
#include "math/vector.h"
#include "model/document.h"

namespace vexal {

// The window's pages, in the order it shows them.
enum class NumericPage { kGo = 0, kScale = 1, kRotate = 2, kRememberPosition = 3 };

// Axis masks of the "X", "Y", "Z" and "XYZ" buttons.
inline constexpr int kAxisMaskX = 1;
inline constexpr int kAxisMaskY = 2;
inline constexpr int kAxisMaskZ = 4;
inline constexpr int kAxisMaskAll = 7;

// The nine fields, six check boxes and the remembered position. A default
// value is what "Default" leaves (the remembered position aside).
struct NumericValues {
  VECTOR go;                               // "Go": translation or target position
  VECTOR scale{100.0f, 100.0f, 100.0f};    // "Scale": percentages
  VECTOR rotate;                           // "Rotate": degrees about X, Y, Z
  bool placeNewCoordinate = false;         // "Place new coordinate"
  bool moveUsingView = false;              // "Move using current perspective"
  bool scaleAroundOrigin = false;          // "Scale around the origin"
  bool scaleUsingView = false;             // "Use the larger perspective"
  bool rotateAroundOrigin = false;         // "Rotate around the origin"
  bool rotateUsingView = false;            // "Rotate by using the current view"
  VECTOR remembered;                       // set by the "Remember position" buttons
};

// "Default": the fields and check boxes as a new window shows them; the
// remembered position is kept.
void ResetNumericFields(NumericValues& values);

// Transforms every point whose own state is 1 by the page's matrix (rows
// act left to right, V the camera rotation, only with the page's view box):
//   Go:     V^-1 x translation(t) x V; t = typed - pivot with "Place new
//           coordinate" (the view box is then ignored, so the pivot lands
//           on the typed position), else the typed values with x = 0 when
//           partnered points are selected on both sides of the plane;
//   Scale:  translation(-c) x V^-1 x scaling(typed / 100) x V x translation(c);
//   Rotate: translation(-c) x V^-1 x rotation(typed in radians) x V x translation(c),
//           every point keeping its x when pairs are selected on both sides;
//   Remember position: the identity (still one undo step).
// c is the origin when the page's origin box is checked, else the pivot
// (its x set to 0 for Scale when pairs are selected on both sides).
// Refused, with nothing changed and no undo step, when nothing is selected,
// when a value is not finite or when a result would not be.
CommandResult ApplyNumericPage(Document& document, NumericPage page, const NumericValues& values);

// "Location": moves every point whose own state is 1, and the pivot, by
// remembered - pivot on the masked axes (never along x when pairs are
// selected on both sides). Refused like ApplyNumericPage.
CommandResult MoveToRememberedPosition(Document& document, const VECTOR& remembered, int axisMask);

// "Remember position": copies the masked coordinates of the pivot.
void RememberPivot(NumericValues& values, const VECTOR& pivot, int axisMask);

// A pivot coordinate as the "Go" fields show it with "Place new
// coordinate" checked ("%3.6f": "1.500000", "-0.250000").
std::string PivotFieldText(float value);

}  // namespace vexal
