// The words of every message the program shows: status texts, message boxes,
// questions, refusals of commands and tools, readers' reasons and warnings,
// and vexal-tool's error lines. The English text in the source is the key;
// the Japanese texts live in the gettext catalogue po/ja.po (domain "vexal"),
// compiled to vexal.mo at build time and looked up through GNU gettext.
//
// Source files mark a message by calling Translate or FormatMessage with a
// literal English text (xgettext extracts those two names; FormatMessage's
// text is a printf format, so a translation may reorder its values with
// %1$s-style positions). MarkMessage marks a literal that is translated later,
// where it is stored before it is shown.
#pragma once

#include <string>
#include <string_view>

#define MarkMessage(english) english

namespace vexal {

enum class MessageLanguage { kEnglish, kJapanese };

// The language a locale name stands for: Japanese for names starting "ja"
// ("ja", "ja_JP.UTF-8"), English for every other name, empty or not.
MessageLanguage LanguageOfLocale(std::string_view locale);

// The language of the environment, as the C library picks the message
// locale: the first non-empty of LC_ALL, LC_MESSAGES and LANG.
MessageLanguage LanguageFromEnvironment();

// The language for a value of the [System] Language setting: "en", "ja", or
// anything else ("auto", empty, unknown) for the environment's language.
MessageLanguage LanguageFromSetting(std::string_view setting);

// The language messages are given in from now on, for the whole process.
// Until the first call it is the environment's language.
void SetMessageLanguage(MessageLanguage language);
MessageLanguage CurrentMessageLanguage();

// The folder holding <lang>/LC_MESSAGES/vexal.mo. Without a call the
// catalogue is looked for beside the executable (../share/locale), in the
// installed locale folder and in the build tree, in that order.
void SetCatalogFolder(const std::string& folder);
// The folder in use, empty when no catalogue was found (Japanese texts then
// fall back to the English ones).
std::string CatalogFolder();

// The text of english in the current language; english itself when the
// language is English or the catalogue has no text for it. Never null; the
// result lives as long as the process.
const char* Translate(const char* english);

// Translate(format) filled in like printf.
std::string FormatMessage(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace vexal
