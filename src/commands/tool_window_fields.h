// The field rules of the Grid, Random Position and Drawing windows, kept
// out of the widgets so that they are testable: a field's text is turned
// into the value the setting takes and the text the field then shows.
#pragma once

#include <string>
#include <string_view>

#include "settings/settings.h"

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

}  // namespace vexal
