#include "chemistry/formula_composition.h"

#include "chemistry/element_lookup.h"
#include "chemistry/formula_mode_scope.h"
#include "chemistry/formula_parser.h"
#include "runtime/failure.h"
#include "session/session.h"

namespace ostravel {
namespace {

constexpr std::size_t kMaxChargeDigits = 4;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The magnitude of "digits" (1..4 of them), 0 when the text is not that.
int Magnitude(std::string_view digits) {
  if (digits.empty() || digits.size() > kMaxChargeDigits) return 0;
  int value = 0;
  for (char c : digits) {
    if (!IsDigit(c)) return 0;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::size_t ChargeSuffix(std::string_view text, int& charge) {
  charge = 0;
  const std::size_t caret = text.rfind('^');
  if (caret == std::string_view::npos || caret + 1 >= text.size()) return text.size();
  const std::string_view tail = text.substr(caret + 1);
  const char last = tail.back();
  const char first = tail.front();
  int sign = 0;
  int magnitude = 0;
  if (last == '+' || last == '-') {
    sign = last == '+' ? 1 : -1;
    const std::size_t signs = tail.find_first_not_of(last);
    if (signs == std::string_view::npos) {
      magnitude = static_cast<int>(tail.size());  // "^+", "^--"
    } else {
      magnitude = Magnitude(tail.substr(0, tail.size() - 1));  // "^2-"
    }
  } else if (first == '+' || first == '-') {
    sign = first == '+' ? 1 : -1;
    magnitude = Magnitude(tail.substr(1));  // "^+3"
  }
  if (sign == 0 || magnitude == 0) return text.size();
  charge = sign * magnitude;
  return caret;
}

Composition FormulaComposition(Session& s, const std::string& formula) {
  Composition result;
  FormulaModeScope scope(s);
  FormulaState& f = s.formula;
  s.calc.CalcKind = CalcKind::Form;
  FormulaMass(s, formula);
  if (s.calc.CalcKind == CalcKind::Calc || f.FormulaElements.empty()) {
    s.engine.EvalError = formula.empty() ? "a molecular formula is missing"
                                         : formula + " is not a molecular formula";
    Fail(FailureKind::Calculation);
  }
  result.Charge = f.Charge;
  // Each count below reads the formula again, which rebuilds these.
  const std::string elements = f.FormulaElements;
  const std::vector<std::pair<int, int>> isotopes = f.FormulaIsotopes;
  f.CountAtoms = true;
  f.ElementFilterOn = true;
  auto count = [&](int number, int massNumber) {
    f.ElementFilter = number;
    f.IsotopeFilter = massNumber;
    const double atoms = FormulaMass(s, formula);
    if (atoms != 0) result.Atoms.push_back({number, massNumber, atoms});
  };
  for (std::size_t i = 0; i + 1 < elements.size(); i += 2) {
    const int number = AtomicNumber(s, std::string_view(elements).substr(i, 2));
    count(number, 0);
    for (const auto& [labelled, massNumber] : isotopes) {
      if (labelled == number) count(number, massNumber);
    }
  }
  return result;
}

std::string AtomName(const Session& s, int number, int massNumber) {
  const std::string& symbols = s.elements.ElementSymbols;
  std::string name;
  if (number >= 1 && static_cast<std::size_t>(2 * number + 1) <= symbols.size()) {
    name = symbols.substr(2 * number - 1, 2);
    if (name.back() == ' ') name.pop_back();
  }
  return massNumber == 0 ? name : "^" + std::to_string(massNumber) + name;
}

}  // namespace ostravel
