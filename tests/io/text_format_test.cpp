// The writers' formatter against the C library's: every conversion the
// writers use, on random and edge values, must give the same bytes.
#include "io/text_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace vexal {
namespace {

template <typename... Values>
std::string Reference(const char* format, Values... values) {
  char text[1024];
  const int length = std::snprintf(text, sizeof text, format, values...);
  return std::string(text, static_cast<size_t>(length));
}

template <typename... Values>
std::string Ours(const char* format, Values... values) {
  std::string out = "prefix:";
  AppendFormattedArgs(out, format, values...);
  return out.substr(7);
}

#define EXPECT_SAME(format, ...) \
  EXPECT_EQ(Ours(format, __VA_ARGS__), Reference(format, __VA_ARGS__)) << format

TEST(TextFormat, RealsMatchPrintfOnRandomAndEdgeValues) {
  const char* const formats[] = {"%f",    "%.6f", "%6.5f", "%.5f", "%.3f", "%.4f", "%16.9f", "%.1f",
                                 "%+.2f", "% f",  "%-12.3f|", "%012.4f", "%.0f", "%e", "%.3e", "%g",
                                 "%.9g",  "%10.3g"};
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-30, 30);
  std::vector<double> values = {0.0,
                                -0.0,
                                0.5,
                                1.5,
                                2.5,
                                -2.5,
                                0.125,
                                1e-7,
                                123456789.0,
                                1e300,
                                -1e300,
                                std::numeric_limits<double>::denorm_min(),
                                std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN(),
                                static_cast<double>(0.1f),
                                static_cast<double>(-3.3333333f)};
  for (int i = 0; i < 4000; ++i) values.push_back(unit(random) * std::pow(10.0, exponent(random)));
  // Exact binary fractions: their decimal expansions end in a 5, the ties
  // that round to even.
  for (int j = -2048; j <= 2048; ++j) {
    values.push_back(j / 1024.0);
    values.push_back(j / 64.0 + 1000.0);
  }
  // Around the largest scaled values the fast path takes (2^52 / 10^6).
  for (double near : {4503599627.370496, 4503599627.0, 450359962.7370496, 9007199254740992.0}) {
    values.push_back(near);
    values.push_back(std::nextafter(near, 0.0));
    values.push_back(std::nextafter(near, 1e300));
  }
  // Floats as the writers pass them (model coordinates times a scale).
  for (int i = 0; i < 4000; ++i) values.push_back(static_cast<double>(static_cast<float>(unit(random) * 100)));
  for (const char* format : formats) {
    for (double value : values) EXPECT_SAME(format, value);
  }
}

TEST(TextFormat, IntegersStringsAndMixedFormatsMatchPrintf) {
  const int integers[] = {0, 1, -1, 9, 10, 99999, -99999, 2147483647, -2147483647 - 1, 19999};
  for (int value : integers) {
    EXPECT_SAME("%d", value);
    EXPECT_SAME("%5d\r", value);
    EXPECT_SAME("%10d", value);
    EXPECT_SAME("%02d", value);
    EXPECT_SAME("%-6d|", value);
    EXPECT_SAME("%+d", value);
    EXPECT_SAME("%04X", static_cast<unsigned>(value));
    EXPECT_SAME("%x", static_cast<unsigned>(value));
    EXPECT_SAME("%03u", static_cast<unsigned>(value));
    EXPECT_SAME("%ld", static_cast<long>(value) * 100000);
  }
  EXPECT_SAME("%zu items", size_t{18446744073709551615u});
  EXPECT_SAME("%s=%d;%c%%", "name", 5, 'x');
  EXPECT_SAME("[%8s][%-8s][%.2s][%.*s]", "ab", "cd", "efgh", 3, "ijklmn");
  EXPECT_SAME("v %f %f %f\n", 1.0, -2.5, 1e-3);
  EXPECT_SAME("%*d|%-*d|", 6, 42, 6, 42);
  // Conversions left to the C library.
  EXPECT_SAME("%#x %a %5.3d", 255u, 1.5, 7);
  EXPECT_SAME("%010f|%-10f|", std::numeric_limits<double>::infinity(), std::nan(""));
}

}  // namespace
}  // namespace vexal
