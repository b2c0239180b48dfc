#include "chemistry/formula_explain.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "chemistry/element_lookup.h"
#include "chemistry/formula_composition.h"
#include "chemistry/formula_mode_scope.h"
#include "chemistry/formula_parser.h"
#include "chemistry/mass_report.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/replace_all.h"
#include "runtime/scoped_value.h"
#include "runtime/text_case.h"
#include "session/session.h"

namespace ostravel {
namespace {

// The molar mass of formula, or with the switches set the filtered mass or the atom count;
// a text that turns out to be no formula fails.
double ReadValue(Session& s, const std::string& formula) {
  s.calc.CalcKind = CalcKind::Form;
  const double value = FormulaMass(s, formula);
  if (s.calc.CalcKind == CalcKind::Calc || s.formula.FormulaElements.empty()) {
    s.engine.EvalError = formula.empty() ? "a molecular formula is missing"
                                         : formula + " is not a molecular formula";
    Fail(FailureKind::Calculation);
  }
  return value;
}

std::string WithoutMolarMassTerm(std::string text) {
  text = TrimBlanks(text);
  if (text.size() > 4 && AsciiUpper(text.substr(0, 3)) == "MW(" && text.back() == ')')
    text = TrimBlanks(text.substr(3, text.size() - 4));
  return text;
}

// The components of the formula one after the other, as the parser separates them at "+"
// and hydrate marks; each with its multiplier and its mass.
std::vector<ReadingRow> ReadComponents(Session& s, const std::string& formula) {
  std::vector<ReadingRow> components;
  std::string rest = formula;
  ReplaceAll(rest, "(.)", std::string(1, kHydrateMark));
  while (!rest.empty()) {
    std::string coded = rest;
    double multiplier = 1;
    double next = 1;
    const std::string after = EncodeFormula(s, coded, multiplier, next);
    ReadingRow row;
    const std::size_t length = after.empty() ? rest.size() : rest.size() - after.size() - 1;
    row.Label = TrimBlanks(rest.substr(0, length));
    row.Count = multiplier;
    row.Mass = multiplier * CodedFormulaValue(s, coded);
    components.push_back(std::move(row));
    rest = after;
  }
  return components;
}

std::string Fixed(double value, int decimals) {
  char buffer[64];
  auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (error != std::errc()) return GeneralNumberText(value);
  return std::string(buffer, end);
}

// Left-aligned first column, the others right-aligned, two blanks between columns.
std::string Table(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t c = 0; c < row.size(); ++c)
      widths[c] = std::max(widths[c], row[c].size());
  }
  std::string text;
  for (const auto& row : rows) {
    std::string line = "  ";
    for (std::size_t c = 0; c < row.size(); ++c) {
      const std::string pad(widths[c] - row[c].size(), ' ');
      line += c == 0 ? row[c] + pad : "  " + pad + row[c];
    }
    text += line + "\n";
  }
  return text;
}

}  // namespace

FormulaReading ExplainFormula(Session& s, const std::string& text) {
  FormulaModeScope scope(s);
  FormulaReading reading;
  reading.Formula = WithoutMolarMassTerm(text);
  const std::string& formula = reading.Formula;
  reading.MolarMass = ReadValue(s, formula);
  // Each reading below rebuilds these.
  const std::string elements = s.formula.FormulaElements;
  const std::vector<std::pair<int, int>> isotopes = s.formula.FormulaIsotopes;
  const std::vector<ReadingRow> components = ReadComponents(s, formula);
  if (components.size() > 1) reading.Components = components;

  // A row per element in its natural composition and per labelled isotope (^13C, D as ^2H).
  FormulaState& f = s.formula;
  auto addRow = [&](int number, int massNumber) {
    ReadingRow row;
    row.Label = AtomName(s, number, massNumber);
    f.ElementFilter = number;
    f.IsotopeFilter = massNumber;
    const ScopedValue filter(f.ElementFilterOn, true);
    row.Mass = ReadValue(s, formula);
    {
      const ScopedValue countAtoms(f.CountAtoms, true);
      row.Count = ReadValue(s, formula);
    }
    if (row.Count != 0) reading.Elements.push_back(std::move(row));
  };
  for (std::size_t i = 0; i + 1 < elements.size(); i += 2) {
    const int number = AtomicNumber(s, std::string_view(elements).substr(i, 2));
    addRow(number, 0);
    for (const auto& [labelled, massNumber] : isotopes) {
      if (labelled == number) addRow(number, massNumber);
    }
  }
  f.IsotopeFilter = -1;
  for (auto* rows : {&reading.Elements, &reading.Components}) {
    for (ReadingRow& row : *rows)
      row.Percent = reading.MolarMass != 0 ? row.Mass / reading.MolarMass * 100 : 0;
  }
  const std::string error = s.engine.EvalError;
  try {
    reading.Masses = MassReport(s, formula);
  } catch (const RunFailure&) {
    s.engine.EvalError = error;  // the reading stands without the report
  }
  return reading;
}

std::string FormulaReadingText(const FormulaReading& reading) {
  std::vector<std::vector<std::string>> elements{{"Element", "Count", "g/mol", "Mass %"}};
  for (const ReadingRow& row : reading.Elements) {
    elements.push_back(
        {row.Label, GeneralNumberText(row.Count), Fixed(row.Mass, 4), Fixed(row.Percent, 2)});
  }
  std::string text = reading.Formula + "\n" + Table(elements);
  if (!reading.Components.empty()) {
    std::vector<std::vector<std::string>> components{{"Component", "g/mol", "Mass %"}};
    for (const ReadingRow& row : reading.Components)
      components.push_back({row.Label, Fixed(row.Mass, 4), Fixed(row.Percent, 2)});
    text += Table(components);
  }
  if (reading.Masses.empty())
    return text + "Molar mass: " + GeneralNumberText(reading.MolarMass) + " g/mol\n";
  for (const auto& [label, value] : reading.Masses)
    text += label + ": " + value + "\n";
  return text;
}

}  // namespace ostravel
