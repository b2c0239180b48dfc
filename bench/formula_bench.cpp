// Speed of the formula parser: FormulaMass over a corpus of 10,000 formulas built from
// realistic ones with variations, on the delivered database.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "chemistry/formula_parser.h"
#include "database/key_lists.h"
#include "database/settings.h"
#include "quiet_platform.h"
#include "session/session.h"

namespace ostravel {
namespace {

const char* const kBase[] = {
    "H2O",
    "CO2",
    "NaCl",
    "C6H12O6",
    "H2SO4",
    "CaCO3",
    "NH3",
    "CH3COOH",
    "C2H5OH",
    "KMnO4",
    "K2Cr2O7",
    "Fe2O3",
    "Ca(OH)2",
    "Al2(SO4)3",
    "(NH4)2SO4",
    "Ca3(PO4)2",
    "Mg(OH)2",
    "Pb(NO3)2",
    "K4(Fe(CN)6)",
    "C12H22O11",
    "C8H10N4O2",
    "C9H8O4",
    "Cu(NH3)4SO4",
    "CuSO4.5H2O",
    "MgSO4.7H2O",
    "Na2CO3.10H2O",
    "FeSO4(.)7H2O",
    "CoCl2.6H2O",
    "KAl(SO4)2.12H2O",
    "Na2S2O3.5H2O",
    "NaCl+H2O",
    "Fe0.95O",
    "La0.7Sr0.3MnO3",
    "YBa2Cu3O7",
    "C6H5NO2",
    "(CH3)3COH",
    "UO2(NO3)2.6H2O",
    "Ba(OH)2.8H2O",
    "C27H46O",
    "NaHCO3",
};

// Deterministic: multipliers, changed counts, added hydrate water and mixtures.
std::vector<std::string> Corpus(std::size_t size) {
  std::mt19937 random(1234);
  std::uniform_int_distribution<std::size_t> base(0, std::size(kBase) - 1);
  std::uniform_int_distribution<int> variation(0, 5);
  std::uniform_int_distribution<int> small(2, 9);
  std::vector<std::string> corpus;
  corpus.reserve(size);
  while (corpus.size() < size) {
    std::string formula = kBase[base(random)];
    switch (variation(random)) {
      case 0:
        formula = std::to_string(small(random)) + formula;
        break;
      case 1:
        formula += std::to_string(small(random));
        break;
      case 2:
        formula += "(.)" + std::to_string(small(random)) + "H2O";
        break;
      case 3:
        formula += "+" + std::string(kBase[base(random)]);
        break;
      default:
        break;
    }
    corpus.push_back(formula);
  }
  return corpus;
}

struct DeliveredSession {
  bench::QuietPlatform platform;
  Session s{platform};
  DeliveredSession() {
    s.db.ProgramFolder = OSTRAVEL_DATA_DIR;
    LoadSettings(s);
    LoadLists(s);
  }
};

void BM_FormulaMassCorpus(benchmark::State& state) {
  DeliveredSession session;
  const std::vector<std::string> corpus = Corpus(10000);
  double total = 0;
  for (auto _ : state) {
    for (const std::string& formula : corpus) {
      session.s.calc.CalcKind = CalcKind::Form;
      total += FormulaMass(session.s, formula);
    }
  }
  benchmark::DoNotOptimize(total);
  state.counters["formulas/s"] = benchmark::Counter(static_cast<double>(corpus.size()),
                                                    benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_FormulaMassCorpus)->Unit(benchmark::kMillisecond);

void BM_FormulaMassOne(benchmark::State& state, const char* formula) {
  DeliveredSession session;
  for (auto _ : state) {
    session.s.calc.CalcKind = CalcKind::Form;
    benchmark::DoNotOptimize(FormulaMass(session.s, formula));
  }
}
BENCHMARK_CAPTURE(BM_FormulaMassOne, hydrate, "CuSO4.5H2O");
BENCHMARK_CAPTURE(BM_FormulaMassOne, nested, "K4(Fe(CN)6).3H2O");
// A radical is read from the database file at each expansion.
BENCHMARK_CAPTURE(BM_FormulaMassOne, radical, "PhCOOEt");

}  // namespace
}  // namespace ostravel
