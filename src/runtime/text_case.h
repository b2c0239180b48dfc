// Small text routines used throughout: trimming blanks and ASCII case folding. Case folding is
// ASCII only, so the result never depends on the process's locale.
#pragma once

#include <string>
#include <string_view>

namespace ostravel {

// The text without leading and trailing blanks (the space character only).
std::string TrimBlanks(std::string_view text);
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);

}  // namespace ostravel
