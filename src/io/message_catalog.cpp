#include "io/message_catalog.h"

#include <libintl.h>
#include <locale.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

namespace vexal {
namespace {

constexpr const char* kDomain = "vexal";

// -1 until the first use decides from the environment.
std::atomic<int> gLanguage{-1};
std::mutex gCatalogMutex;
bool gCatalogBound = false;
std::string gCatalogFolder;
bool gFolderChosen = false;

bool HoldsCatalogue(const std::filesystem::path& folder) {
  std::error_code error;
  return std::filesystem::is_regular_file(folder / "ja" / "LC_MESSAGES" / "vexal.mo", error);
}

std::string FindCatalogFolder() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const std::filesystem::path beside = executable.parent_path().parent_path() / "share" / "locale";
    if (HoldsCatalogue(beside)) return beside.string();
  }
#ifdef VEXAL_INSTALLED_LOCALE_DIR
  if (HoldsCatalogue(VEXAL_INSTALLED_LOCALE_DIR)) return VEXAL_INSTALLED_LOCALE_DIR;
#endif
#ifdef VEXAL_BUILD_LOCALE_DIR
  if (HoldsCatalogue(VEXAL_BUILD_LOCALE_DIR)) return VEXAL_BUILD_LOCALE_DIR;
#endif
  return {};
}

// gettext answers from the message locale; a system without a Japanese locale
// installed still gets the Japanese texts: any message locale but "C" lets
// LANGUAGE name the catalogue.
void BindCatalogLocked() {
  if (gCatalogBound) return;
  gCatalogBound = true;
  if (!gFolderChosen) gCatalogFolder = FindCatalogFolder();
  if (gCatalogFolder.empty()) return;
  bindtextdomain(kDomain, gCatalogFolder.c_str());
  bind_textdomain_codeset(kDomain, "UTF-8");
  const char* current = setlocale(LC_MESSAGES, nullptr);
  if (current == nullptr || std::string_view(current) == "C" || std::string_view(current) == "POSIX") {
    if (setlocale(LC_MESSAGES, "C.UTF-8") == nullptr) setlocale(LC_MESSAGES, "C.utf8");
  }
  setenv("LANGUAGE", "ja", 1);
}

}  // namespace

MessageLanguage LanguageOfLocale(std::string_view locale) {
  return locale.substr(0, 2) == "ja" ? MessageLanguage::kJapanese : MessageLanguage::kEnglish;
}

MessageLanguage LanguageFromEnvironment() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return LanguageOfLocale(value);
  }
  return MessageLanguage::kEnglish;
}

MessageLanguage LanguageFromSetting(std::string_view setting) {
  if (setting == "en") return MessageLanguage::kEnglish;
  if (setting == "ja") return MessageLanguage::kJapanese;
  return LanguageFromEnvironment();
}

void SetMessageLanguage(MessageLanguage language) { gLanguage = static_cast<int>(language); }

MessageLanguage CurrentMessageLanguage() {
  int language = gLanguage;
  if (language < 0) {
    language = static_cast<int>(LanguageFromEnvironment());
    int unset = -1;
    gLanguage.compare_exchange_strong(unset, language);
    language = gLanguage;
  }
  return static_cast<MessageLanguage>(language);
}

void SetCatalogFolder(const std::string& folder) {
  std::lock_guard lock(gCatalogMutex);
  gCatalogFolder = folder;
  gFolderChosen = true;
  gCatalogBound = false;
}

std::string CatalogFolder() {
  std::lock_guard lock(gCatalogMutex);
  if (!gFolderChosen && !gCatalogBound) return FindCatalogFolder();
  return gCatalogFolder;
}

const char* Translate(const char* english) {
  if (english == nullptr || *english == '\0') return "";
  if (CurrentMessageLanguage() == MessageLanguage::kEnglish) return english;
  std::lock_guard lock(gCatalogMutex);
  BindCatalogLocked();
  if (gCatalogFolder.empty()) return english;
  return dgettext(kDomain, english);
}

std::string FormatMessage(const char* format, ...) {
  const char* text = Translate(format);
  std::va_list arguments;
  va_start(arguments, format);
  std::va_list again;
  va_copy(again, arguments);
  const int length = std::vsnprintf(nullptr, 0, text, arguments);
  va_end(arguments);
  std::string result;
  if (length > 0) {
    result.resize(static_cast<size_t>(length) + 1);
    std::vsnprintf(result.data(), result.size(), text, again);
    result.resize(static_cast<size_t>(length));
  }
  va_end(again);
  return result;
}

}  // namespace vexal
