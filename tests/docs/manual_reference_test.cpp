// The user manual's reference tables against the program's own tables: the
// menu reference against the command table, the settings page against the
// settings keys and their defaults, and the links and pictures between the
// pages. A menu item, key or default that changes without its page fails here.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "commands/command_table.h"
#include "settings/settings.h"
#include "settings/settings_keys.h"

namespace vexal {
namespace {

namespace fs = std::filesystem;

const fs::path kManual = fs::path(VEXAL_TEST_DATA) / ".." / ".." / "docs" / "manual";

std::string ReadPage(const std::string& name) {
  std::ifstream in(kManual / name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The text of a cell without the backticks of a code span around all of it
// (two backticks and a blank where the text is a backtick itself).
std::string Unquoted(const std::string& cell) {
  if (cell.size() >= 6 && cell.rfind("`` ", 0) == 0 && cell.ends_with(" ``")) {
    return cell.substr(3, cell.size() - 6);
  }
  if (cell.size() >= 2 && cell.front() == '`' && cell.back() == '`') {
    return cell.substr(1, cell.size() - 2);
  }
  return cell;
}

// One row of a Markdown table under the heading it stands below.
struct TableRow {
  std::string heading;
  std::vector<std::string> cells;
};

// The body rows of every table of a page (header and rule rows left out);
// headings of the given level ("## " or "### ") name the rows below them.
std::vector<TableRow> TableRows(const std::string& page, const std::string& headingMark) {
  std::vector<TableRow> rows;
  std::istringstream lines(page);
  std::string line;
  std::string heading;
  bool header = true;
  while (std::getline(lines, line)) {
    if (line.rfind(headingMark, 0) == 0) {
      heading = Trim(line.substr(headingMark.size()));
      continue;
    }
    if (line.empty() || line.front() != '|') {
      header = true;
      continue;
    }
    if (header || line.rfind("|---", 0) == 0) {
      header = false;
      continue;
    }
    TableRow row{heading, {}};
    std::string cell;
    for (size_t i = 1; i < line.size(); ++i) {
      if (line[i] == '|') {
        row.cells.push_back(Trim(cell));
        cell.clear();
      } else {
        cell += line[i];
      }
    }
    rows.push_back(row);
  }
  return rows;
}

// The key a default shortcut binds, as the manual names it: the legend of
// the key on a US keyboard, where the application binds the punctuation
// codes (the shortcut dialog's names for them are other layouts' legends).
// Keys the shortcut dialog cannot offer (arrows, Enter) are named here too.
std::string KeyText(ShortcutValue value) {
  if (value == 0) return "";
  static const std::map<int, std::string> kLegends = {
      {0x0D, "Enter"}, {0x25, "Left"}, {0x26, "Up"}, {0x27, "Right"}, {0x28, "Down"},
      {0xBA, ";"},     {0xBB, "="},    {0xC0, "`"},  {0xDE, "'"}};
  const auto legend = kLegends.find(value & 0xFF);
  if (legend == kLegends.end()) {
    const std::string text = ShortcutText(value);
    return ShortcutText(value & 0xFF).empty() ? text + "?" : text;
  }
  return ShortcutText(value & 0xFF00) + legend->second;
}

// Menu, caption, bound default key and name of one item, as the menu
// reference gives them in its columns Command, Keys and Name.
struct MenuEntry {
  std::string menu;
  std::string caption;
  std::string keys;
  std::string name;
  friend bool operator==(const MenuEntry&, const MenuEntry&) = default;
};

std::string Describe(const MenuEntry& entry) {
  return entry.menu + " > " + entry.caption + " [" + entry.keys + "] " + entry.name;
}

TEST(ManualReference, MenuPageListsEveryCommandInMenuOrderWithItsCaptionAndBoundKey) {
  std::map<std::string, ShortcutValue> bound;
  for (const ShortcutEntry& entry : BoundShortcuts(DefaultShortcuts())) {
    bound[entry.name] = entry.value;
  }
  std::vector<MenuEntry> expected;
  for (const CommandMenu& menu : MainMenu()) {
    for (const CommandItem& item : menu.items) {
      if (item.separator()) continue;
      const std::string name(item.name);
      expected.push_back({std::string(menu.caption), std::string(item.caption),
                          KeyText(bound.at(name)), name});
    }
  }
  const std::string page = ReadPage("menus.md");
  ASSERT_FALSE(page.empty()) << "missing " << (kManual / "menus.md");
  std::vector<MenuEntry> documented;
  for (const TableRow& row : TableRows(page, "## ")) {
    if (row.cells.size() < 4 || row.cells[2].size() < 3 || row.cells[2].front() != '`') continue;
    const std::string keys = Unquoted(row.cells[1]);
    documented.push_back(
        {row.heading, row.cells[0], keys == "—" ? "" : keys, Unquoted(row.cells[2])});
    EXPECT_FALSE(row.cells[3].empty()) << "no description: " << Describe(documented.back());
  }
  std::set<std::string> documentedNames;
  for (const MenuEntry& entry : documented) documentedNames.insert(entry.name);
  for (const MenuEntry& entry : expected) {
    EXPECT_TRUE(documentedNames.count(entry.name)) << "menus.md has no entry for " << Describe(entry);
  }
  for (const MenuEntry& entry : documented) {
    EXPECT_NE(FindCommand(entry.name), nullptr) << "menus.md names no command: " << Describe(entry);
  }
  const size_t common = std::min(expected.size(), documented.size());
  for (size_t i = 0; i < common; ++i) {
    if (!(expected[i] == documented[i])) {
      ADD_FAILURE() << "menus.md row " << i + 1 << " reads " << Describe(documented[i])
                    << "; the menu has " << Describe(expected[i]);
      break;
    }
  }
  EXPECT_EQ(documented.size(), expected.size());
}

std::string DefaultText(const SettingsKey& key) {
  const Settings defaults;
  switch (key.kind) {
    case SettingsKey::Kind::kInteger: {
      const int value = defaults.*key.integer;
      return value == kUnsetPlacement ? "unset" : std::to_string(value);
    }
    case SettingsKey::Kind::kFloat: {
      char text[32];
      std::snprintf(text, sizeof text, "%g", static_cast<double>(defaults.*key.real));
      return text;
    }
    case SettingsKey::Kind::kText: {
      const std::string& value = defaults.*key.text;
      return value.empty() ? "empty" : value;
    }
  }
  return "?";
}

TEST(ManualReference, SettingsPageGivesEveryKeyInItsSectionWithItsDefault) {
  const std::string page = ReadPage("settings.md");
  ASSERT_FALSE(page.empty()) << "missing " << (kManual / "settings.md");
  // Section and key -> the default column of the row that names the key; a
  // row may name several keys of one default.
  std::map<std::pair<std::string, std::string>, std::string> documented;
  const std::regex codeSpan("`([A-Za-z0-9]+)`");
  for (const TableRow& row : TableRows(page, "### ")) {
    if (row.heading.size() < 3 || row.heading.front() != '[' || row.cells.size() < 3) continue;
    const std::string section = row.heading.substr(1, row.heading.size() - 2);
    for (std::sregex_iterator match(row.cells[0].begin(), row.cells[0].end(), codeSpan), end;
         match != end; ++match) {
      documented[{section, (*match)[1]}] = Unquoted(row.cells[1]);
    }
  }
  std::set<std::pair<std::string, std::string>> known;
  for (const SettingsKey& key : SettingsKeys()) {
    known.insert({key.section, key.name});
    const auto found = documented.find({key.section, key.name});
    if (found == documented.end()) {
      ADD_FAILURE() << "settings.md does not give [" << key.section << "] " << key.name;
      continue;
    }
    EXPECT_EQ(found->second, DefaultText(key)) << "default of [" << key.section << "] " << key.name;
  }
  for (const auto& [sectionAndKey, value] : documented) {
    EXPECT_TRUE(known.count(sectionAndKey))
        << "settings.md names [" << sectionAndKey.first << "] " << sectionAndKey.second
        << ", which the program does not read";
  }
}

// The id a page's heading gets: lower case, punctuation dropped, blanks
// turned into hyphens.
std::set<std::string> HeadingIds(const std::string& page) {
  std::set<std::string> ids;
  std::istringstream lines(page);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line.front() != '#') continue;
    std::string id;
    for (const char c : Trim(line.substr(line.find_first_not_of('#')))) {
      if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-') {
        id += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      } else if (c == ' ') {
        id += '-';
      }
    }
    ids.insert(id);
  }
  return ids;
}

TEST(ManualReference, EveryLinkAndPictureOfThePagesExistsAndEveryPictureIsShown) {
  const std::regex target(R"(\]\(([A-Za-z0-9_./-]*?)(#[A-Za-z0-9_-]*)?\))");
  std::set<std::string> shown;
  size_t pages = 0;
  for (const fs::directory_entry& file : fs::directory_iterator(kManual)) {
    if (file.path().extension() != ".md") continue;
    ++pages;
    const std::string page = ReadPage(file.path().filename().string());
    for (std::sregex_iterator match(page.begin(), page.end(), target), end; match != end;
         ++match) {
      const std::string link = (*match)[1];
      if (link.find("://") != std::string::npos) continue;
      fs::path source = link.empty() ? file.path() : kManual / link;
      if (source.extension() == ".html") source.replace_extension(".md");
      EXPECT_TRUE(fs::is_regular_file(source))
          << file.path().filename() << " links to " << link << ", which does not exist";
      const std::string anchor = (*match)[2];
      if (anchor.size() > 1 && fs::is_regular_file(source)) {
        EXPECT_TRUE(HeadingIds(ReadPage(source.filename().string())).count(anchor.substr(1)))
            << file.path().filename() << " links to " << link << anchor
            << ", which names no heading there";
      }
      if (link.rfind("images/", 0) == 0) shown.insert(fs::path(link).filename().string());
    }
  }
  EXPECT_GE(pages, 5u);
  for (const fs::directory_entry& image : fs::directory_iterator(kManual / "images")) {
    EXPECT_TRUE(shown.count(image.path().filename().string()))
        << image.path().filename() << " is shown on no page";
    EXPECT_LT(fs::file_size(image.path()), 120u * 1024) << image.path().filename() << " is large";
  }
  EXPECT_FALSE(shown.empty());
}

}  // namespace
}  // namespace vexal
