// The expression engine's calls as the rest of the program makes them, on the whole session:
// each hands the engine the state it works on.
#pragma once

#include "engine/engine.h"
#include "session/session.h"

namespace ostravel {

inline void EvaluateExpression(Session& s) {
  EvaluateExpression(s.engine, s.memory, s.ui);
}

inline void GetToken(Session& s) {
  GetToken(s.engine);
}

inline void ApplyOperator(Session& s) {
  ApplyOperator(s.engine, s.memory, s.ui);
}

inline void ShowEvalError(Session& s, FailureKind kind) {
  ShowEvalError(s.engine, s.ui, s.flags.QuietMode, kind);
}

}  // namespace ostravel
