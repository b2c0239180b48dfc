#include "runtime/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "runtime/failure.h"
#include "support/failure_of.h"

namespace ostravel {
namespace {

using testing::FailureOf;

struct LeadingRow {
  const char* name;
  const char* text;
  double expected;
};

TEST(LeadingNumber, ReadsTheLongestNumericPrefix) {
  const LeadingRow rows[] = {
      {"plain integer", "42", 42},
      {"uncertainty in parentheses ignored", "1.00794(7)", 1.00794},
      {"leading blanks skipped", "   7.5", 7.5},
      {"blanks inside the number skipped", "1 2 3", 123},
      {"negative", "-2.5", -2.5},
      {"explicit plus", "+3", 3},
      {"no number gives zero", "abc", 0},
      {"empty gives zero", "", 0},
      {"lone sign gives zero", "-", 0},
      {"lone point gives zero", ".", 0},
      {"leading point", ".5", 0.5},
      {"exponent upper case", "1.5E2", 150},
      {"exponent lower case", "1e2", 100},
      {"exponent with D", "2D3", 2000},
      {"negative exponent", "5E-3", 0.005},
      {"exponent without digits ignored", "7E", 7},
      {"exponent sign without digits ignored", "7E+x", 7},
      {"second point stops", "1.2.3", 1.2},
      {"trailing letters ignored", "2A", 2},
      {"tiny value underflows to zero", "1E-400", 0},
      {"comma is not a decimal point", "1,5", 1},
  };
  for (const auto& row : rows) {
    EXPECT_DOUBLE_EQ(LeadingNumber(row.text), row.expected) << row.name;
  }
}

TEST(LeadingNumber, FailsWithOverflowBeyondTheDoubleRange) {
  const std::string manyDigits = "1" + std::string(400, '0');
  const std::string hugeExponent = "12345E99999999999999999999";
  const char* rows[] = {"1E400", manyDigits.c_str(), "-1E400", hugeExponent.c_str(), "0.00001E314"};
  for (const char* text : rows) {
    EXPECT_EQ(FailureOf([&] { LeadingNumber(text); }), FailureKind::Overflow) << text;
  }
}

TEST(LeadingNumber, UnderflowsToZeroWhateverTheDigits) {
  const std::string manyZeros = "0." + std::string(400, '0') + "1";
  const char* rows[] = {manyZeros.c_str(), "1E-400", "123E-99999999999999999999", "1000E-330"};
  for (const char* text : rows)
    EXPECT_EQ(LeadingNumber(text), 0) << text;
}

struct StrictRow {
  const char* name;
  const char* text;
  bool numeric;
  double expected;
};

TEST(StrictNumber, AcceptsOnlyWholeNumbers) {
  const StrictRow rows[] = {
      {"integer", "8", true, 8},
      {"decimal with outer blanks", " 8.314 ", true, 8.314},
      {"scientific", "6.02214076E23", true, 6.02214076E23},
      {"negative", "-1.5", true, -1.5},
      {"trailing point", "3.", true, 3},
      {"empty", "", false, 0},
      {"blanks only", "   ", false, 0},
      {"trailing text", "1.5 mol", false, 0},
      {"expression", "2*3", false, 0},
      {"exponent without digits", "1E", false, 0},
      {"inner blank", "1 2", false, 0},
      {"beyond the double range", "1E999", false, 0},
      {"parenthesised uncertainty", "1.00794(7)", false, 0},
  };
  for (const auto& row : rows) {
    double value = -99;
    EXPECT_EQ(StrictNumber(row.text, value), row.numeric) << row.name;
    if (row.numeric) {
      EXPECT_DOUBLE_EQ(value, row.expected) << row.name;
    }
  }
}

TEST(ToInt16, RoundsHalvesToEvenWithinRange) {
  const struct {
    double value;
    int expected;
  } rows[] = {{2.5, 2},   {3.5, 4},         {-2.5, -2},       {1.4999, 1},
              {-0.6, -1}, {32767.4, 32767}, {-32768, -32768}, {0, 0}};
  for (const auto& row : rows)
    EXPECT_EQ(ToInt16(row.value), row.expected) << row.value;
}

TEST(ToInt16, FailsOutsideTheRange) {
  for (double value : {32767.5, -32768.6, 1e10, std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_EQ(FailureOf([&] { ToInt16(value); }), FailureKind::Overflow) << value;
  }
}

TEST(GeneralNumberText, WritesUpToFifteenSignificantDigits) {
  const struct {
    double value;
    const char* expected;
  } rows[] = {
      {0, "0"},
      {-0.0, "0"},
      {5, "5"},
      {-2.5, "-2.5"},
      {1.0 / 3, "0.333333333333333"},
      {8.314, "8.314"},
      {0.0001, "0.0001"},
      {0.00001, "1E-05"},
      {123456789012345, "123456789012345"},
      {1e15, "1E+15"},
      {1.5e20, "1.5E+20"},
      {6.02214076e23, "6.02214076E+23"},
      {9.9E+99, "9.9E+99"},
      {0.1 + 0.2, "0.3"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(GeneralNumberText(row.value), row.expected) << row.value;
}

TEST(SigDigitPattern, LaysOutMantissaAndExponent) {
  const struct {
    double magnitude;
    int digits;
    const char* expected;
  } rows[] = {
      {12346, 4, "1.235E+4"},  {0.00012346, 4, "1.235E-4"},
      {0, 4, "0.000E+0"},      {9.99996, 4, "1.000E+1"},
      {33, 1, "3.E+1"},        {0.5, 1, "5.E-1"},
      {2.0 / 3, 3, "6.67E-1"}, {1234.6, 4, "1.235E+3"},
      {1e100, 2, "1.0E+100"},  {123456789, 9, "1.23456789E+8"},
      {12345, 4, "1.235E+4"},  {0.125, 2, "1.3E-1"},
      {2.5, 1, "3.E+0"},       {2.675, 3, "2.68E+0"},
      {999.95, 4, "1.000E+3"}, {5e-324, 2, "5.0E-324"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(SigDigitPattern(row.magnitude, row.digits), row.expected) << row.magnitude;
}

}  // namespace
}  // namespace ostravel
