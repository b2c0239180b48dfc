// The expression engine on any text, in direct and in solver mode, with any value of X.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>

#include "fuzz_support.h"
#include "session/engine_calls.h"
#include "session/session.h"

using namespace ostravel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::SilentPlatform ui;
  FuzzedDataProvider input(data, size);
  Session s(ui);
  s.flags.QuietMode = input.ConsumeBool();
  const bool solver = input.ConsumeBool();
  s.engine.EvalMode = solver ? EvalMode::Solver : EvalMode::Direct;
  s.engine.XValue = input.ConsumeFloatingPoint<double>();
  s.engine.SolverStep = input.ConsumeFloatingPoint<double>();
  s.engine.EvalText = input.ConsumeRemainingBytesAsString();
  try {
    EvaluateExpression(s);
  } catch (const RunFailure& failure) {
    ShowEvalError(s, failure.kind());
    if (s.engine.EvalError.empty()) fuzz::PropertyFailed("a failure without a message");
    return 0;
  }
  if (solver && !(s.engine.FxAbs >= 0) && !std::isnan(s.engine.FxAbs))
    fuzz::PropertyFailed("a negative |f(x)|");
  if (!solver && s.engine.FxAbs != 0) fuzz::PropertyFailed("|f(x)| set by a direct evaluation");
  return 0;
}
