// The options of the System Configuration dialog: each switch of the
// settings with the caption the dialog shows, two of them shown inverted,
// and the line widths and colours it edits.
#pragma once

#include <span>
#include <string_view>

#include "tools/number_field.h"
#include "settings/settings.h"

namespace vexal {

struct SystemSwitch {
  std::string_view caption;
  int Settings::*field;
  bool inverted = false;  // the box is checked when the setting is 0
  std::string_view group;
};
std::span<const SystemSwitch> SystemSwitches();

struct SystemWidth {
  std::string_view caption;
  float Settings::*field;
  FloatFieldRule rule;
};
std::span<const SystemWidth> SystemWidths();

// Whole numbers of the [System] section: the undo ring of documents opened
// afterwards and the interval of the recovery copies.
struct SystemNumber {
  std::string_view caption;
  int Settings::*field;
  IntFieldRule rule;
};
std::span<const SystemNumber> SystemNumbers();

struct SystemColor {
  std::string_view caption;
  int Settings::*field;
};
std::span<const SystemColor> SystemColors();

// Reads and writes a switch as its box shows it.
bool SwitchChecked(const Settings& settings, const SystemSwitch& option);
void SetSwitchChecked(Settings& settings, const SystemSwitch& option, bool checked);

}  // namespace vexal
