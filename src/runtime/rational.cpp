#include "runtime/rational.h"

#include <charconv>
#include <limits>

#include "runtime/failure.h"

namespace ostravel {
namespace {

constexpr WideInt kMax = std::numeric_limits<std::int64_t>::max();

WideInt WideGcd(WideInt a, WideInt b) {
  if (a < 0) a = -a;
  if (b < 0) b = -b;
  while (b != 0) {
    const WideInt t = a % b;
    a = b;
    b = t;
  }
  return a;
}

}  // namespace

Rational Rational::FromWide(WideInt numerator, WideInt denominator) {
  if (denominator == 0) Fail(FailureKind::DivisionByZero);
  if (denominator < 0) {
    numerator = -numerator;
    denominator = -denominator;
  }
  const WideInt g = WideGcd(numerator, denominator);
  if (g > 1) {
    numerator /= g;
    denominator /= g;
  }
  // -kMax..kMax only: the most negative 64-bit number has no positive counterpart.
  if (numerator > kMax || numerator < -kMax || denominator > kMax) Fail(FailureKind::Overflow);
  Rational r;
  r.num_ = static_cast<std::int64_t>(numerator);
  r.den_ = static_cast<std::int64_t>(denominator);
  return r;
}

Rational::Rational(std::int64_t numerator, std::int64_t denominator) {
  *this = FromWide(numerator, denominator);
}

// The products of two 64-bit numbers fit in 128 bits, and so do sums of two such products.
Rational operator+(const Rational& a, const Rational& b) {
  return Rational::FromWide(
      static_cast<WideInt>(a.num_) * b.den_ + static_cast<WideInt>(b.num_) * a.den_,
      static_cast<WideInt>(a.den_) * b.den_);
}

Rational operator-(const Rational& a, const Rational& b) {
  return a + (-b);
}

Rational operator*(const Rational& a, const Rational& b) {
  return Rational::FromWide(static_cast<WideInt>(a.num_) * b.num_,
                            static_cast<WideInt>(a.den_) * b.den_);
}

Rational operator/(const Rational& a, const Rational& b) {
  return Rational::FromWide(static_cast<WideInt>(a.num_) * b.den_,
                            static_cast<WideInt>(a.den_) * b.num_);
}

Rational Rational::operator-() const {
  Rational r = *this;
  r.num_ = -r.num_;
  return r;
}

std::string Rational::Text() const {
  std::string text = std::to_string(num_);
  if (den_ != 1) text += "/" + std::to_string(den_);
  return text;
}

bool DecimalRational(std::string_view text, Rational& value) {
  WideInt numerator = 0;
  WideInt denominator = 1;
  bool point = false;
  bool digits = false;
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      digits = true;
      numerator = numerator * 10 + (c - '0');
      if (point) denominator *= 10;
      if (numerator > kMax || denominator > kMax) return false;
    } else {
      return false;
    }
  }
  if (!digits) return false;
  value = Rational(static_cast<std::int64_t>(numerator), static_cast<std::int64_t>(denominator));
  return true;
}

bool ShortDecimalRational(double value, Rational& result) {
  char buffer[64];
  const double magnitude = value < 0 ? -value : value;
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed);
  if (ec != std::errc() || !DecimalRational(std::string_view(buffer, end - buffer), result)) {
    return false;
  }
  if (value < 0) result = -result;
  return true;
}

std::int64_t Gcd(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(WideGcd(a, b));
}

std::int64_t Lcm(std::int64_t a, std::int64_t b) {
  const WideInt l = static_cast<WideInt>(a / Gcd(a, b)) * b;
  if (l > kMax) Fail(FailureKind::Overflow);
  return static_cast<std::int64_t>(l);
}

}  // namespace ostravel
