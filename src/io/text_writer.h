// Text written as a Windows program writes a text-mode file: every "\n" of
// a format becomes CR LF. Collects into an OutputBuffer for an atomic commit.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

#include "io/file_bytes.h"
#include "io/text_format.h"

namespace vexal {

class TextWriter {
 public:
  void printf(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    scratch_.clear();
    va_list args;
    va_start(args, format);
    AppendFormatted(scratch_, format, args);
    va_end(args);
    put(scratch_);
  }
  void put(std::string_view text) {
    for (size_t end; (end = text.find('\n')) != std::string_view::npos;) {
      out_.put(text.substr(0, end));
      out_.put("\r\n");
      text.remove_prefix(end + 1);
    }
    out_.put(text);
  }
  OutputBuffer& buffer() { return out_; }

 private:
  OutputBuffer out_;
  std::string scratch_;
};

}  // namespace vexal
