// Small text routines used on user input and by the formula parser.
#include <algorithm>
#include <iterator>

#include "engine/engine.h"
#include "runtime/conversions.h"

namespace ostravel {

std::string StripSpaces(std::string_view text) {
  // Trimming and then removing every inner blank leaves no blank at all.
  std::string result;
  result.reserve(text.size());
  std::copy_if(text.begin(), text.end(), std::back_inserter(result),
               [](char c) { return c != ' '; });
  return result;
}

int FindLast(std::string_view text, char ch) {
  std::size_t pos = text.rfind(ch);
  return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

bool IsNumericText(std::string_view value) {
  double number = 0;
  return StrictNumber(value, number);
}

}  // namespace ostravel
