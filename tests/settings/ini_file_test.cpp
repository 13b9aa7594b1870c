#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <string>

namespace vexal {
namespace {

std::string ValueOf(const IniFile& file, std::string_view section, std::string_view key) {
  const std::string* value = file.find(section, key);
  return value ? *value : std::string("<missing>");
}

TEST(IniFile, ReadsWhatWindowsAndHandEditsProduce) {
  const std::string text =
      "\xEF\xBB\xBF"
      "orphan=ignored\r\n"
      "[Main]\r\n"
      "; comment=not a key\r\n"
      "  Key One  =  spaced value  \r\n"
      "path=C:\\dir\\file;v2.vxl\r\n"
      "quoted=\"  kept blanks \"\r\n"
      "single='x'\r\n"
      "half=\"open\r\n"
      "equals=a=b\r\n"
      "dup=first\r\n"
      "DUP=second\r\n"
      "no equals sign here\r\n"
      "empty=\r\n"
      "\r\n"
      "[ other ]\n"
      "lf=only\n"
      "[main]\n"
      "late=found\n"
      "dup=third\n"
      "[Unclosed\n"
      "last=no newline";
  IniFile file;
  ASSERT_TRUE(file.parse(text, nullptr));
  EXPECT_EQ(ValueOf(file, "main", "key one"), "spaced value");
  EXPECT_EQ(ValueOf(file, "MAIN", "PATH"), "C:\\dir\\file;v2.vxl");
  EXPECT_EQ(ValueOf(file, "Main", "quoted"), "  kept blanks ");
  EXPECT_EQ(ValueOf(file, "Main", "single"), "x");
  EXPECT_EQ(ValueOf(file, "Main", "half"), "\"open");
  EXPECT_EQ(ValueOf(file, "Main", "equals"), "a=b");
  EXPECT_EQ(ValueOf(file, "Main", "dup"), "first");
  EXPECT_EQ(ValueOf(file, "Main", "empty"), "");
  EXPECT_EQ(ValueOf(file, "Main", "late"), "found");
  EXPECT_EQ(ValueOf(file, "Other", "lf"), "only");
  EXPECT_EQ(ValueOf(file, "Unclosed", "last"), "no newline");
  EXPECT_EQ(file.find("Main", "; comment"), nullptr);
  EXPECT_EQ(file.find("Main", "orphan"), nullptr);
  EXPECT_EQ(file.find("", "orphan"), nullptr);
  EXPECT_EQ(file.find("Main", "no equals sign here"), nullptr);
  EXPECT_EQ(file.find("Other", "late"), nullptr);
}

TEST(IniFile, WrittenTextReadsBackAndUsesCrLf) {
  IniFile file;
  ASSERT_TRUE(file.set("Window", "Left", "12"));
  ASSERT_TRUE(file.set("FileHistory", "FileHistory00", "C:\\models\\a;b.vxl"));
  ASSERT_TRUE(file.set("FileHistory", "FileHistory01", "  padded  "));
  ASSERT_TRUE(file.set("FileHistory", "FileHistory02", "\"quoted\""));
  ASSERT_TRUE(file.set("FileHistory", "FileHistory03", ""));
  ASSERT_TRUE(file.set("FileHistory", "FileHistory04", "'"));
  // Setting an existing key in another letter case replaces it in place.
  ASSERT_TRUE(file.set("window", "LEFT", "34"));
  ASSERT_TRUE(file.set("Window", "Top", "56"));

  const std::string text = file.text();
  EXPECT_EQ(text.find("LEFT"), std::string::npos);
  EXPECT_EQ(text.rfind("[Window]\r\nLeft=34\r\nTop=56\r\n", 0), 0u) << text;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
    }
    if (text[i] == '\r') {
      ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
    }
  }

  IniFile back;
  ASSERT_TRUE(back.parse(text, nullptr));
  EXPECT_EQ(ValueOf(back, "Window", "Left"), "34");
  EXPECT_EQ(ValueOf(back, "Window", "Top"), "56");
  EXPECT_EQ(ValueOf(back, "FileHistory", "FileHistory00"), "C:\\models\\a;b.vxl");
  EXPECT_EQ(ValueOf(back, "FileHistory", "FileHistory01"), "  padded  ");
  EXPECT_EQ(ValueOf(back, "FileHistory", "FileHistory02"), "\"quoted\"");
  EXPECT_EQ(ValueOf(back, "FileHistory", "FileHistory03"), "");
  EXPECT_EQ(ValueOf(back, "FileHistory", "FileHistory04"), "'");
}

TEST(IniFile, RefusesWhatCouldNotReadBack) {
  IniFile file;
  ASSERT_TRUE(file.set("Main", "Key", "before"));
  // A line break in a value would smuggle in keys of its own.
  EXPECT_FALSE(file.set("Main", "Key", "x\r\nUseOpenGL=0"));
  EXPECT_FALSE(file.set("Main", "Key", std::string_view("a\0b", 3)));
  EXPECT_FALSE(file.set("Main", "a=b", "1"));
  EXPECT_FALSE(file.set("Main", ";key", "1"));
  EXPECT_FALSE(file.set("Main", " key", "1"));
  EXPECT_FALSE(file.set("Main", "", "1"));
  EXPECT_FALSE(file.set("Ma]in", "key", "1"));
  EXPECT_EQ(ValueOf(file, "Main", "Key"), "before");
  EXPECT_EQ(file.text(), "[Main]\r\nKey=before\r\n");
}

TEST(IniFile, OverlongLineFailsWithItsNumber) {
  std::string text = "[Main]\nA=1\nB=" + std::string(IniFile::kMaxLineBytes, 'x') + "\nC=3\n";
  IniFile file;
  std::string reason;
  EXPECT_FALSE(file.parse(text, &reason));
  EXPECT_NE(reason.find("line 3"), std::string::npos) << reason;
}

}  // namespace
}  // namespace vexal
