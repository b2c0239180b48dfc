// Speed of equations through the calculation driver: a root the first search finds, one that
// needs further starting points, and equations without a root, which try them all.
#include <benchmark/benchmark.h>

#include <string>

#include "calc/calculation_driver.h"
#include "memory/memories.h"
#include "quiet_platform.h"
#include "session/session.h"
#include "startup/startup.h"

namespace ostravel {
namespace {

void SolveLine(benchmark::State& state, const std::string& line, bool root) {
  bench::QuietPlatform ui;
  Session s(ui);
  s.db.ProgramFolder = OSTRAVEL_DATA_DIR;  // read only: calculations write nothing
  Form_Load(s, "");
  for (auto _ : state) {
    ResetMemories(s);
    s.window.entryline.Text = line;
    DoCalculations(s);
    benchmark::DoNotOptimize(s.engine.XValue);
  }
  if (s.engine.EvalError.empty() != root) state.SkipWithError("unexpected outcome");
  state.counters["yields/solve"] =
      benchmark::Counter(static_cast<double>(ui.yields), benchmark::Counter::kAvgIterations);
}

BENCHMARK_CAPTURE(SolveLine, FoundByTheFirstSearch, "x^2=2, X0=1", true);
BENCHMARK_CAPTURE(SolveLine, EquilibriumFromAStart, "(2*x)^2/(1-x)^2=50.5, X0=0.5", true);
BENCHMARK_CAPTURE(SolveLine, FoundFromAFurtherStart, "x^3-2*x-5=0", true);
BENCHMARK_CAPTURE(SolveLine, NoRealRoot, "x^2=-1", false);
BENCHMARK_CAPTURE(SolveLine, SearchRunsAway, "1/x=0", false);

}  // namespace
}  // namespace ostravel
