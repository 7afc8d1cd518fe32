// Numeric entry and display formats of the window.
#include <gtest/gtest.h>

#include <cfloat>
#include <optional>
#include <string>

#include "base/numeric.h"

namespace phe {
namespace {

struct ValCase {
  const char* text;
  double expected;
};

// Guards against a reader that stops at blanks, honours the system's decimal
// comma, rejects exponents or trailing text, or fails on an empty box.
TEST(NumericEntry, ReadsTheLeadingNumber) {
  const ValCase cases[] = {
      {"12abc", 12},
      {"1,5", 1},
      {"1 2", 12},
      {"1e3", 1000},
      {"", 0},
      {" -3.5e-1x", -0.35},
      {"12.5kW", 12.5},
      {"abc", 0},
      {"\t4\n.5", 4.5},
      {".5", 0.5},
      {"-.25", -0.25},
      {"+7", 7},
      {"1.5.3", 1.5},
      {"1e", 1},  // an exponent without digits is not part of the number
      {"2E+2", 200},
      {"--5", 0},
      {"-", 0},
      {"0.0002", 0.0002},
      {"1e-999", 0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Val(c.text), c.expected) << '"' << c.text << '"';
}

// Guards the Run command's reading of a box: text that is not one number
// ("5OO" with letters O, "1,500", "1 2") must be refused rather than read as
// its leading number, while the full-width forms a Chinese input method types
// and blanks around the number are accepted. No value: refused.
TEST(NumericEntry, ReadNumberWantsOneCompleteNumber) {
  const struct {
    const char* text;
    std::optional<double> expected;
  } cases[] = {
      {"500", 500},
      {" 12.5 ", 12.5},
      {"-0", 0},
      {"1e3", 1000},
      {"+.5", 0.5},
      {"2.", 2},
      {"１２", 12},
      {"－５．５", -5.5},
      {"１ｅ３", 1000},
      {"\xE3\x80\x80" "7\t", 7},  // ideographic blank before, tab after
      {"1e400", DBL_MAX},
      {"5OO", std::nullopt},
      {"1,500", std::nullopt},
      {"60,5", std::nullopt},
      {" 1 2 ", std::nullopt},
      {"nan", std::nullopt},
      {"inf", std::nullopt},
      {"0x10", std::nullopt},
      {"--5", std::nullopt},
      {"1e", std::nullopt},
      {".", std::nullopt},
      {" ", std::nullopt},
      {"12kW", std::nullopt},
  };
  for (const auto& c : cases) {
    double v = -1;
    EXPECT_EQ(ReadNumber(c.text, v), c.expected.has_value()) << '"' << c.text << '"';
    if (c.expected) {
      EXPECT_DOUBLE_EQ(v, *c.expected) << '"' << c.text << '"';
    }
  }
}

// Guards against an overflowing entry turning into infinity, which would then
// run through the whole calculation.
TEST(NumericEntry, HugeNumbersStayFinite) {
  EXPECT_EQ(Val("1e999"), DBL_MAX);
  EXPECT_EQ(Val("-1e999"), -DBL_MAX);
}

struct FixedCase {
  double x;
  int decimals;
  const char* expected;
};

// Guards against binary rounding (2.675 is stored as 2.67499999...), banker's
// rounding, lost carries, missing padding and a sign on a shown zero.
TEST(DisplayFormat, FixedRoundsHalfAwayFromZeroOnFifteenDigits) {
  const FixedCase cases[] = {
      {2.675, 2, "2.68"},
      {-2.675, 2, "-2.68"},
      {1.005, 2, "1.01"},
      {9.995, 2, "10.00"},
      {0.00012, 6, "0.000120"},
      {0.5, 0, "1"},
      {-0.5, 0, "-1"},
      {2.5, 0, "3"},
      {-2.5, 0, "-3"},
      {-12.25, 1, "-12.3"},
      {45.04, 1, "45.0"},
      {99.96, 1, "100.0"},
      {0, 1, "0.0"},
      {-0.04, 1, "0.0"},
      {12500.0 / 1000, 1, "12.5"},
      {1234567.891, 2, "1234567.89"},
      {1e20, 1, "100000000000000000000.0"},
      {0.000004, 6, "0.000004"},
      {0.0000004, 6, "0.000000"},
      {0.0000005, 6, "0.000001"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatFixed(c.x, c.decimals), c.expected) << c.x << " with " << c.decimals;
}

// Guards against "1085.0" in the frame dimensions and against float noise in
// fractions.
TEST(DisplayFormat, GeneralWholeNumbersWithoutPointFractionsWithOne) {
  EXPECT_EQ(FormatGeneral(1085), "1085");
  EXPECT_EQ(FormatGeneral(0), "0");
  EXPECT_EQ(FormatGeneral(-3), "-3");
  EXPECT_EQ(FormatGeneral(100000), "100000");
  EXPECT_EQ(FormatGeneral(12.5), "12.5");
  EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");
  EXPECT_EQ(FormatGeneral(1234.5678), "1234.5678");
  EXPECT_EQ(FormatGeneral(-0.75), "-0.75");
}

// Guards against rounding instead of truncation and against "-0".
TEST(DisplayFormat, WholeTruncatesTowardZero) {
  EXPECT_EQ(FormatWhole(12.9), "12");
  EXPECT_EQ(FormatWhole(-12.9), "-12");
  EXPECT_EQ(FormatWhole(-0.5), "0");
  EXPECT_EQ(FormatWhole(4999.999), "4999");
  EXPECT_EQ(FormatWhole(1e10), "10000000000");
}

}  // namespace
}  // namespace phe
