// printf-style formatting that writes numbers with std::to_chars.
//
// The writers format every coordinate of a model through a printf format;
// the C library's conversion of floating-point values dominates their time.
// AppendFormatted gives exactly the bytes vsnprintf gives in the C locale
// (to_chars with a precision is defined as the printf conversion of the same
// letter), for the conversions d i u x X f e g s c and %, the flags - + space
// 0, field widths and precisions (also as *), and the length modifiers h l ll
// z. Anything else (%a, %n, %p, the # flag, ...) is handed to vsnprintf.
#pragma once

#include <cstdarg>
#include <string>

namespace vexal {

// Appends the formatted text to out.
void AppendFormatted(std::string& out, const char* format, va_list args);

// The same with arguments.
void AppendFormattedArgs(std::string& out, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

}  // namespace vexal
