// The expression engine: parses a plain arithmetic expression with fixed operator priorities
// and evaluates it on a value stack, in direct mode or solver mode.
#pragma once

#include <string>
#include <string_view>

#include "runtime/failure.h"

namespace ostravel {

class Session;

// Evaluates s.engine.EvalText in s.engine.EvalMode; writes XValue (direct) or FxAbs (solver).
// Raises RunFailure; EvalError holds the failing operation's text.
void EvaluateExpression(Session& s);
// Takes the next token off ParseText into Token and TokenValue.
void GetToken(Session& s);
// Applies the operator on top of OpStack to ValStack and pops it.
void ApplyOperator(Session& s);
// Turns the current failure into the message the user sees (EvalError) and shows it unless
// QuietMode is set.
void ShowEvalError(Session& s, FailureKind kind);

// The text trimmed and with every remaining blank removed.
std::string StripSpaces(std::string_view text);
// Position (from 1) of the last occurrence of ch in text, 0 when it does not occur.
int FindLast(std::string_view text, char ch);
// True when the whole text converts to a double.
bool IsNumericText(std::string_view value);

}  // namespace ostravel
