// Small helpers the model readers and writers share.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "formats/format.h"
#include "io/message_catalog.h"
#include "model/model.h"
#include "settings/settings.h"

namespace vexal {

// A reason or a warning: format is the English text of a message of the
// catalogue (xgettext extracts Format as it does FormatMessage), looked up in
// the message language and filled in like printf.
template <typename... Values>
std::string Format(const char* english, Values... values) {
  const char* format = Translate(english);
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

// A face read from a file as count (3 or 4) corners, with a corner that
// repeats its neighbour (a zero-length edge) taken once. Returns the corners
// left: 4, or 3 with corners[3] repeating corners[0] as the model stores a
// triangle (the UVs move with their corners); 0 when fewer than three
// distinct corners remain or a quad's opposite corners meet, which no
// surface can hold. A quad kept with a repeated corner would read as a
// triangle once its winding is reversed, with four edges for three sides.
inline int CollapseRepeatedCorners(std::array<int32_t, 4>& corners, std::array<UV, 4>& uv,
                                   int count) {
  std::array<int32_t, 4> keptCorners{};
  std::array<UV, 4> keptUv{};
  int kept = 0;
  for (int i = 0; i < count; ++i) {
    const auto at = static_cast<size_t>(i);
    if (corners[at] == corners[static_cast<size_t>((i + 1) % count)]) continue;
    keptCorners[static_cast<size_t>(kept)] = corners[at];
    keptUv[static_cast<size_t>(kept)] = uv[at];
    ++kept;
  }
  if (kept < 3) return 0;
  if (kept == 4 && (keptCorners[0] == keptCorners[2] || keptCorners[1] == keptCorners[3])) return 0;
  if (kept == 3 && keptCorners[0] == keptCorners[2]) return 0;
  if (kept == 3) {
    keptCorners[3] = keptCorners[0];
    keptUv[3] = keptUv[0];
  }
  corners = keptCorners;
  uv = keptUv;
  return kept;
}

// A colour component kept within 0..255.
inline int Channel(int32_t value) { return value < 0 ? 0 : value > 255 ? 255 : value; }

}  // namespace vexal
