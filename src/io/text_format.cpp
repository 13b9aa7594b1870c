#include "io/text_format.h"

#include <charconv>
#include <cstddef>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace vexal {
namespace {

struct Conversion {
  bool left = false;
  bool plus = false;
  bool space = false;
  bool zero = false;
  int width = 0;
  int precision = -1;  // -1: none given
  char length = 0;     // 0, 'h', 'l', 'L' (ll), 'z'
  char conversion = 0;
};

// Appends text padded to the directive's width. signLength leading characters
// (a sign) stay in front of zero padding.
void Pad(std::string& out, const Conversion& directive, std::string_view text, size_t signLength, bool zeroPad) {
  const size_t width = directive.width > 0 ? static_cast<size_t>(directive.width) : 0;
  if (text.size() >= width) {
    out.append(text);
    return;
  }
  const size_t fill = width - text.size();
  const size_t start = out.size();
  out.resize(start + width);
  char* at = out.data() + start;
  if (directive.left) {
    std::memcpy(at, text.data(), text.size());
    std::memset(at + text.size(), ' ', fill);
  } else if (zeroPad) {
    std::memcpy(at, text.data(), signLength);
    std::memset(at + signLength, '0', fill);
    std::memcpy(at + signLength + fill, text.data() + signLength, text.size() - signLength);
  } else {
    std::memset(at, ' ', fill);
    std::memcpy(at + fill, text.data(), text.size());
  }
}

void AppendInteger(std::string& out, const Conversion& directive, bool negative, uint64_t magnitude) {
  char digits[32];
  char* at = digits;
  if (negative) {
    *at++ = '-';
  } else if (directive.plus) {
    *at++ = '+';
  } else if (directive.space) {
    *at++ = ' ';
  }
  const size_t signLength = static_cast<size_t>(at - digits);
  const int base = directive.conversion == 'x' || directive.conversion == 'X' ? 16 : 10;
  char* end = std::to_chars(at, digits + sizeof digits, magnitude, base).ptr;
  if (directive.conversion == 'X') {
    for (char* c = at; c < end; ++c) {
      if (*c >= 'a' && *c <= 'f') *c = static_cast<char>(*c - 'a' + 'A');
    }
  }
  Pad(out, directive, std::string_view(digits, static_cast<size_t>(end - digits)), signLength, directive.zero);
}

constexpr uint64_t kPowersOfTen[] = {1,      10,      100,      1000,      10000,
                                     100000, 1000000, 10000000, 100000000, 1000000000};

// The fixed text of value with precision decimals, for the common case of a
// value whose scaled magnitude stays below 2^52: value * 10^precision is
// rounded to an integer exactly as the decimal expansion of the binary value
// would be (to nearest, ties to even), using the product's exact error from
// a fused multiply-add. Returns the end of the text, or null when the value
// is out of this range (the caller then uses to_chars).
char* FastFixed(char* at, double value, int precision) {
  if (precision > 9 || !std::isfinite(value)) return nullptr;
  const double scale = static_cast<double>(kPowersOfTen[precision]);
  const double magnitude = std::fabs(value);
  const double product = magnitude * scale;
  if (!(product < 4503599627370496.0)) return nullptr;  // 2^52
  // magnitude * scale == product + error exactly.
  const double error = std::fma(magnitude, scale, -product);
  const double nearest = std::nearbyint(product);
  const double below = product - nearest;  // exact: within half of an integer
  uint64_t units = static_cast<uint64_t>(nearest);
  // The exact value lies at below + error from nearest, with |error| at most
  // a quarter. 0.5 - below and -0.5 - below are exact (multiples of the
  // product's ulp), so the comparisons below are exact too.
  const bool odd = (units & 1) != 0;
  if (below == 0.5 || below == -0.5) {
    // nearbyint took the even neighbour of the half; the exact value may lie
    // beyond it.
    if (below == 0.5 && error > 0) ++units;
    if (below == -0.5 && error < 0) --units;
  } else if (below > 0) {
    const double toHalf = 0.5 - below;
    if (error > toHalf || (error == toHalf && odd)) ++units;
  } else if (below < 0) {
    const double toHalf = -0.5 - below;
    if (error < toHalf || (error == toHalf && odd)) --units;
  }
  if (std::signbit(value)) *at++ = '-';
  const uint64_t whole = units / kPowersOfTen[precision];
  uint64_t fraction = units % kPowersOfTen[precision];
  at = std::to_chars(at, at + 24, whole).ptr;
  if (precision > 0) {
    *at++ = '.';
    for (int i = precision - 1; i >= 0; --i) {
      at[i] = static_cast<char>('0' + fraction % 10);
      fraction /= 10;
    }
    at += precision;
  }
  return at;
}

void AppendReal(std::string& out, const Conversion& directive, double value) {
  const int precision = directive.precision < 0 ? 6 : directive.precision;
  const std::chars_format format = directive.conversion == 'f'   ? std::chars_format::fixed
                                   : directive.conversion == 'e' ? std::chars_format::scientific
                                                            : std::chars_format::general;
  // The longest fixed text of a double: 309 integer digits, sign and point.
  char text[400];
  char* at = text;
  if (!std::signbit(value)) {
    if (directive.plus) {
      *at++ = '+';
    } else if (directive.space) {
      *at++ = ' ';
    }
  }
  char* end = format == std::chars_format::fixed ? FastFixed(at, value, precision) : nullptr;
  if (end == nullptr) end = std::to_chars(at, text + sizeof text, value, format, precision).ptr;
  const size_t signLength = text[0] == '-' || text[0] == '+' || text[0] == ' ' ? 1 : 0;
  Pad(out, directive, std::string_view(text, static_cast<size_t>(end - text)), signLength, directive.zero);
}

// The arguments of a call, in a struct so that helpers can take them by
// reference whatever va_list is on this platform.
struct Arguments {
  va_list list;
};

// Reads the directive after a '%' at p (flags, width, precision, length and
// conversion, taking '*' values from args) and moves p past it.
Conversion ReadDirective(const char*& p, Arguments& args) {
  Conversion directive;
  for (;; ++p) {
    if (*p == '-') {
      directive.left = true;
    } else if (*p == '+') {
      directive.plus = true;
    } else if (*p == ' ') {
      directive.space = true;
    } else if (*p == '0') {
      directive.zero = true;
    } else {
      break;
    }
  }
  if (*p == '*') {
    directive.width = va_arg(args.list, int);
    if (directive.width < 0) {
      directive.left = true;
      directive.width = -directive.width;
    }
    ++p;
  } else {
    while (*p >= '0' && *p <= '9') directive.width = directive.width * 10 + (*p++ - '0');
  }
  if (*p == '.') {
    ++p;
    if (*p == '*') {
      directive.precision = va_arg(args.list, int);
      ++p;
    } else {
      directive.precision = 0;
      while (*p >= '0' && *p <= '9') directive.precision = directive.precision * 10 + (*p++ - '0');
    }
  }
  if (*p == 'h') {
    directive.length = 'h';
    ++p;
  } else if (*p == 'l') {
    directive.length = 'l';
    if (*++p == 'l') {
      directive.length = 'L';
      ++p;
    }
  } else if (*p == 'z') {
    directive.length = 'z';
    ++p;
  }
  directive.conversion = *p;
  if (directive.conversion != '\0') ++p;
  if (directive.left) directive.zero = false;
  return directive;
}

// Appends one directive's text, taking its value from args. False for a
// directive this does not handle (the caller then formats the whole call
// with vsnprintf).
bool AppendConversion(std::string& out, Conversion& directive, Arguments& args) {
  switch (directive.conversion) {
    case '%':
      out.push_back('%');
      break;
    case 'd':
    case 'i': {
      if (directive.precision >= 0 || directive.length == 'h') return false;
      const int64_t value = directive.length == 'l'   ? va_arg(args.list, long)
                            : directive.length == 'L' ? va_arg(args.list, long long)
                            : directive.length == 'z' ? static_cast<int64_t>(va_arg(args.list, std::ptrdiff_t))
                                                 : va_arg(args.list, int);
      const uint64_t magnitude =
          value < 0 ? uint64_t{0} - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
      AppendInteger(out, directive, value < 0, magnitude);
      break;
    }
    case 'u':
    case 'x':
    case 'X': {
      if (directive.precision >= 0 || directive.length == 'h') return false;
      const uint64_t value = directive.length == 'l'   ? va_arg(args.list, unsigned long)
                             : directive.length == 'L' ? va_arg(args.list, unsigned long long)
                             : directive.length == 'z' ? va_arg(args.list, size_t)
                                                  : va_arg(args.list, unsigned);
      directive.plus = directive.space = false;
      AppendInteger(out, directive, false, value);
      break;
    }
    case 'f':
    case 'e':
    case 'g': {
      const double value = va_arg(args.list, double);
      // Zero padding of "inf" and "nan" turns into spaces; a precision
      // this large is not worth a buffer.
      if (directive.length != 0 || directive.precision > 60 ||
          (directive.zero && !std::isfinite(value))) {
        return false;
      }
      AppendReal(out, directive, value);
      break;
    }
    case 's': {
      if (directive.length != 0) return false;
      const char* text = va_arg(args.list, const char*);
      size_t length = 0;
      if (directive.precision >= 0) {
        const void* end = std::memchr(text, '\0', static_cast<size_t>(directive.precision));
        length = end ? static_cast<size_t>(static_cast<const char*>(end) - text)
                     : static_cast<size_t>(directive.precision);
      } else {
        length = std::strlen(text);
      }
      directive.zero = false;
      Pad(out, directive, std::string_view(text, length), 0, false);
      break;
    }
    case 'c': {
      if (directive.length != 0) return false;
      const char c = static_cast<char>(va_arg(args.list, int));
      directive.zero = false;
      Pad(out, directive, std::string_view(&c, 1), 0, false);
      break;
    }
    default:
      return false;
  }
  return true;
}

// The whole call formatted by vsnprintf, in place of what was appended from
// start on.
void AppendWithVsnprintf(std::string& out, size_t start, const char* format, va_list original) {
  out.resize(start);
  char small[256];
  va_list copy;
  va_copy(copy, original);
  const int length = std::vsnprintf(small, sizeof small, format, original);
  if (length >= 0 && static_cast<size_t>(length) < sizeof small) {
    out.append(small, static_cast<size_t>(length));
  } else if (length >= 0) {
    out.resize(start + static_cast<size_t>(length) + 1);
    std::vsnprintf(out.data() + start, static_cast<size_t>(length) + 1, format, copy);
    out.resize(start + static_cast<size_t>(length));
  }
  va_end(copy);
}

}  // namespace

void AppendFormatted(std::string& out, const char* format, va_list args) {
  // Kept for a format this does not handle: it is then formatted whole by
  // vsnprintf from the arguments as they were at the start.
  va_list original;
  va_copy(original, args);
  Arguments arguments;
  va_copy(arguments.list, args);
  const size_t start = out.size();
  const char* p = format;
  bool handled = true;
  while (*p != '\0' && handled) {
    const char* literal = p;
    while (*p != '\0' && *p != '%') ++p;
    if (p != literal) out.append(literal, static_cast<size_t>(p - literal));
    if (*p == '\0') break;
    ++p;
    Conversion directive = ReadDirective(p, arguments);
    handled = AppendConversion(out, directive, arguments);
  }
  va_end(arguments.list);
  if (!handled) AppendWithVsnprintf(out, start, format, original);
  va_end(original);
}

void AppendFormattedArgs(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormatted(out, format, args);
  va_end(args);
}

}  // namespace vexal
