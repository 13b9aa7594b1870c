// Text written as a Windows program writes a text-mode file: every "\n" of
// a format becomes CR LF. Collects into an OutputBuffer for an atomic commit.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>
#include <string_view>

#include "io/file_bytes.h"

namespace vexal {

class TextWriter {
 public:
  void printf(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    char small[512];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (length >= 0 && static_cast<size_t>(length) < sizeof small) {
      put(std::string_view(small, static_cast<size_t>(length)));
    } else if (length >= 0) {
      std::string large(static_cast<size_t>(length) + 1, '\0');
      std::vsnprintf(large.data(), large.size(), format, copy);
      large.resize(static_cast<size_t>(length));
      put(large);
    }
    va_end(copy);
  }
  void put(std::string_view text) {
    for (char c : text) {
      if (c == '\n') out_.put('\r');
      out_.put(c);
    }
  }
  OutputBuffer& buffer() { return out_; }

 private:
  OutputBuffer out_;
};

}  // namespace vexal
