// Formula throughput for bench/compare: FormulaMass (or, with --exact, the monoisotopic mass)
// over every formula of a corpus file, on the delivered database, timed inside the process so
// that its start is not counted.
//
//   formula_throughput CORPUS [--masses] [--exact]
//
// Prints "formulas/s N" (best of several passes over the corpus, at least one second in all)
// and, with --masses, one line "formula<TAB>mass" per formula of the corpus first.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "chemistry/exact_mass.h"
#include "chemistry/formula_composition.h"
#include "chemistry/formula_parser.h"
#include "database/key_lists.h"
#include "database/settings.h"
#include "quiet_platform.h"
#include "runtime/failure.h"
#include "session/session.h"

namespace {

using Clock = std::chrono::steady_clock;

bool exactMass = false;

double MassOf(ostravel::Session& s, const std::string& formula, bool& isFormula) {
  if (exactMass) {
    try {
      isFormula = true;
      return ostravel::MonoisotopicMass(s, ostravel::FormulaComposition(s, formula));
    } catch (const ostravel::RunFailure&) {
      isFormula = false;
      return 0;
    }
  }
  s.calc.CalcKind = ostravel::CalcKind::Form;
  const double mass = ostravel::FormulaMass(s, formula);
  isFormula = s.calc.CalcKind == ostravel::CalcKind::Form;
  return mass;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: formula_throughput CORPUS [--masses] [--exact]\n";
    return 2;
  }
  bool printMasses = false;
  for (int i = 2; i < argc; ++i) {
    printMasses = printMasses || std::strcmp(argv[i], "--masses") == 0;
    exactMass = exactMass || std::strcmp(argv[i], "--exact") == 0;
  }
  std::ifstream in(argv[1]);
  std::vector<std::string> corpus;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) corpus.push_back(line);
  }
  if (corpus.empty()) {
    std::cerr << "formula_throughput: no formulas in " << argv[1] << "\n";
    return 1;
  }

  ostravel::bench::QuietPlatform platform;
  ostravel::Session s(platform);
  s.db.ProgramFolder = OSTRAVEL_DATA_DIR;
  ostravel::LoadSettings(s);
  ostravel::LoadLists(s);

  int rejected = 0;
  for (const std::string& formula : corpus) {
    bool isFormula = true;
    const double mass = MassOf(s, formula, isFormula);
    if (!isFormula) ++rejected;
    if (printMasses) std::printf("%s\t%.10g\n", formula.c_str(), isFormula ? mass : 0.0);
  }

  double best = 0, sink = 0;
  const auto start = Clock::now();
  for (int pass = 0; pass < 5 || Clock::now() - start < std::chrono::seconds(1); ++pass) {
    const auto passStart = Clock::now();
    for (const std::string& formula : corpus) {
      bool isFormula = true;
      sink += MassOf(s, formula, isFormula);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - passStart).count();
    best = std::max(best, static_cast<double>(corpus.size()) / seconds);
  }
  std::printf("formulas/s %.0f\n", best);
  std::fprintf(stderr, "%zu formulas, %d not read as formulas (checksum %.6g)\n", corpus.size(),
               rejected, sink);
  return rejected == 0 ? 0 : 1;
}
