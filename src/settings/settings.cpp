#include "settings/settings.h"

#include <pwd.h>
#include <unistd.h>

#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "io/file_bytes.h"
#include "io/message_catalog.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

namespace vexal {
namespace {

// A settings file is a few kilobytes; anything this large is not one, and
// refusing it keeps a stray path from driving a huge read.
constexpr std::uintmax_t kMaxSettingsFileBytes = 4u << 20;

void SetReason(std::string* reason, std::string text) {
  if (reason) *reason = std::move(text);
}

// Decimal with an optional sign, or hexadecimal after "0x" or "$" (colours
// are often typed that way; hex keeps all 32 bits, so 0xFFFFFFFF is -1).
// Anything else, including trailing text and values beyond 32 bits, is not a
// number.
bool ParseInteger(std::string_view text, int& out) {
  if (text.empty()) return false;
  const char* first = text.data();
  const char* last = first + text.size();
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    first += 2;
    base = 16;
  } else if (text.size() > 1 && text[0] == '$') {
    first += 1;
    base = 16;
  }
  if (base == 16) {
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, 16);
    if (error != std::errc() || end != last) return false;
    out = static_cast<int>(static_cast<int32_t>(value));
    return true;
  }
  if (*first == '+') {
    ++first;
    if (first == last || *first == '-') return false;
  }
  int value = 0;
  const auto [end, error] = std::from_chars(first, last, value, 10);
  if (error != std::errc() || end != last) return false;
  out = value;
  return true;
}

// Plain or exponent decimal. A lone ',' stands for the decimal point, as
// Windows writes floats under locales with a decimal comma. Infinities, NaN
// and values beyond float are not numbers here.
bool ParseFloat(std::string_view text, float& out) {
  std::string buffer(text);
  if (!buffer.empty() && buffer.front() == '+') {
    buffer.erase(0, 1);
    if (!buffer.empty() && buffer.front() == '-') return false;
  }
  const size_t comma = buffer.find(',');
  if (comma != std::string::npos && buffer.find('.') == std::string::npos &&
      buffer.find(',', comma + 1) == std::string::npos) {
    buffer[comma] = '.';
  }
  float value = 0.0f;
  const char* last = buffer.data() + buffer.size();
  const auto [end, error] = std::from_chars(buffer.data(), last, value);
  if (error != std::errc() || end != last || !std::isfinite(value)) return false;
  out = value;
  return true;
}

// Shortest decimal text that reads back as the same float, without an
// exponent so that any INI reader takes it.
std::string FormatFloat(float value) {
  char buffer[64];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  assert(error == std::errc());
  (void)error;
  return std::string(buffer, end);
}

template <typename T>
void KeepWithin(T& value, T lowest, T highest) {
  if (value <= lowest) value = lowest;
  if (value >= highest) value = highest;
}

void KeepPositive(float& value, float fallback, float highest) {
  if (value <= 0.0f) value = fallback;
  if (value >= highest) value = highest;
}

// A hand-edited file may hold values the tool windows and dialogs would
// never store, and the commands count on those windows' limits (a zero grid
// step divides, a huge segment count allocates). Loading applies the same
// limits the windows do.
void ApplyWindowLimits(Settings& settings) {
  const Settings defaults;
  constexpr float kLargest = 1000000.0f;
  KeepWithin(settings.PipeSegment, 3, 96);
  KeepPositive(settings.PipeRadius, defaults.PipeRadius, kLargest);
  KeepWithin(settings.PipeOffset, -360.0f, 360.0f);
  KeepWithin(settings.AttachLineSegment, 2, 96);
  for (float Settings::*width :
       {&Settings::GridWidthX, &Settings::GridWidthY, &Settings::GridWidthZ,
        &Settings::RandomWidthX, &Settings::RandomWidthY, &Settings::RandomWidthZ}) {
    KeepPositive(settings.*width, defaults.*width, kLargest);
  }
  for (const SettingsKey& key : SettingsKeys()) {
    const std::string_view name = key.name;
    if (key.kind == SettingsKey::Kind::kFloat && name.size() > 5 &&
        name.substr(name.size() - 5) == "Scale") {
      KeepPositive(settings.*key.real, defaults.*key.real, kLargest);
    }
  }
  KeepWithin(settings.UndoDepth, 2, 1000);
  KeepWithin(settings.AutoSaveSeconds, 0, 86400);
  KeepWithin(settings.MxTextureWidth, 0, 8192);
  KeepWithin(settings.MxTextureHeight, 0, 8192);
}

void FillFromFile(const IniFile& file, Settings& settings) {
  for (const SettingsKey& key : SettingsKeys()) {
    const std::string* value = file.find(key.section, key.name);
    if (value == nullptr) continue;
    switch (key.kind) {
      case SettingsKey::Kind::kInteger:
        ParseInteger(*value, settings.*key.integer);
        break;
      case SettingsKey::Kind::kFloat:
        ParseFloat(*value, settings.*key.real);
        break;
      case SettingsKey::Kind::kText:
        settings.*key.text = *value;
        break;
    }
  }
  // With ShowSubWindow off the stored visibility is ignored: only the
  // locate and palette windows come up.
  if (settings.ShowSubWindow == 0) {
    const Settings defaults;
    settings.ShowLocateWindow = 1;
    settings.ShowPaletteWindow = 1;
    settings.ShowGridWindow = defaults.ShowGridWindow;
    settings.ShowRandomWindow = defaults.ShowRandomWindow;
    settings.ShowAttachWindow = defaults.ShowAttachWindow;
    settings.ShowPipeWindow = defaults.ShowPipeWindow;
    settings.ShowNumericWindow = defaults.ShowNumericWindow;
    settings.ShowProjectionWindow = defaults.ShowProjectionWindow;
    settings.ShowPrimitiveWindow = defaults.ShowPrimitiveWindow;
  }
  ApplyWindowLimits(settings);
}

}  // namespace

std::string& FileHistoryEntry(Settings& settings, int index) {
  return const_cast<std::string&>(FileHistoryEntry(static_cast<const Settings&>(settings), index));
}

const std::string& FileHistoryEntry(const Settings& settings, int index) {
  static constexpr std::string Settings::*kEntries[kFileHistoryCount] = {
      &Settings::FileHistory00, &Settings::FileHistory01, &Settings::FileHistory02,
      &Settings::FileHistory03, &Settings::FileHistory04, &Settings::FileHistory05,
      &Settings::FileHistory06, &Settings::FileHistory07, &Settings::FileHistory08,
      &Settings::FileHistory09};
  assert(index >= 0 && index < kFileHistoryCount);
  return settings.*kEntries[index];
}

bool LoadSettings(const std::string& path, Settings& settings, std::string* reason) {
  settings = Settings{};
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) return true;
  if (error) {
    SetReason(reason, path + ": " + error.message());
    return false;
  }
  // Only a regular file: opening a pipe or device would block or never end.
  if (status.type() != std::filesystem::file_type::regular) {
    SetReason(reason, FormatMessage("%s: not a regular file", path.c_str()));
    return false;
  }
  if (std::filesystem::file_size(path, error) > kMaxSettingsFileBytes && !error) {
    SetReason(reason, FormatMessage("%s: too large for a settings file", path.c_str()));
    return false;
  }
  std::vector<uint8_t> bytes;
  std::string why;
  if (!ReadFileBytes(path, bytes, &why)) {
    SetReason(reason, path + ": " + why);
    return false;
  }
  IniFile file;
  if (!file.parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                  &why)) {
    SetReason(reason, path + ": " + why);
    return false;
  }
  FillFromFile(file, settings);
  return true;
}

bool SaveSettings(const std::string& path, const Settings& settings, std::string* reason) {
  IniFile file;
  for (const SettingsKey& key : SettingsKeys()) {
    std::string value;
    switch (key.kind) {
      case SettingsKey::Kind::kInteger:
        value = std::to_string(settings.*key.integer);
        break;
      case SettingsKey::Kind::kFloat:
        value = FormatFloat(settings.*key.real);
        break;
      case SettingsKey::Kind::kText:
        value = settings.*key.text;
        break;
    }
    // A text with a line break cannot be one INI value; it would even add
    // keys of its own. Such an entry (a history path, in practice) is written
    // empty, which the history menu skips.
    if (!file.set(key.section, key.name, value)) {
      const bool stored = file.set(key.section, key.name, "");
      assert(stored);
      (void)stored;
    }
  }
  file.set("System", "BootFirst", "1");

  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
      SetReason(reason, FormatMessage("%s: cannot create the folder: %s", folder.string().c_str(),
                                      error.message().c_str()));
      return false;
    }
  }
  OutputBuffer out;
  out.put(file.text());
  std::string why;
  if (!out.commit(path, &why)) {
    SetReason(reason, path + ": " + why);
    return false;
  }
  return true;
}

std::string ConfigFolder() {
  // Only an absolute XDG_CONFIG_HOME counts; a relative one is to be ignored.
  if (const char* configHome = std::getenv("XDG_CONFIG_HOME"); configHome && configHome[0] == '/')
    return std::string(configHome) + "/vexal";
  std::string home;
  if (const char* variable = std::getenv("HOME"); variable && variable[0] != '\0') {
    home = variable;
  } else {
    // No HOME (a service, a bare sudo): the account's own home folder.
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/')
      home = found->pw_dir;
  }
  if (home.empty()) return {};
  return home + "/.config/vexal";
}

bool IsPortable(const std::string& executablePath) {
  if (executablePath.empty()) return false;
  std::filesystem::path folder = std::filesystem::path(executablePath).parent_path();
  if (folder.empty()) folder = ".";
  std::error_code error;
  return std::filesystem::is_regular_file(folder / "vexal.ini", error);
}

std::string SettingsFilePath(const std::string& executablePath, const char* extension) {
  const std::string name = std::string("vexal") + (extension ? extension : "");
  if (IsPortable(executablePath)) {
    std::filesystem::path folder = std::filesystem::path(executablePath).parent_path();
    if (folder.empty()) folder = ".";
    return (folder / name).string();
  }
  const std::string folder = ConfigFolder();
  return folder.empty() ? std::string() : folder + "/" + name;
}

}  // namespace vexal
