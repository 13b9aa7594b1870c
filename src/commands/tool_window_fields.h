// The field rules of the tool windows and dialogs, kept out of the widgets
// so that they are testable: a field's text is turned into the value the
// setting takes and the text the field then shows, and the values a
// window's command receives are brought into range as its fields would.
#pragma once

#include <string>
#include <string_view>

#include "commands/background_pictures.h"
#include "commands/make_pipe.h"
#include "commands/material_utility.h"
#include "commands/numeric_transform.h"
#include "commands/uv_projection.h"
#include "settings/settings.h"
#include "tools/number_field.h"
#include "tools/palette_panel.h"

namespace vexal {

// A value shown with at most six decimals and no trailing zeros
// ("0.125", "1000000", "0").
std::string FormatFieldNumber(double value);

struct FloatField {
  float value = 0.0f;
  std::string text;
};
// A grid width or random range: the typed number rounded through the
// display format; not a number, or not above 0, gives 0.125; 1000000 or
// more gives 1000000.
FloatField NormalizeWidthField(std::string_view text);

// The arc segments of the Drawing window: not a number gives 6, 2 or less
// gives 2, 96 or more gives 96.
int NormalizeSegmentField(std::string_view text);

// Which axis fields of a window: X, Y, Z.
enum class WidthWindow { kGrid, kRandom };
// Writes a window's three check boxes and three fields into the settings,
// each field normalised; returns the texts the fields show.
struct WidthWindowValues {
  bool checks[3] = {true, true, true};
  std::string fields[3];
};
void StoreWidthWindow(WidthWindow window, WidthWindowValues& values, Settings& settings);
// The values a window shows from the settings.
WidthWindowValues LoadWidthWindow(WidthWindow window, const Settings& settings);

// The UV Projection window's rotation buttons "0", "90", "180", "270" and
// "Arbitrary": the button an angle checks, the angle a checked button gives
// (the angle field's with "Arbitrary"), and whether the angle field can be
// edited (with "Arbitrary" only).
inline constexpr int kArbitraryRotation = 4;
int ProjectionRotationButton(float angle);
float ProjectionAngle(int button, float fieldAngle);
bool ProjectionAngleFieldEnabled(int button);

// A value read as the text its field would show, then normalised by the
// field's rule: out-of-range values take the rule's limit or default, and
// non-finite ones its default.
int IntFieldValue(int value, const IntFieldRule& rule);
float FloatFieldValue(float value, const FloatFieldRule& rule);

// Each window's values as its fields would leave them: segments, radius and
// offset of the Pipe window; centre, scale and angle of UV Projection; the
// nine numbers of Enter A Number; the smoothing angle of Utility; the scale
// and depth of the background pictures; the opacity, smoothing angle and
// (when empty) the name of a colour window on palette entry `material`.
PipeParameters PipeFieldValues(const PipeParameters& values);
UVProjection ProjectionFieldValues(const UVProjection& values);
NumericValues NumericFieldValues(const NumericValues& values);
MaterialRewrites UtilityFieldValues(const MaterialRewrites& values);
PictureValues PictureFieldValues(const PictureValues& values);
MaterialEdit ColorFieldValues(const MaterialEdit& values, int material);

}  // namespace vexal
