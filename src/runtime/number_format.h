// Display of results rounded to a number of significant digits.
#pragma once

#include <string>

namespace ostravel {

struct NumberFormat {
  int SigDigits = 0;      // 0 = all digits; kept in 0..9 by SetSigFormat
  std::string SigFormat;  // "" for all digits, else "0." + (SigDigits - 1) zeros + "E+0"
};

// Reduces SigDigits modulo 10 and derives SigFormat from it.
void SetSigFormat(NumberFormat& format);

// The display text of a value: plain decimal form when its rounded exponent e satisfies
// e > -3 and |e| < SigDigits, scientific form otherwise; general number text for all digits.
std::string FormatSig(const NumberFormat& format, double value);

}  // namespace ostravel
