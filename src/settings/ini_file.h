// A small INI file: bracketed sections holding "key=value" lines, as the
// Windows profile functions read and write them.
//
// Reading: LF or CR LF line ends (CR is dropped wherever it stands); a UTF-8
// byte order mark is skipped; blank lines, lines starting with ';' and lines
// without '=' are ignored; keys and values lose surrounding blanks, and a
// value wrapped in one pair of matching quotes (' or ") loses them. Nothing
// else in a value is special: backslashes, ';' and '=' are kept as they are.
// Section and key names match without regard to ASCII case. When a key
// occurs twice, the first occurrence wins; a section that occurs twice is
// searched in file order. Key lines before the first section belong to no
// section and are never found.
//
// Writing: sections and keys in the order they were first set, CR LF line
// ends, a blank line between sections.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vexal {

class IniFile {
 public:
  // Lines longer than this make Parse fail; no settings line comes near it.
  static constexpr size_t kMaxLineBytes = 64 * 1024;

  // Replaces the content with the parsed text. Returns false with a reason
  // (the line number) when a line is longer than kMaxLineBytes; the entries
  // before that line are kept.
  bool parse(std::string_view text, std::string* reason);

  // The first value of key in section, or null when there is none. The
  // pointer stays valid until the next call of parse or set.
  const std::string* find(std::string_view section, std::string_view key) const;

  // Sets key in section to value: replaces the first occurrence or appends
  // the key (and the section) at the end. Returns false, changing nothing,
  // when the section, key or value could not be read back as given (a line
  // break or NUL anywhere, ']' in a section, '=' in a key, or a section or
  // key that is empty or has surrounding blanks).
  bool set(std::string_view section, std::string_view key, std::string_view value);

  // The file text with CR LF line ends. A value with surrounding blanks, or
  // one that starts and ends with the same quote, is written in double quotes
  // so it reads back unchanged.
  std::string text() const;

 private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  std::vector<Section> sections_;
};

}  // namespace vexal
