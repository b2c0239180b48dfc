// Runs one evaluation on a session and reports its outcome, for the engine's tables.
#pragma once

#include <optional>
#include <string>

#include "session/engine_calls.h"
#include "session/session.h"
#include "support/code_printers.h"

namespace ostravel::testing {

struct Outcome {
  std::optional<FailureKind> failure;  // empty when the evaluation succeeded
  double value = 0;                    // XValue in direct mode, FxAbs in solver mode
};

inline Outcome Evaluate(Session& s, const std::string& text, EvalMode mode = EvalMode::Direct) {
  s.engine.EvalText = text;
  s.engine.EvalMode = mode;
  Outcome outcome;
  try {
    EvaluateExpression(s);
    outcome.value = mode == EvalMode::Direct ? s.engine.XValue : s.engine.FxAbs;
  } catch (const RunFailure& failure) {
    outcome.failure = failure.kind();
  }
  return outcome;
}

}  // namespace ostravel::testing
