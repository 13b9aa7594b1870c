// The one line reader of every text format: LF ends a line, CR characters
// are dropped wherever they stand, and a line longer than the cap fails the
// read instead of growing without bound. ROK's lone-CR lines are read with
// the CR mode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vexal {

class LineReader {
 public:
  enum class Ends { kLineFeed, kCarriageReturn };
  static constexpr size_t kDefaultMaxLine = 1 << 20;

  LineReader(std::string_view text, Ends ends = Ends::kLineFeed, size_t maxLine = kDefaultMaxLine)
      : text_(text), ends_(ends), maxLine_(maxLine) {}

  // Next line without its end and without CR characters (LF mode). False at
  // the end of the text or when a line is longer than the cap (then
  // tooLong() is true). The view stays valid until the next call.
  bool next(std::string_view& line);
  // 1-based number of the line last returned.
  size_t lineNumber() const { return lineNumber_; }
  bool tooLong() const { return tooLong_; }
  bool atEnd() const { return position_ >= text_.size(); }
  size_t position() const { return position_; }

 private:
  std::string_view text_;
  Ends ends_;
  size_t maxLine_;
  size_t position_ = 0;
  size_t lineNumber_ = 0;
  bool tooLong_ = false;
  std::string buffer_;
};

}  // namespace vexal
