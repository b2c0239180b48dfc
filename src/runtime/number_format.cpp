#include "runtime/number_format.h"

#include <cmath>
#include <cstdlib>

#include "runtime/conversions.h"

namespace ostravel {

void SetSigFormat(NumberFormat& format) {
  // A negative count from a hand-edited setting or a request field stays within 0..9 too.
  format.SigDigits = (format.SigDigits % 10 + 10) % 10;
  if (format.SigDigits == 0) {
    format.SigFormat.clear();
  } else {
    format.SigFormat = "0." + std::string(format.SigDigits - 1, '0') + "E+0";
  }
}

std::string FormatSig(const NumberFormat& format, double value) {
  if (format.SigFormat.empty() || !std::isfinite(value)) return GeneralNumberText(value);

  // s2 = "d.ddddE+x": the rounded magnitude with exactly SigDigits significant digits.
  const std::string s2 = SigDigitPattern(std::fabs(value), format.SigDigits);
  const std::size_t e_pos = s2.find('E');
  const int e = std::atoi(s2.c_str() + e_pos + 1);
  const std::string d = s2.substr(0, 1) + s2.substr(2, e_pos - 2);
  const int digits = static_cast<int>(d.size());

  std::string text;
  if (e > -3 && std::abs(e) < digits) {
    if (e == digits - 1) {
      text = d;
    } else if (e >= 0) {
      text = d.substr(0, e + 1) + "." + d.substr(e + 1);
    } else {
      text = "0." + std::string(-e - 1, '0') + d;
    }
  } else {
    text = s2;
  }
  return value < 0 ? "-" + text : text;
}

}  // namespace ostravel
