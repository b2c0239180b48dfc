// Speed of EvaluateExpression on short, typical and long expressions. The platform only
// counts the yields, so the figures are the engine's own cost.
#include <benchmark/benchmark.h>

#include <string>

#include "quiet_platform.h"
#include "session/engine_calls.h"
#include "session/session.h"

namespace ostravel {
namespace {

void Evaluate(benchmark::State& state, const std::string& text) {
  bench::QuietPlatform ui;
  Session s(ui);
  s.engine.EvalText = text;  // direct mode, the default
  for (auto _ : state) {
    s.engine.XValue = 1.5;
    EvaluateExpression(s);
    benchmark::DoNotOptimize(s.engine.XValue);
  }
  state.counters["chars"] = static_cast<double>(text.size());
  state.counters["yields/call"] =
      static_cast<double>(ui.yields) / static_cast<double>(state.iterations());
}

// 17 tokens per piece, so 120 pieces are about 2,000 tokens; the operators are left-
// associative, so the stacks stay shallow however long the text is.
std::string LongExpression(int pieces) {
  std::string text = "1";
  for (int i = 0; i < pieces; ++i)
    text += "+2.5*3^2-LOG(100)/4E-1";
  return text;
}

void BM_EvalShort(benchmark::State& state) {
  Evaluate(state, "2*3+4");
}
void BM_EvalTypical(benchmark::State& state) {
  Evaluate(state, "2*LOG(1.5E-3)+SQR(8.314*298.15)^2/EXP(0.5)");
}
void BM_EvalLong(benchmark::State& state) {
  Evaluate(state, LongExpression(static_cast<int>(state.range(0))));
}

BENCHMARK(BM_EvalShort);
BENCHMARK(BM_EvalTypical);
BENCHMARK(BM_EvalLong)->Arg(30)->Arg(120)->Arg(480);

}  // namespace
}  // namespace ostravel
