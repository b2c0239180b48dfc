// ShowEvalError: the message the user sees for a failed calculation.
#include "engine/engine.h"
#include "session/session.h"

namespace ostravel {

void ShowEvalError(Session& s, FailureKind kind) {
  EngineState& e = s.engine;
  if (e.EvalError.empty()) {
    e.EvalError = std::string("Can't evaluate this expression: ") + FailureDescription(kind);
  }
  if (s.flags.QuietMode) return;
  try {
    s.ui.MessageBox(e.EvalError, MessageIcon::Exclamation, kAppTitle);
  } catch (...) {
    // Reporting a failure must not raise another one; EvalError still holds the text.
  }
}

}  // namespace ostravel
