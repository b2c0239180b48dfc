#include "runtime/conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

#include "runtime/failure.h"

namespace ostravel {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Parses "digits[.digits][e[sign]digits]" (no sign in front) that was already checked by the
// caller. A result beyond the double range fails; one below the smallest double becomes 0.
double ParseUnsigned(const std::string& number) {
  double value = 0;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                   std::chars_format::general);
  (void)end;
  if (ec == std::errc()) return value;
  if (ec != std::errc::result_out_of_range) return 0;
  // Out of range: the decimal exponent of the first significant digit tells overflow from
  // underflow (the mantissa alone may have hundreds of digits).
  std::size_t e_pos = std::min(number.find_first_of("eE"), number.size());
  std::size_t point = std::min(number.find('.'), e_pos);
  std::size_t first = number.find_first_of("123456789");
  if (first >= e_pos) return 0;
  long magnitude =
      first < point ? static_cast<long>(point - first) - 1 : -static_cast<long>(first - point);
  if (e_pos < number.size()) {
    // strtol saturates; the clamp keeps the sum from overflowing.
    magnitude +=
        std::clamp(std::strtol(number.c_str() + e_pos + 1, nullptr, 10), -100000L, 100000L);
  }
  if (magnitude > 0) Fail(FailureKind::Overflow);
  return 0;
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  auto skip_blanks = [&] {
    while (i < text.size() && IsBlank(text[i]))
      ++i;
  };
  skip_blanks();
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::string number;
  bool point = false;
  bool any_digit = false;
  for (skip_blanks(); i < text.size(); ++i, skip_blanks()) {
    char c = text[i];
    if (IsDigit(c)) {
      number += c;
      any_digit = true;
    } else if (c == '.' && !point) {
      number += c;
      point = true;
    } else {
      break;
    }
  }
  if (!any_digit) return 0;
  // Exponent: "E" or "D", an optional sign and at least one digit; otherwise it is ignored.
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t j = i + 1;
    auto skip = [&] {
      while (j < text.size() && IsBlank(text[j]))
        ++j;
    };
    skip();
    std::string exponent = "e";
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
    bool exponent_digit = false;
    for (skip(); j < text.size() && IsDigit(text[j]); ++j, skip()) {
      exponent += text[j];
      exponent_digit = true;
    }
    if (exponent_digit) number += exponent;
  }
  double value = ParseUnsigned(number);
  return negative ? -value : value;
}

bool StrictNumber(std::string_view text, double& value) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin]))
    ++begin;
  while (end > begin && IsBlank(text[end - 1]))
    --end;
  std::string_view t = text.substr(begin, end - begin);
  std::size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  std::string number;
  bool any_digit = false, point = false;
  for (; i < t.size(); ++i) {
    if (IsDigit(t[i])) {
      number += t[i];
      any_digit = true;
    } else if (t[i] == '.' && !point) {
      number += t[i];
      point = true;
    } else {
      break;
    }
  }
  if (!any_digit) return false;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
    ++i;
    number += 'e';
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) number += t[i++];
    bool exponent_digit = false;
    for (; i < t.size() && IsDigit(t[i]); ++i) {
      number += t[i];
      exponent_digit = true;
    }
    if (!exponent_digit) return false;
  }
  if (i != t.size()) return false;
  try {
    double v = ParseUnsigned(number);
    value = negative ? -v : v;
  } catch (const RunFailure&) {
    return false;
  }
  return true;
}

double RoundHalfEven(double value) {
  return std::nearbyint(value);
}

std::int16_t ToInt16(double value) {
  if (std::isnan(value)) Fail(FailureKind::Overflow);
  double rounded = RoundHalfEven(value);
  if (rounded < -32768.0 || rounded > 32767.0) Fail(FailureKind::Overflow);
  return static_cast<std::int16_t>(rounded);
}

std::string GeneralNumberText(double value, int significantDigits) {
  if (value == 0) return "0";
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general,
                              significantDigits);
  std::string text(buffer, result.ptr);
  if (std::size_t e = text.find('e'); e != std::string::npos) text[e] = 'E';
  return text;
}

std::string SigDigitPattern(double magnitude, int digits) {
  if (digits < 1) digits = 1;
  if (digits > 17) digits = 17;
  magnitude = std::fabs(magnitude);
  if (!std::isfinite(magnitude)) return GeneralNumberText(magnitude);
  // The shortest decimal text that reads back as the value ("2.675e+00"), rounded half away
  // from zero at the wanted digit, as a chemist rounds: 12345 at 4 digits is 1.235E+4.
  char buffer[64];
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
  std::string text(buffer, result.ptr);
  std::size_t e = text.find('e');
  std::string mantissa;  // the significant digits without the point
  for (std::size_t i = 0; i < e; ++i)
    if (text[i] != '.') mantissa += text[i];
  int exponent = std::atoi(text.c_str() + e + 1);
  if (mantissa.size() > static_cast<std::size_t>(digits)) {
    bool up = mantissa[digits] >= '5';
    mantissa.resize(digits);
    if (up) {
      int i = digits - 1;
      for (; i >= 0 && mantissa[i] == '9'; --i)
        mantissa[i] = '0';
      if (i >= 0) {
        ++mantissa[i];
      } else {
        mantissa.insert(mantissa.begin(), '1');
        mantissa.pop_back();
        ++exponent;
      }
    }
  }
  mantissa.resize(digits, '0');
  if (magnitude == 0) exponent = 0;
  std::string out = mantissa.substr(0, 1) + "." + mantissa.substr(1) + "E";
  out += exponent < 0 ? '-' : '+';
  out += std::to_string(exponent < 0 ? -exponent : exponent);
  return out;
}

}  // namespace ostravel
