// The reading of a calculation that goes to the expression engine. It accepts numbers (an E
// exponent needs digits), X, the functions LOG, LN, EXP, SQRT, SQR and PH in any case, memory
// references M<n>, the operators + - * / ^ ( ) ! % = and, in an equation, the solver options
// X0= and DX= after the first comma. Everything else is refused with a message that names the
// text as the user typed it, so the engine never guesses: a formula inside arithmetic, an
// unknown word, a lone letter, a character outside the grammar, a decimal comma, an empty
// group or a missing number.
#pragma once

#include <string>
#include <string_view>

namespace ostravel {

class Session;

// What keeps the text from being read, in the user's terms; "" when it reads completely.
std::string ArithmeticFault(const Session& s, std::string_view text);

// Raises a calculation failure with EvalError "<typed>: <fault>" when text does not read.
void ReadArithmetic(Session& s, std::string_view text, std::string_view typed);

// The message for a character that no calculation can hold (typed as it came, with its code).
std::string CharacterFault(std::string_view text, std::size_t at);

}  // namespace ostravel
