// Exact fractions of 64-bit integers, for arithmetic that must not round (balancing reaction
// equations). Every result is reduced; one that does not fit fails with an overflow.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ostravel {

// Products of two 64-bit values before they are reduced. __int128 is an extension of GCC and
// Clang, which __extension__ declares as intended.
__extension__ typedef __int128 WideInt;

class Rational {
 public:
  Rational() = default;
  Rational(std::int64_t whole) : num_(whole) {}  // NOLINT: a whole number is a fraction
  // numerator / denominator, reduced; a denominator of 0 fails with a division by zero.
  Rational(std::int64_t numerator, std::int64_t denominator);

  std::int64_t num() const { return num_; }
  std::int64_t den() const { return den_; }  // always positive
  bool IsZero() const { return num_ == 0; }
  int Sign() const { return (num_ > 0) - (num_ < 0); }

  friend Rational operator+(const Rational& a, const Rational& b);
  friend Rational operator-(const Rational& a, const Rational& b);
  friend Rational operator*(const Rational& a, const Rational& b);
  friend Rational operator/(const Rational& a, const Rational& b);
  Rational operator-() const;
  friend bool operator==(const Rational& a, const Rational& b) = default;

  // "3", "-1/2".
  std::string Text() const;

 private:
  static Rational FromWide(WideInt numerator, WideInt denominator);
  std::int64_t num_ = 0;
  std::int64_t den_ = 1;
};

// The exact value of a decimal number text ("2", "0.5", "1.25"): digits with at most one
// decimal point, nothing else. False for any other text or one too long to hold exactly.
bool DecimalRational(std::string_view text, Rational& value);

// The exact value of a double that is a short decimal (as counts of atoms in formulas are):
// the shortest decimal text that reads back as the same double. False when that text has
// more digits than a 64-bit fraction holds.
bool ShortDecimalRational(double value, Rational& result);

std::int64_t Gcd(std::int64_t a, std::int64_t b);
// Least common multiple of two positive numbers; fails with an overflow when it does not fit.
std::int64_t Lcm(std::int64_t a, std::int64_t b);

}  // namespace ostravel
