// The key list of the settings file: section, key and the Settings field it
// fills, in file order. Loading and saving both walk this one list, so every
// key that is read is also written.
#pragma once

#include <span>
#include <string>

#include "settings/settings.h"

namespace vexal {

struct SettingsKey {
  enum class Kind { kInteger, kFloat, kText };
  const char* section;
  const char* name;
  Kind kind;
  // Exactly the one matching kind is set.
  int Settings::*integer = nullptr;
  float Settings::*real = nullptr;
  std::string Settings::*text = nullptr;
};

// All 140 keys, in the order the file holds them: [System], [Window],
// [Main], [FileHistory], [FileFormat].
std::span<const SettingsKey> SettingsKeys();

}  // namespace vexal
