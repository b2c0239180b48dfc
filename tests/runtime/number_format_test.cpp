#include "runtime/number_format.h"

#include <gtest/gtest.h>

#include <limits>

namespace ostravel {
namespace {

NumberFormat Digits(int digits) {
  NumberFormat format;
  format.SigDigits = digits;
  SetSigFormat(format);
  return format;
}

struct FormatRow {
  const char* name;
  int digits;
  double value;
  const char* expected;
};

TEST(FormatSig, WritesTheRoundedValue) {
  const FormatRow rows[] = {
      {"four digits before the point, no point written", 4, 1234.6, "1235"},
      {"two digits before the point", 4, 12.3456, "12.35"},
      {"exponent -2 stays plain", 4, 0.012346, "0.01235"},
      {"exponent -3 goes scientific", 4, 0.0012346, "1.235E-3"},
      {"exponent equal to the digits goes scientific", 4, 12346, "1.235E+4"},
      {"trailing zeros stay", 4, -2.5, "-2.500"},
      {"zero", 4, 0, "0.000"},
      {"rounding carries into the next power of ten", 4, 9.99996, "10.00"},
      {"carry into the scientific range", 4, 9999.6, "1.000E+4"},
      {"negative in scientific form", 4, -12346, "-1.235E+4"},
      {"negative plain below one", 4, -0.012346, "-0.01235"},
      {"small scientific", 4, 0.00012346, "1.235E-4"},
      {"exponent -1", 4, 0.5, "0.5000"},
      {"exponent 0 with one digit before the point", 4, 1, "1.000"},
      {"exponent 2", 4, 123.456, "123.5"},
      {"large exponent has no leading zeros", 4, 6.02214076E23, "6.022E+23"},
      {"three-digit exponent", 4, 1.5E-300, "1.500E-300"},
      {"negative zero shows no sign", 4, -0.0, "0.000"},
      {"two thirds at three digits", 3, 2.0 / 3.0, "0.667"},
      {"one digit: plain single digit", 1, 3.3, "3"},
      {"one digit: scientific keeps the point", 1, 33, "3.E+1"},
      {"one digit: below one is scientific", 1, 0.5, "5.E-1"},
      {"one digit: rounding carries", 1, 9.6, "1.E+1"},
      {"one digit: negative", 1, -7, "-7"},
      {"two digits: exponent 1", 2, 47.4, "47"},
      {"nine digits", 9, 3.14159265358979, "3.14159265"},
      {"nine digits, whole number", 9, 123456789.4, "123456789"},
      {"nine digits, too big for plain form", 9, 1234567890, "1.23456789E+9"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FormatSig(Digits(row.digits), row.value), row.expected) << row.name;
  }
}

TEST(FormatSig, AllDigitsGivesGeneralNumberText) {
  const FormatRow rows[] = {
      {"a third with 15 digits", 0, 1.0 / 3.0, "0.333333333333333"},
      {"whole number", 0, 18, "18"},
      {"negative", 0, -2.5, "-2.5"},
      {"ten selects all digits too", 10, 0.1, "0.1"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FormatSig(Digits(row.digits), row.value), row.expected) << row.name;
  }
}

TEST(FormatSig, NonFiniteValuesDoNotBreakTheLayout) {
  const NumberFormat four = Digits(4);
  EXPECT_EQ(FormatSig(four, std::numeric_limits<double>::infinity()), "Infinity");
  EXPECT_EQ(FormatSig(four, -std::numeric_limits<double>::infinity()), "-Infinity");
  EXPECT_EQ(FormatSig(four, std::numeric_limits<double>::quiet_NaN()), "NaN");
}

TEST(SetSigFormat, KeepsTheDigitsInRangeAndBuildsThePattern) {
  const struct {
    const char* name;
    int digits;
    int expectedDigits;
    const char* expectedFormat;
  } rows[] = {
      {"zero means all digits", 0, 0, ""},
      {"one digit", 1, 1, "0.E+0"},
      {"four digits", 4, 4, "0.000E+0"},
      {"nine digits", 9, 9, "0.00000000E+0"},
      {"ten becomes zero", 10, 0, ""},
      {"twelve becomes two", 12, 2, "0.0E+0"},
      {"fourteen becomes four", 14, 4, "0.000E+0"},
      {"negative stays in range", -3, 7, "0.000000E+0"},
  };
  for (const auto& row : rows) {
    NumberFormat format;
    format.SigDigits = row.digits;
    SetSigFormat(format);
    EXPECT_EQ(format.SigDigits, row.expectedDigits) << row.name;
    EXPECT_EQ(format.SigFormat, row.expectedFormat) << row.name;
  }
}

}  // namespace
}  // namespace ostravel
