// Characters as the user typed them. Text arrives as bytes: UTF-8 from the console and the
// window, Latin-1 from data files and the web form. A valid multi-byte UTF-8 sequence is read
// as one character; any other byte of 128 and above is a Latin-1 character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ostravel {

struct TypedCharacter {
  char32_t code = 0;       // the Unicode code point
  std::size_t length = 0;  // bytes it takes in the text (1 for ASCII and Latin-1)
};

// The character that starts at byte index at (which must be inside the text).
TypedCharacter ReadTypedCharacter(std::string_view text, std::size_t at);

// The entry text with the characters that have a plain meaning written plainly: subscript
// digits become digits, a run of superscript digits and signs becomes a caret followed by
// them (¹³CO₂ is ^13CO2, Fe³⁺ is Fe^3+, x² is x^2), the multiplication, division and minus signs
// become "*", "/" and "-", the middle dot becomes the hydrate mark "(.)", a no-break space a blank.
// The power-of-ten forms become E notation: "6.022 x 10^23" and "1.5 x 10-3" (also with the sign
// "×") are 6.022E23 and 1.5E-3, while "4 x 10" and "2 x 105" multiply. Every other byte stays as it
// was, for the reading of the calculation to accept or refuse by name.
std::string PlainEntryText(std::string_view text);

}  // namespace ostravel
