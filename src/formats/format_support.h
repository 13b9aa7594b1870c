// Small helpers the model readers and writers share.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "formats/format.h"
#include "settings/settings.h"

namespace vexal {

// printf into a std::string, for reasons and warnings.
template <typename... Values>
std::string Format(const char* format, Values... values) {
  char text[256];
  const int length = std::snprintf(text, sizeof text, format, values...);
  if (length < 0) return {};
  if (static_cast<size_t>(length) < sizeof text) return text;
  std::string large(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(large.data(), large.size(), format, values...);
  large.resize(static_cast<size_t>(length));
  return large;
}

// The settings of a call, or the defaults when the caller gave none.
inline const Settings& SettingsOf(const FormatContext& context) {
  static const Settings defaults{};
  return context.settings ? *context.settings : defaults;
}

// A colour component kept within 0..255.
inline int Channel(int32_t value) { return value < 0 ? 0 : value > 255 ? 255 : value; }

}  // namespace vexal
