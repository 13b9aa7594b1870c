#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "io/byte_reader.h"
#include "io/file_bytes.h"
#include "io/line_reader.h"

namespace vexal {
namespace {

std::vector<std::string> Lines(std::string_view text, LineReader::Ends ends = LineReader::Ends::kLineFeed,
                               size_t cap = LineReader::kDefaultMaxLine) {
  LineReader reader(text, ends, cap);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.next(line)) lines.emplace_back(line);
  return lines;
}

TEST(LineReader, DropsEveryCarriageReturnAndEndsLinesAtLineFeeds) {
  EXPECT_EQ(Lines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(Lines("x\ry\r\n\r\n"), (std::vector<std::string>{"xy", ""}));
  EXPECT_EQ(Lines(""), std::vector<std::string>{});
  EXPECT_EQ(Lines("one\rtwo\r", LineReader::Ends::kCarriageReturn),
            (std::vector<std::string>{"one", "two"}));
  LineReader reader("short\nmuch too long\n", LineReader::Ends::kLineFeed, 8);
  std::string_view line;
  EXPECT_TRUE(reader.next(line));
  EXPECT_FALSE(reader.next(line));
  EXPECT_TRUE(reader.tooLong());
  EXPECT_EQ(reader.lineNumber(), 1u);
}

TEST(ByteReader, ReadsBothByteOrdersAndFailsWithoutReadingPastTheEnd) {
  const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x80, 0x3F};
  ByteReader reader(bytes, sizeof bytes);
  EXPECT_EQ(reader.u16le(), 0x0201);
  EXPECT_EQ(reader.u16be(), 0x0304);
  EXPECT_EQ(reader.f32le(), 1.0f);
  EXPECT_TRUE(reader.ok());
  EXPECT_EQ(reader.u8(), 0);
  EXPECT_FALSE(reader.ok());
  EXPECT_EQ(reader.u32be(), 0u);  // sticky failure

  ByteReader outer(bytes, sizeof bytes, 100);
  outer.skip(2);
  ByteReader chunk = outer.sub(4);
  EXPECT_EQ(chunk.fileOffset(), 102u);
  EXPECT_EQ(chunk.u32be(), 0x03040000u);
  EXPECT_FALSE(chunk.has(1));
  EXPECT_EQ(outer.position(), 6u);
  ByteReader tooBig = outer.sub(3);
  EXPECT_FALSE(tooBig.ok());
  EXPECT_FALSE(outer.ok());

  const uint8_t text[] = {'a', 'b', 0, 'c'};
  ByteReader strings(text, sizeof text);
  std::string value;
  EXPECT_TRUE(strings.cString(value, 8));
  EXPECT_EQ(value, "ab");
  EXPECT_FALSE(strings.cString(value, 8));  // no terminator before the end
}

TEST(WriteFileAtomically, ReplacesWholeFilesAndLeavesThemOnFailure) {
  const std::string path = ::testing::TempDir() + "/atomic.txt";
  ASSERT_TRUE(WriteFileAtomically(path, "first", nullptr));
  ASSERT_TRUE(WriteFileAtomically(path, "second", nullptr));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes, nullptr));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "second");
  std::string reason;
  EXPECT_FALSE(WriteFileAtomically(::testing::TempDir() + "/no/such/folder/x", "x", &reason));
  EXPECT_NE(reason.find("cannot write"), std::string::npos);
  EXPECT_FALSE(ReadFileBytes(::testing::TempDir() + "/missing", bytes, &reason));
  EXPECT_NE(reason.find("cannot open"), std::string::npos);

  OutputBuffer out;
  out.printf("%s=%d|", "key", 42);
  out.u16be(0x0102);
  out.u32le(0x03040506);
  out.patchU16be(7, 0xAABB);
  EXPECT_EQ(out.str().substr(0, 7), "key=42|");
  EXPECT_EQ(static_cast<uint8_t>(out.str()[7]), 0xAA);
  EXPECT_EQ(static_cast<uint8_t>(out.str()[9]), 0x06);
}

}  // namespace
}  // namespace vexal
