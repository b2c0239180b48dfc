// Speed of a whole entry line through the calculation driver on the delivered database.
#include <benchmark/benchmark.h>

#include <string>

#include "calc/calculation_driver.h"
#include "memory/memories.h"
#include "quiet_platform.h"
#include "session/session.h"
#include "startup/startup.h"

namespace ostravel {
namespace {

void RunLine(benchmark::State& state, const std::string& line) {
  bench::QuietPlatform ui;
  Session s(ui);
  s.db.ProgramFolder = OSTRAVEL_DATA_DIR;  // read only: calculations write nothing
  Form_Load(s, "");
  for (auto _ : state) {
    ResetMemories(s);  // so molar masses and constants are computed, not found by name
    s.window.entryline.Text = line;
    DoCalculations(s);
    benchmark::DoNotOptimize(s.memory.MemValues[s.memory.MemoryCount]);
  }
  if (!s.engine.EvalError.empty()) state.SkipWithError(s.engine.EvalError.c_str());
}

void BM_DoCalculationsTypicalLine(benchmark::State& state) {
  RunLine(state, "2*MW(CuSO4.5H2O); <R>*298.15/101325; wt%(Cu,CuSO4)");
}
BENCHMARK(BM_DoCalculationsTypicalLine);

void BM_DoCalculationsArithmetic(benchmark::State& state) {
  RunLine(state, "2*3+4");
}
BENCHMARK(BM_DoCalculationsArithmetic);

void BM_DoCalculationsEquation(benchmark::State& state) {
  RunLine(state, "x^2=2, X0=1");
}
BENCHMARK(BM_DoCalculationsEquation);

}  // namespace
}  // namespace ostravel
