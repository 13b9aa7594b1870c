#include "io/message_catalog.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "support/message_language.h"

namespace vexal {
namespace {

// The Japanese texts the program has always shown, byte for byte (half-width
// katakana included), with the English text each now answers to.
TEST(MessageCatalog, JapaneseTextsAreKeptExactly) {
  const ScopedMessageLanguage japanese(MessageLanguage::kJapanese);
  ASSERT_FALSE(CatalogFolder().empty()) << "vexal.mo was not found";
  const std::string path = "/models/ship.vxl";
  const struct {
    std::string actual;
    std::string expected;
  } cases[] = {
      {FormatMessage("Selected vertices: %d", 12), "12個の頂点を選択"},
      {FormatMessage("Loaded in %u.%03u seconds", 1u, 34u), "読み込み 1.034 秒"},
      {FormatMessage("Could not open the file: %s", path.c_str()), "ﾌｧｲﾙｵｰﾌﾟﾝ失敗:" + path},
      {FormatMessage("Could not write the file: %s", path.c_str()), "書き込みｴﾗｰ:" + path},
      {Translate("Not done: the points, lines or surfaces would pass the limit of 19999"),
       "点・辺・面の数が上限の19999を超えるため実行できません"},
      {Translate("none"), "なし"},
      {FormatMessage("This shortcut is assigned to [%s]. Do you want to change it?", "New"),
       "このｼｮｰﾄｶｯﾄは [New] に割り当てられています。変更しますか？"},
      {Translate("Choose a folder"), "フォルダを選んで下さい"},
      // A translation may put the values in another order.
      {FormatMessage("the %s of material %d would pass %d characters", Translate("name"), 3, 63),
       "材質 3 の名前が 63 文字を超えます"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected);
}

TEST(MessageCatalog, EnglishIsTheSourceTextAndUnknownTextsPassThrough) {
  {
    const ScopedMessageLanguage english(MessageLanguage::kEnglish);
    EXPECT_EQ(FormatMessage("Selected vertices: %d", 3), "Selected vertices: 3");
    EXPECT_STREQ(Translate("none"), "none");
  }
  const ScopedMessageLanguage japanese(MessageLanguage::kJapanese);
  EXPECT_STREQ(Translate("a text nobody marked"), "a text nobody marked");
  EXPECT_STREQ(Translate(""), "");
}

TEST(MessageCatalog, LanguageFollowsTheLocaleAndTheSettingOverridesIt) {
  for (const auto& [locale, language] :
       {std::pair{"ja", MessageLanguage::kJapanese}, {"ja_JP.UTF-8", MessageLanguage::kJapanese},
        {"ja_JP.eucJP", MessageLanguage::kJapanese}, {"C.UTF-8", MessageLanguage::kEnglish},
        {"C", MessageLanguage::kEnglish}, {"en_GB.UTF-8", MessageLanguage::kEnglish},
        {"", MessageLanguage::kEnglish}, {"jv_ID", MessageLanguage::kEnglish}}) {
    EXPECT_EQ(LanguageOfLocale(locale), language) << locale;
  }
  // LC_ALL before LC_MESSAGES before LANG; empty values are skipped.
  const std::array<const char*, 3> names = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::array<std::string, 3> saved;
  std::array<bool, 3> had{};
  for (size_t i = 0; i < names.size(); ++i) {
    if (const char* value = getenv(names[i])) {
      saved[i] = value;
      had[i] = true;
    }
  }
  const struct {
    const char* all;
    const char* messages;
    const char* lang;
    MessageLanguage expected;
  } environments[] = {
      {"", "", "ja_JP.UTF-8", MessageLanguage::kJapanese},
      {"", "C.UTF-8", "ja_JP.UTF-8", MessageLanguage::kEnglish},
      {"ja_JP.UTF-8", "C.UTF-8", "C.UTF-8", MessageLanguage::kJapanese},
      {"", "", "", MessageLanguage::kEnglish},
  };
  for (const auto& e : environments) {
    setenv("LC_ALL", e.all, 1);
    setenv("LC_MESSAGES", e.messages, 1);
    setenv("LANG", e.lang, 1);
    EXPECT_EQ(LanguageFromEnvironment(), e.expected) << e.all << "|" << e.messages << "|" << e.lang;
    EXPECT_EQ(LanguageFromSetting("auto"), e.expected);
    EXPECT_EQ(LanguageFromSetting("something else"), e.expected);
    EXPECT_EQ(LanguageFromSetting("en"), MessageLanguage::kEnglish);
    EXPECT_EQ(LanguageFromSetting("ja"), MessageLanguage::kJapanese);
  }
  for (size_t i = 0; i < names.size(); ++i) {
    if (had[i]) {
      setenv(names[i], saved[i].c_str(), 1);
    } else {
      unsetenv(names[i]);
    }
  }
}

// Every entry of the catalogue: an English key in plain ASCII, a Japanese
// text, nothing left fuzzy. (scripts/check_messages.sh checks that every
// message marked in the sources has an entry.)
TEST(MessageCatalog, EveryEntryHasAnEnglishKeyAndAJapaneseText) {
  std::ifstream file(VEXAL_TEST_DATA "/../../po/ja.po");
  ASSERT_TRUE(file.good());
  std::string line;
  std::string msgid;
  int entries = 0;
  bool fuzzy = false;
  while (std::getline(file, line)) {
    if (line.rfind("#,", 0) == 0 && line.find("fuzzy") != std::string::npos) fuzzy = true;
    if (line.rfind("msgid \"", 0) == 0) msgid = line.substr(7, line.size() - 8);
    if (line.rfind("msgstr \"", 0) != 0 || msgid.empty()) continue;
    const std::string msgstr = line.substr(8, line.size() - 9);
    ++entries;
    EXPECT_FALSE(fuzzy) << msgid;
    EXPECT_FALSE(msgstr.empty()) << "no Japanese text for " << msgid;
    bool letters = false;
    for (const char c : msgid) {
      EXPECT_TRUE(static_cast<unsigned char>(c) < 0x80) << "not English: " << msgid;
      letters = letters || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    }
    EXPECT_TRUE(letters) << "no English words: " << msgid;
    msgid.clear();
    fuzzy = false;
  }
  EXPECT_GT(entries, 100);
}

// vexal-tool speaks the locale's language.
TEST(MessageCatalog, ToolErrorsFollowTheLocale) {
  const struct {
    const char* lang;
    const char* expected;
  } cases[] = {
      {"C.UTF-8", "vexal-tool: unknown command \"frobnicate\" (see vexal-tool --help)\n"},
      {"ja_JP.UTF-8", "vexal-tool: 不明なコマンド \"frobnicate\" です (vexal-tool --help を参照)\n"},
  };
  for (const auto& c : cases) {
    const std::string command = std::string("env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=") + c.lang +
                                " " VEXAL_TOOL_PATH " frobnicate 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (const size_t read = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, read);
    EXPECT_NE(pclose(pipe), 0);
    EXPECT_EQ(output, c.expected) << c.lang;
  }
}

}  // namespace
}  // namespace vexal
