// The expression engine: parses a plain arithmetic expression with fixed operator priorities
// and evaluates it on a value stack, in direct mode or solver mode. It works on its own state,
// reads the memory lines for the recall M<n> and yields to the front end through the platform;
// session/engine_calls.h has the same calls on the whole session.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "runtime/failure.h"
#include "state/engine_state.h"
#include "state/memory_state.h"

namespace ostravel {

// Evaluates e.EvalText in e.EvalMode; writes XValue (direct) or FxAbs (solver).
// Raises RunFailure; EvalError holds the failing operation's text.
void EvaluateExpression(EngineState& e, const MemoryState& memory, Platform& ui);
// Takes the next token off ParseText into Token and TokenValue.
void GetToken(EngineState& e);
// Applies the operator on top of OpStack to ValStack and pops it.
void ApplyOperator(EngineState& e, const MemoryState& memory, Platform& ui);
// Turns the current failure into the message the user sees (EvalError) and shows it unless
// quiet.
void ShowEvalError(EngineState& e, Platform& ui, bool quiet, FailureKind kind);

// The text trimmed and with every remaining blank removed.
std::string StripSpaces(std::string_view text);
// Position (from 1) of the last occurrence of ch in text, 0 when it does not occur.
int FindLast(std::string_view text, char ch);
// True when the whole text converts to a double.
bool IsNumericText(std::string_view value);

}  // namespace ostravel
