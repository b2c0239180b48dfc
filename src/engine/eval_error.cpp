// ShowEvalError: the message the user sees for a failed calculation.
#include "engine/engine.h"

namespace ostravel {

void ShowEvalError(EngineState& e, Platform& ui, bool quiet, FailureKind kind) {
  if (e.EvalError.empty()) {
    e.EvalError = std::string("Can't evaluate this expression: ") + FailureDescription(kind);
  }
  if (quiet) return;
  try {
    ui.MessageBox(e.EvalError, MessageIcon::Exclamation, kAppTitle);
  } catch (...) {
    // Reporting a failure must not raise another one; EvalError still holds the text.
  }
}

}  // namespace ostravel
