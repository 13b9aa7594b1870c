#include "io/line_reader.h"

#include <cstring>

namespace vexal {

bool LineReader::next(std::string_view& line) {
  if (position_ >= text_.size() || tooLong_) return false;
  const char terminator = ends_ == Ends::kLineFeed ? '\n' : '\r';
  const char* start = text_.data() + position_;
  const size_t left = text_.size() - position_;
  // Most lines of a model file are short (a group code, a number): a plain
  // scan of the first bytes beats a library call per line.
  const char* found = nullptr;
  const size_t head = left < 24 ? left : 24;
  for (size_t i = 0; i < head; ++i) {
    if (start[i] == terminator) {
      found = start + i;
      break;
    }
  }
  if (found == nullptr && head < left) {
    found = static_cast<const char*>(std::memchr(start + head, terminator, left - head));
  }
  const size_t length = found ? static_cast<size_t>(found - start) : left;
  if (length > maxLine_) {
    tooLong_ = true;
    return false;
  }
  position_ += found ? length + 1 : length;
  ++lineNumber_;
  std::string_view raw(start, length);
  if (ends_ == Ends::kCarriageReturn) {
    line = raw;
    return true;
  }
  // The common CR LF line: its only CR is the last character.
  if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
  if (raw.find('\r') == std::string_view::npos) {
    line = raw;
    return true;
  }
  buffer_.clear();
  for (char c : raw) {
    if (c != '\r') buffer_.push_back(c);
  }
  line = buffer_;
  return true;
}

}  // namespace vexal
