// The run-time conversions between numbers and texts that the whole program leans on.
// All of them are locale-independent and never read outside their argument.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ostravel {

// The leading number of a text: skips blanks (also between the parts of the number), reads
// an optional sign, digits, a decimal point and an exponent ("E" or "D", any case); stops at
// the first character that cannot continue the number. "1.00794(7)" gives 1.00794, a text
// that does not begin with a number gives 0. A magnitude beyond the double range fails with
// an overflow.
double LeadingNumber(std::string_view text);

// Strict conversion of a whole text to a number: optional outer blanks, sign, digits with an
// optional decimal point, optional exponent, nothing else. Returns false for anything else,
// the empty text included, and for a magnitude beyond the double range.
bool StrictNumber(std::string_view text, double& value);

// Conversion to a 16-bit integer, halves rounded to the even neighbour. A value outside
// -32768..32767 (or not a number) fails with an overflow.
std::int16_t ToInt16(double value);

// Rounds halves to the even neighbour, as the 16-bit conversion does, without a range limit.
double RoundHalfEven(double value);

// General number text: up to 15 significant digits (or as many as given), no leading blank,
// "-" when negative; plain decimal form for magnitudes from 1E-4 to below 1E15, otherwise
// scientific form with a signed exponent of at least two digits ("1E-05", "1.5E+20").
std::string GeneralNumberText(double value, int significantDigits = 15);

// A non-negative magnitude written with the sig-digit pattern: one digit, the decimal point
// (always written), digits - 1 further digits, "E", the exponent's sign and its digits without
// leading zeros. digits is 1..9: for 4 digits 12346 gives "1.235E+4", 0 gives "0.000E+0".
std::string SigDigitPattern(double magnitude, int digits);

}  // namespace ostravel
