#include "chemistry/reaction_equation.h"

#include <algorithm>
#include <array>

#include "chemistry/exact_mass.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/number_format.h"
#include "session/session.h"

namespace ostravel {
namespace {

constexpr std::size_t kMaxSpecies = 100;

// The signs between the two sides, longest first so that "<=>" is not read as "=".
constexpr std::array<std::string_view, 10> kArrows = {"<=>",
                                                      "<->",
                                                      "-->",
                                                      "==>",
                                                      "\xE2\x87\x8C" /* U+21CC */,
                                                      "\xE2\x87\x84" /* U+21C4 */,
                                                      "\xE2\x9F\xB6" /* U+27F6 */,
                                                      "\xE2\x86\x92" /* U+2192 */,
                                                      "->",
                                                      "="};

// Units of an amount written before a species, as a factor to moles or to grams.
struct AmountUnit {
  std::string_view Name;
  double Factor;
  bool Grams;
};
constexpr std::array<AmountUnit, 5> kUnits = {{{"mmol", 1e-3, false},
                                               {"mol", 1, false},
                                               {"mg", 1e-3, true},
                                               {"kg", 1e3, true},
                                               {"g", 1, true}}};

[[noreturn]] void ReadError(Session& s, std::string message) {
  s.engine.EvalError = std::move(message);
  Fail(FailureKind::Calculation);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

// The two sides of the equation; arrow receives the sign between them.
std::array<std::string_view, 2> SplitSides(Session& s, std::string_view equation,
                                           std::string& arrow) {
  std::size_t at = std::string_view::npos;
  std::size_t length = 0;
  for (std::size_t i = 0; i < equation.size(); ++i) {
    for (std::string_view sign : kArrows) {
      if (equation.substr(i, sign.size()) != sign) continue;
      if (at != std::string_view::npos) {
        ReadError(s, "The equation has more than one \"=\"; write reactants = products.");
      }
      at = i;
      length = sign.size();
      i += sign.size() - 1;
      break;
    }
  }
  if (at == std::string_view::npos) {
    ReadError(s, "An equation needs \"=\" (or \"->\") between its reactants and products.");
  }
  arrow = equation.substr(at, length);
  return {equation.substr(0, at), equation.substr(at + length)};
}

// A "+" that ends a charge ("Fe^3+", "Na+ + Cl-", "Ca^++") rather than separating species:
// one written after a caret and its digits or signs, or one followed by nothing but blanks
// before another "+" or the end of the side.
bool IsChargeSign(std::string_view side, std::size_t plus) {
  std::size_t back = plus;
  while (back > 0 && (IsDigit(side[back - 1]) || side[back - 1] == '+' || side[back - 1] == '-'))
    --back;
  if (back > 0 && side[back - 1] == '^') return true;
  std::size_t next = plus + 1;
  while (next < side.size() && (side[next] == ' ' || side[next] == '\t'))
    ++next;
  return plus > 0 && side[plus - 1] != ' ' && (next == side.size() || side[next] == '+');
}

std::vector<std::string_view> SplitSpecies(Session& s, std::string_view side, bool products) {
  std::vector<std::string_view> species;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= side.size(); ++i) {
    if (i < side.size() && (side[i] != '+' || IsChargeSign(side, i))) continue;
    std::string_view one = Trim(side.substr(start, i - start));
    if (one.empty()) {
      ReadError(s, std::string("The ") + (products ? "right" : "left") + " side of the " +
                       "equation has an empty species; write species separated by \"+\".");
    }
    species.push_back(one);
    start = i + 1;
  }
  return species;
}

// Removes a state written at the end ("(aq)", "(s)", "(l)", "(g)"): it is no part of the formula.
std::string_view WithoutState(std::string_view text) {
  for (std::string_view state : {"(aq)", "(s)", "(l)", "(g)"}) {
    if (text.size() > state.size() && text.ends_with(state)) {
      return Trim(text.substr(0, text.size() - state.size()));
    }
  }
  return text;
}

// A coefficient or an amount at the start of a species: "2 H2O", "2H2O", "10 g Al". Returns
// the text after it; amount is set for an amount with a unit.
std::string_view TakeLeadingNumber(Session& s, std::string_view text, double& amount,
                                   const AmountUnit*& unit) {
  unit = nullptr;
  std::size_t end = 0;
  while (end < text.size() && (IsDigit(text[end]) || text[end] == '.'))
    ++end;
  if (end == 0) return text;
  const std::string_view number = text.substr(0, end);
  std::string_view rest = Trim(text.substr(end));
  for (const AmountUnit& u : kUnits) {
    if (rest.starts_with(u.Name) && rest.size() > u.Name.size() &&
        (rest[u.Name.size()] == ' ' || rest[u.Name.size()] == '\t')) {
      double value = 0;
      if (!StrictNumber(number, value)) ReadError(s, std::string(number) + " is not a number.");
      amount = value * u.Factor;
      unit = &u;
      return Trim(rest.substr(u.Name.size()));
    }
  }
  // A coefficient stands before a formula; "2*O2" is not one.
  if (rest.empty() || !(IsLetter(rest[0]) || rest[0] == '(' || rest[0] == '[' || rest[0] == '^')) {
    return text;
  }
  return rest;
}

bool IsElectron(std::string_view text) {
  return text == "e" || text == "e-" || text == "e^-";
}

// A bare charge at the end ("Na+", "OH-", "Ca++"): only after a letter or a bracket, since
// after a digit ("SO42-") it could be a count or the charge.
std::size_t BareCharge(Session& s, std::string_view text, int& charge) {
  const char sign = text.empty() ? ' ' : text.back();
  if (sign != '+' && sign != '-') return text.size();
  std::size_t begin = text.find_last_not_of(sign);
  if (begin == std::string_view::npos) return text.size();
  const char before = text[begin];
  if (IsDigit(before)) {
    ReadError(s, std::string(text) + ": write the charge after a caret, for example SO4^2- or " +
                     "Fe^3+ (a digit before a bare sign could be a count or the charge).");
  }
  if (!IsLetter(before) && before != ')' && before != ']') return text.size();
  const int magnitude = static_cast<int>(text.size() - begin - 1);
  charge = sign == '+' ? magnitude : -magnitude;
  return begin + 1;
}

// Brackets of complexes read as parentheses, as in the entry line.
std::string AsParentheses(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '[' || c == '{') c = '(';
    if (c == ']' || c == '}') c = ')';
  }
  return out;
}

void AddSpecies(Session& s, ReactionInput& input, std::string_view written, bool product) {
  ReactionSpecies species;
  species.Product = product;
  double amount = 0;
  const AmountUnit* unit = nullptr;
  std::string_view text = TakeLeadingNumber(s, written, amount, unit);
  if (text.empty()) ReadError(s, std::string(written) + " names no species.");
  species.Text = text;
  const std::string_view formula = WithoutState(text);

  Composition composition;
  if (IsElectron(formula)) {
    composition.Charge = -1;
  } else {
    int bare = 0;
    int caret = 0;
    std::size_t length = ChargeSuffix(formula, caret);
    if (caret == 0) length = BareCharge(s, formula, bare);
    composition = FormulaComposition(s, AsParentheses(formula.substr(0, length)));
    composition.Charge = caret != 0 ? caret : bare;
  }
  for (const AtomCount& atom : composition.Atoms) {
    Rational count;
    if (!ShortDecimalRational(atom.Count, count)) {
      ReadError(s, "The count of " + AtomName(s, atom.Number, atom.MassNumber) + " in " +
                       std::string(formula) + " is not a short decimal number.");
    }
    species.Atoms.emplace_back(AtomName(s, atom.Number, atom.MassNumber), count);
  }
  species.Charge = composition.Charge;

  SpeciesAmount given;
  double molarMass = 0;
  if (!composition.Atoms.empty()) molarMass = AverageMolarMass(s, composition);
  if (unit != nullptr) {
    if (unit->Grams && molarMass == 0) ReadError(s, species.Text + " has no molar mass.");
    given.Given = true;
    given.Moles = unit->Grams ? amount / molarMass : amount;
  }
  input.Species.push_back(std::move(species));
  input.Compositions.push_back(std::move(composition));
  input.MolarMasses.push_back(molarMass);
  input.Amounts.push_back(given);
}

std::string Format(const Session& s, double value) {
  return FormatSig(s.format, value);
}

// "0.1252 mol = 12.77 g" (the grams left out for a species without a molar mass).
std::string MolesAndGrams(const Session& s, double moles, double molarMass) {
  std::string text = Format(s, moles) + " mol";
  if (molarMass > 0) text += " = " + Format(s, moles * molarMass) + " g";
  return text;
}

// The lines on amounts: from given reactants the limiting one, the yields and what is left;
// from given products only, what they need.
std::string AmountLines(const Session& s, const ReactionInput& input,
                        const std::vector<std::int64_t>& coefficients) {
  const std::size_t n = input.Species.size();
  double extent = -1;
  std::size_t limiting = n;
  bool reactantsGiven = false;
  for (std::size_t j = 0; j < n; ++j) {
    if (input.Amounts[j].Given && !input.Species[j].Product) reactantsGiven = true;
  }
  for (std::size_t j = 0; j < n; ++j) {
    if (!input.Amounts[j].Given || input.Species[j].Product == reactantsGiven) continue;
    const double e = input.Amounts[j].Moles / static_cast<double>(coefficients[j]);
    // Reactants: the smallest extent limits. Products: the largest makes every given amount.
    if (limiting == n || (reactantsGiven ? e < extent : e > extent)) {
      extent = e;
      limiting = j;
    }
  }
  if (limiting == n) return {};

  std::string lines;
  auto list = [&](bool products, bool onlyUngiven) {
    std::string items;
    for (std::size_t j = 0; j < n; ++j) {
      if (input.Species[j].Product != products || (onlyUngiven && input.Amounts[j].Given)) continue;
      if (!items.empty()) items += "; ";
      items +=
          input.Species[j].Text + " " +
          MolesAndGrams(s, extent * static_cast<double>(coefficients[j]), input.MolarMasses[j]);
    }
    return items;
  };
  if (reactantsGiven) {
    lines += "\nlimiting reagent: " + input.Species[limiting].Text + " (" + Format(s, extent) +
             " mol of the reaction as written)";
    std::string left;
    for (std::size_t j = 0; j < n; ++j) {
      if (input.Species[j].Product || !input.Amounts[j].Given || j == limiting) continue;
      if (!left.empty()) left += "; ";
      left +=
          input.Species[j].Text + " " +
          MolesAndGrams(s, input.Amounts[j].Moles - extent * coefficients[j], input.MolarMasses[j]);
    }
    if (!left.empty()) lines += "\nleft over: " + left;
    lines += "\ntheoretical yield: " + list(true, false);
    for (std::size_t j = 0; j < n; ++j) {
      if (!input.Species[j].Product || !input.Amounts[j].Given) continue;
      const double theoretical = extent * static_cast<double>(coefficients[j]);
      lines += "\npercent yield of " + input.Species[j].Text + ": " +
               Format(s, input.Amounts[j].Moles / theoretical * 100) + " %";
    }
  } else {
    lines += "\nneeded: " + list(false, false);
    const std::string others = list(true, true);
    if (!others.empty()) lines += "\nalso formed: " + others;
  }
  return lines;
}

}  // namespace

ReactionInput ReadReaction(Session& s, std::string_view equation) {
  ReactionInput input;
  const auto sides = SplitSides(s, Trim(equation), input.Arrow);
  for (int product = 0; product < 2; ++product) {
    if (Trim(sides[product]).empty()) {
      ReadError(s, std::string("The ") + (product ? "right" : "left") +
                       " side of the equation is empty.");
    }
    for (std::string_view one : SplitSpecies(s, sides[product], product == 1)) {
      if (input.Species.size() == kMaxSpecies) {
        ReadError(s, "The equation has more than " + std::to_string(kMaxSpecies) + " species.");
      }
      AddSpecies(s, input, one, product == 1);
    }
  }
  return input;
}

std::string BalanceEquation(Session& s, std::string_view equation) {
  const ReactionInput input = ReadReaction(s, equation);
  const BalanceResult result = BalanceReaction(input.Species, input.Arrow);
  if (result.Outcome != BalanceOutcome::Balanced) ReadError(s, result.Message);
  return ReactionText(input.Species, result.Coefficients, input.Arrow) +
         AmountLines(s, input, result.Coefficients);
}

}  // namespace ostravel
