// Speed of EvaluateExpression on short, typical and long expressions. The platform only
// counts the yields, so the figures are the engine's own cost.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/engine.h"
#include "session/session.h"

namespace ostravel {
namespace {

class CountingPlatform : public Platform {
 public:
  void MessageBox(const std::string&, MessageIcon, const std::string&) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
  std::string InputBox(const std::string&, const std::string&, const std::string& d) override {
    return d;
  }
  std::string ClipboardText() override { return {}; }
  void SetClipboardText(const std::string&) override {}
  void ClearClipboard() override {}
  void Beep() override {}
  void YieldToEvents() override { ++yields; }
  void Changed(Control) override {}
  void SetFocus(Control) override {}
  void ShowModal(Dialog) override {}
  bool StartDetached(const std::string&) override { return false; }

  long yields = 0;
};

void Evaluate(benchmark::State& state, const std::string& text) {
  CountingPlatform ui;
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
