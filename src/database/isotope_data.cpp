#include "database/isotope_data.h"

#include <fstream>
#include <vector>

#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/file_io.h"
#include "session/session.h"
#include "state/engine_state.h"
#include "state/isotope_table.h"

namespace ostravel {
namespace {

std::vector<std::string_view> TabFields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

bool Number(std::string_view field, double& value) {
  return StrictNumber(field, value) && value >= 0;
}

ElementIsotopes& EntryFor(IsotopeTable& table, std::string_view symbol) {
  for (ElementIsotopes& e : table.Elements) {
    if (e.Symbol == symbol) return e;
  }
  table.Elements.push_back(ElementIsotopes{});
  table.Elements.back().Symbol = symbol;
  return table.Elements.back();
}

bool IsSymbol(std::string_view field) {
  return (field.size() == 1 || field.size() == 2) && field[0] >= 'A' && field[0] <= 'Z' &&
         (field.size() == 1 || (field[1] >= 'a' && field[1] <= 'z'));
}

// One line of the [StandardAtomicWeights] section; "" or what is wrong with it.
std::string ReadWeight(IsotopeTable& table, const std::vector<std::string_view>& f) {
  if (f.size() != 3 && f.size() != 5) return "expected symbol, weight, uncertainty[, interval]";
  if (!IsSymbol(f[0])) return "not an element symbol";
  ElementIsotopes& e = EntryFor(table, f[0]);
  if (!Number(f[1], e.StandardWeight) || !Number(f[2], e.WeightUncertainty)) {
    return "weight or uncertainty is not a number";
  }
  if (f.size() == 5 && (!Number(f[3], e.IntervalLow) || !Number(f[4], e.IntervalHigh) ||
                        e.IntervalLow > e.IntervalHigh)) {
    return "the interval is not two rising numbers";
  }
  return {};
}

// One line of the [Isotopes] section.
std::string ReadIsotope(IsotopeTable& table, const std::vector<std::string_view>& f) {
  if (f.size() != 4) return "expected symbol, mass number, mass, abundance";
  if (!IsSymbol(f[0])) return "not an element symbol";
  Isotope isotope;
  double massNumber = 0;
  if (!Number(f[1], massNumber) || massNumber < 1 || massNumber > 400 ||
      massNumber != static_cast<int>(massNumber)) {
    return "the mass number is not a whole number from 1 to 400";
  }
  isotope.MassNumber = static_cast<int>(massNumber);
  if (!Number(f[2], isotope.Mass) || isotope.Mass == 0) return "the mass is not a number";
  if (!f[3].empty() && (!Number(f[3], isotope.Abundance) || isotope.Abundance > 1)) {
    return "the abundance is not a fraction from 0 to 1";
  }
  ElementIsotopes& e = EntryFor(table, f[0]);
  for (const Isotope& known : e.Isotopes) {
    if (known.MassNumber == isotope.MassNumber) return "the isotope is listed twice";
  }
  e.Isotopes.push_back(isotope);
  return {};
}

// The line of the [Edition] section: a whole number from 1.
std::string ReadEdition(std::string_view line, int& edition) {
  double value = 0;
  if (!Number(line, value) || value < 1 || value > 1e6 || value != static_cast<int>(value)) {
    return "the edition is not a whole number from 1";
  }
  edition = static_cast<int>(value);
  return {};
}

void FindMostAbundant(ElementIsotopes& e) {
  e.MostAbundant = -1;
  for (std::size_t i = 0; i < e.Isotopes.size(); ++i) {
    if (e.Isotopes[i].Abundance > 0 &&
        (e.MostAbundant < 0 || e.Isotopes[i].Abundance > e.Isotopes[e.MostAbundant].Abundance)) {
      e.MostAbundant = static_cast<int>(i);
    }
  }
}

}  // namespace

std::string ParseIsotopeData(std::string_view text, IsotopeTable& table) {
  table = IsotopeTable{};
  enum class Section { None, Edition, Weights, Isotopes } section = Section::None;
  int lineNumber = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == '#') continue;
    std::string problem;
    if (line == "[Edition]") {
      section = Section::Edition;
    } else if (line == "[StandardAtomicWeights]") {
      section = Section::Weights;
    } else if (line == "[Isotopes]") {
      section = Section::Isotopes;
    } else if (section == Section::Edition) {
      problem = ReadEdition(line, table.Edition);
    } else if (section == Section::Weights) {
      problem = ReadWeight(table, TabFields(line));
    } else if (section == Section::Isotopes) {
      problem = ReadIsotope(table, TabFields(line));
    } else {
      problem = "a line outside the sections";
    }
    if (!problem.empty()) {
      table = IsotopeTable{};
      return "line " + std::to_string(lineNumber) + ": " + problem;
    }
  }
  for (ElementIsotopes& e : table.Elements)
    FindMostAbundant(e);
  if (table.Elements.empty()) return "no element data";
  table.Loaded = true;
  return {};
}

int IsotopeFileEdition(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return -1;
  bool inEdition = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (inEdition) {
      int edition = 0;
      return ReadEdition(line, edition).empty() ? edition : 0;
    }
    if (line != "[Edition]") return 0;
    inEdition = true;
  }
  return in.bad() ? -1 : 0;
}

const IsotopeTable& IsotopeData(Session& s) {
  if (s.isotopes.Loaded) return s.isotopes;
  const std::string path = s.db.ProgramFolder + "/" + kIsotopeFileName;
  std::string text;
  std::string problem = "cannot be read";
  if (ReadAll(path, text)) {
    problem = ParseIsotopeData(text, s.isotopes);
    if (!problem.empty()) problem = "is damaged (" + problem + ")";
  }
  if (!problem.empty()) {
    s.engine.EvalError = std::string("The isotope table ") + kIsotopeFileName + " in " +
                         s.db.ProgramFolder + " " + problem;
    Fail(FailureKind::Calculation);
  }
  return s.isotopes;
}

}  // namespace ostravel
