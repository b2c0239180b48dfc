#include "chemistry/formula_parser.h"

#include <algorithm>
#include <string>
#include <vector>

#include "chemistry/element_lookup.h"
#include "chemistry/exact_mass.h"
#include "chemistry/formula_composition.h"
#include "engine/engine.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/replace_all.h"
#include "session/session.h"
#include "state/isotope_table.h"

namespace ostravel {

void InsertUnitCount(std::string& coded) {
  if (coded.size() >= 2 && coded[coded.size() - 2] == kElementMark) coded += '\x01';
}

namespace {

bool IsUpper(char c) {
  return c >= 'A' && c <= 'Z';
}
bool IsLower(char c) {
  return c >= 'a' && c <= 'z';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

[[noreturn]] void FormulaError(Session& s, const std::string& message) {
  s.engine.EvalError = message;
  Fail(FailureKind::Calculation);
}

// True when the raw text from index k holds a count and then the start of a formula (a
// letter or "("): a whole count (when whole is set, and also no count at all) or a decimal
// count such as 0.5.
bool CountAndFormulaFollow(std::string_view raw, std::size_t k, bool whole) {
  const std::size_t start = k;
  while (k < raw.size() && IsDigit(raw[k]))
    ++k;
  bool decimal = false;
  if (k > start && k + 1 < raw.size() && raw[k] == '.' && IsDigit(raw[k + 1])) {
    decimal = true;
    ++k;
    while (k < raw.size() && IsDigit(raw[k]))
      ++k;
  }
  if (!decimal && !whole) return false;
  return k < raw.size() && (IsUpper(raw[k]) || raw[k] == '(');
}

// Whether the period at text.next is a hydrate mark or a decimal point. No period is a
// hydrate mark once "(.)" is used. It is one after a count that does not begin with 0, or
// after a symbol, when the first component has at most one period (CuSO4.5H2O, NaCl.H2O; but
// C0.5H2, .5H2O and C1.5H3.0 hold decimal points), or when a decimal count and a formula
// follow it (CaSO4.0.5H2O). Right after a group it is one when a formula, with or without a
// count, follows (K4(Fe(CN)6).3H2O).
bool IsHydratePeriod(const FormulaState& f, const EncodingText& text, bool inNumber) {
  if (f.HasHydrateMark) return false;
  const bool afterCount = inNumber && f.CountTexts[f.CountTop].rfind('0', 0) != 0;
  const bool afterSymbol = !inNumber && HasPendingSymbol(f);
  const bool afterGroup =
      !inNumber && !afterSymbol && text.next > 0 && text.raw[text.next - 1] == ')';
  if ((afterCount || afterSymbol) && f.SingleDot) return true;
  if (!afterCount && !afterSymbol && !afterGroup) return false;
  return CountAndFormulaFollow(text.raw, text.next + 1, afterGroup);
}

void AppendCountCode(std::string& coded, int slot) {
  if (slot <= kShortCountSlots) {
    coded += static_cast<char>(slot);
  } else {
    coded += kLongCountMark;
    coded += static_cast<char>(slot >> 7);
    coded += static_cast<char>(slot & 0x7F);
  }
}

// A caret in a formula: a charge when the text ends with it ("SO4^2-", "Fe^3+", also after a
// group), or an isotope label when a mass number and a symbol follow ("^13C"). Moves
// text.next past the charge, or past the mass number to the symbol. False when it is
// neither: then the caret is a power and the text arithmetic.
bool ReadCaret(Session& s, EncodingText& text) {
  FormulaState& f = s.formula;
  const std::string_view rest =
      std::string_view(text.raw).substr(text.next, text.raw.size() - 2 - text.next);
  int charge = 0;
  if (ChargeSuffix(rest, charge) == 0 && charge != 0) {
    f.Charge = charge;
    text.next = text.raw.size() - 2;  // the closing ")1" of the wrapping
    return true;
  }
  std::size_t end = 1;
  int massNumber = 0;
  while (end < rest.size() && end <= 3 && IsDigit(rest[end])) {
    massNumber = massNumber * 10 + (rest[end] - '0');
    ++end;
  }
  if (end == 1 || end >= rest.size() || !IsUpper(rest[end])) return false;
  f.PendingMassNumber = massNumber;
  text.next += end;
  return true;
}

void CloseParenthesis(FormulaState& f) {
  --f.ParenDepth;
  while (!f.ActiveRadicals.empty() && f.ActiveRadicals.back().Depth > f.ParenDepth) {
    f.ActiveRadicals.pop_back();
  }
}

// The numeric value of a count slot's text.
double CountValue(const std::string& text) {
  // Whole numbers of a few digits are by far the most common counts.
  if (!text.empty() && text.size() <= 9) {
    int value = 0;
    bool digits = true;
    for (char c : text) {
      if (!IsDigit(c)) {
        digits = false;
        break;
      }
      value = value * 10 + (c - '0');
    }
    if (digits) return value;
  }
  return LeadingNumber(text);
}

double ElementValue(Session& s, int z) {
  const FormulaState& f = s.formula;
  if (f.CountAtoms) {
    return !f.ElementFilterOn || (z == f.ElementFilter && f.IsotopeFilter <= 0) ? 1 : 0;
  }
  if (f.ElementFilterOn) {
    return z == f.ElementFilter && f.IsotopeFilter <= 0 ? s.elements.AtomWeight[z] : 0;
  }
  double weight = s.elements.AtomWeight[z];
  if (weight == 0) {
    s.engine.EvalError = "No mass for atomic number " + std::to_string(z) + " found";
    Fail(FailureKind::Calculation);
  }
  return weight;
}

// An atom labelled with a mass number: its isotope's mass, or 1 when atoms are counted; 0
// when the filter leaves it out.
double LabelledAtomValue(Session& s, int z, int massNumber) {
  const FormulaState& f = s.formula;
  const bool counted =
      !f.ElementFilterOn ||
      (z == f.ElementFilter && (f.IsotopeFilter < 0 || f.IsotopeFilter == massNumber));
  if (!counted) return 0;
  return f.CountAtoms ? 1 : MonoisotopicAtomMass(s, z, massNumber);
}

// Codes the component that starts at text.next into text.coded. text.raw holds the rest of
// the formula followed by ")1", the wrapping that closes every component; the "(" that opens
// it is written directly. On return text.next points after the "+" or hydrate mark that
// ended the component, or at the end. Returns false when the text is not a formula.
bool EncodeComponent(Session& s, EncodingText& text, double& multiplier) {
  FormulaState& f = s.formula;
  SetPendingSymbol(f, ' ', ' ');
  f.CurrentAtomicNumber = 0;
  f.CountTop = 1;
  f.CountTexts[1] = "1";
  f.ActiveRadicals.clear();
  f.RadicalExpansions = 0;
  bool inNumber = false;
  std::string& raw = text.raw;
  std::string& coded = text.coded;
  coded.assign(1, kOpenMark);
  f.ParenDepth = 1;

  // Each case reads the character at text.next; after ResolveSymbol expanded a radical
  // (-1), the walk goes on at the "(" it inserted there.
  while (text.next < raw.size()) {
    char ch = raw[text.next];
    if (ch == '.' && IsHydratePeriod(f, text, inNumber)) {
      ch = kHydrateMark;
      raw[text.next] = ch;
    }
    if (IsUpper(ch)) {
      inNumber = false;
      if (ResolveSymbol(s, text) == -1) continue;
      InsertUnitCount(coded);
      coded += ch;  // stands for the symbol until it is resolved
      SetPendingSymbol(f, ch, ' ');
      f.SymbolStart = text.next;
      ++text.next;
    } else if (IsLower(ch)) {
      // A symbol is a capital and at most one small letter; a lower-case letter with no
      // capital before it starts a symbol of its own (refused unless it marks arithmetic or
      // begins a radical name). More letters can only belong to a radical's name.
      inNumber = false;
      if (f.PendingSymbol[1] != ' ') {
        if (ExpandPendingRadical(s, text)) continue;
        RefuseSymbol(s, text);
      }
      if (!HasPendingSymbol(f)) f.SymbolStart = text.next;
      f.PendingSymbol[1] = ch;
      ++text.next;
    } else if (IsDigit(ch) || ch == '.') {
      if (ResolveSymbol(s, text) == -1) continue;
      // A count belongs to the symbol or group before it; only a whole component may begin
      // with one (its multiplier). After "(" it would count nothing.
      if (!inNumber && f.ParenDepth > 1 &&
          static_cast<unsigned char>(coded.back()) == static_cast<unsigned char>(kOpenMark)) {
        FormulaError(s, FormulaPlace(std::string{'(', ch}, f.TypedFormula) +
                            "cannot be read: a count follows an element symbol or \")\"");
      }
      // The component's own multiplier stands first; any other count follows a symbol or
      // group.
      const bool leading = !inNumber && coded.size() == 1;
      if (!inNumber) {
        TakeCountSlot(s);
        AppendCountCode(coded, f.CountTop);  // a whole number is one coded count
      }
      inNumber = true;
      std::string& number = f.CountTexts[f.CountTop];
      number += ch;
      ++text.next;
      // The rest of the number joins the same slot (a hydrate period ends it).
      while (text.next < raw.size() &&
             (IsDigit(raw[text.next]) ||
              (raw[text.next] == '.' && !IsHydratePeriod(f, text, inNumber)))) {
        number += raw[text.next++];
      }
      // A count of 0 after a symbol or group would be read as no count at all, that is 1.
      if (!leading && CountValue(number) == 0) {
        FormulaError(s, FormulaPlace(number, f.TypedFormula) +
                            "is a count of nothing: leave out the atom or group it counts");
      }
    } else if (ch == '(') {
      inNumber = false;
      if (ResolveSymbol(s, text) == -1) continue;
      InsertUnitCount(coded);
      coded += kOpenMark;
      // Deeper nesting is refused; stopping here also keeps hostile texts of thousands of
      // parentheses cheap.
      if (++f.ParenDepth > kMaxFormulaNesting + 1) {
        FormulaError(s, FormulaPlace("", f.TypedFormula) + "nests parentheses more than " +
                            std::to_string(kMaxFormulaNesting) + " deep");
      }
      ++text.next;
    } else if (ch == ')') {
      inNumber = false;
      if (ResolveSymbol(s, text) == -1) continue;
      if (static_cast<unsigned char>(coded.back()) == static_cast<unsigned char>(kOpenMark) &&
          f.ParenDepth > 1) {
        FormulaError(s, FormulaPlace("()", f.TypedFormula) + "is empty");
      }
      InsertUnitCount(coded);
      coded += kCloseMark;
      CloseParenthesis(f);
      ++text.next;
      if (text.next >= raw.size() || !IsDigit(raw[text.next])) coded += '\0';
    } else if (ch == '+' || ch == kHydrateMark) {
      inNumber = false;
      if (ResolveSymbol(s, text) == -1) continue;
      // Parts of a mixture and hydrate water stand outside parentheses: inside, the part
      // would end with its groups still open and atoms would be lost.
      if (f.ParenDepth > 1) {
        FormulaError(s, FormulaPlace(ch == '+' ? "+" : "hydrate mark", f.TypedFormula) +
                            "cannot stand inside parentheses: write mixtures and hydrates "
                            "outside them, as in NaCl+H2O or CuSO4.5H2O");
      }
      coded += kCloseMark;
      coded += '\x01';
      ++text.next;
      break;
    } else if (ch == ' ') {
      inNumber = false;
      if (ResolveSymbol(s, text) == -1) continue;
      while (text.next < raw.size() && raw[text.next] == ' ')
        ++text.next;
    } else if (ch == '^') {
      inNumber = false;
      if (ResolveSymbol(s, text) == -1) continue;
      if (!ReadCaret(s, text)) {
        coded = "()";
        s.calc.CalcKind = CalcKind::Calc;
        return false;
      }
    } else {
      // A character that cannot belong to a formula: the text is arithmetic.
      coded = "()";
      s.calc.CalcKind = CalcKind::Calc;
      return false;
    }
  }

  // A component that begins with a number: that number is its multiplier. (Its slot is the
  // component's first, so its code is a short one.)
  if (s.calc.CalcKind != CalcKind::Calc && coded.size() >= 2 &&
      static_cast<unsigned char>(coded[1]) <= kShortCountSlots) {
    multiplier *= LeadingNumber(f.CountTexts[static_cast<unsigned char>(coded[1])]);
    coded[1] = '\0';
  }
  return true;
}

// The raw text after the component just coded, without the closing ")1".
bool HasRest(const EncodingText& text) {
  return text.next + 2 < text.raw.size();
}

}  // namespace

std::string EncodeFormula(Session& s, std::string& formula, double& multiplier,
                          double& nextMultiplier) {
  PrepareSymbolLookup(s);
  ReplaceAll(formula, "(.)", std::string(1, kHydrateMark));
  EncodingText text;
  text.raw = std::move(formula) + ")1";
  bool isFormula = EncodeComponent(s, text, multiplier);
  formula = std::move(text.coded);
  nextMultiplier = 1;
  if (!isFormula || !HasRest(text)) return {};
  return text.raw.substr(text.next, text.raw.size() - 2 - text.next);
}

namespace {

// The evaluation of a coded component on the stack, which is all 0 on entry; highest is the
// highest level used.
double EvaluateCoded(Session& s, std::string_view coded, std::vector<double>& stack, int& highest) {
  int level = 1;
  auto open = [&] {
    if (level >= kMaxFormulaLevel) Fail(FailureKind::IndexOutOfRange);
    ++level;
    if (level > highest) {
      highest = level;
      if (stack.size() <= static_cast<std::size_t>(level)) stack.resize(2 * level + 8, 0.0);
    }
  };
  for (std::size_t i = 0; i < coded.size(); ++i) {
    unsigned char code = static_cast<unsigned char>(coded[i]);
    int slot = code;
    if (code == static_cast<unsigned char>(kElementMark)) {
      if (i + 1 >= coded.size()) Fail(FailureKind::IndexOutOfRange);
      int z = static_cast<unsigned char>(coded[++i]);
      if (z > kMaxElements) Fail(FailureKind::IndexOutOfRange);
      open();
      stack[level] = ElementValue(s, z);
      continue;
    }
    if (code == static_cast<unsigned char>(kOpenMark)) {
      open();
      continue;
    }
    if (code == static_cast<unsigned char>(kLongCountMark)) {
      if (i + 2 >= coded.size()) Fail(FailureKind::IndexOutOfRange);
      slot =
          static_cast<unsigned char>(coded[i + 1]) << 7 | static_cast<unsigned char>(coded[i + 2]);
      i += 2;
    } else if (code > kShortCountSlots) {
      if (code == static_cast<unsigned char>(kIsotopeMark)) {
        if (i + 4 >= coded.size() || coded[i + 3] != kElementMark) {
          Fail(FailureKind::IndexOutOfRange);
        }
        const int massNumber = static_cast<unsigned char>(coded[i + 1]) << 7 |
                               static_cast<unsigned char>(coded[i + 2]);
        const int z = static_cast<unsigned char>(coded[i + 4]);
        if (z > kMaxElements) Fail(FailureKind::IndexOutOfRange);
        i += 4;
        open();
        stack[level] = LabelledAtomValue(s, z, massNumber);
      }
      continue;  // other codes have no meaning
    }
    if (level < 1) continue;
    if (static_cast<std::size_t>(slot) >= s.formula.CountTexts.size()) {
      Fail(FailureKind::IndexOutOfRange);
    }
    double n = CountValue(s.formula.CountTexts[slot]);
    if (n == 0) n = 1;
    stack[level - 1] += n * stack[level];
    stack[level] = 0;
    --level;
  }
  return stack[level];
}

}  // namespace

double CodedFormulaValue(Session& s, std::string_view coded) {
  std::vector<double>& stack = s.formula.Stack;
  if (stack.size() < 16) stack.assign(16, 0.0);
  int highest = 1;
  struct Clear {  // leaves the stack all 0, also after a failure
    std::vector<double>& stack;
    int& highest;
    ~Clear() { std::fill(stack.begin(), stack.begin() + highest + 1, 0.0); }
  } clear{stack, highest};
  return EvaluateCoded(s, coded, stack, highest);
}

double FormulaMass(Session& s, std::string formula) {
  FormulaState& f = s.formula;
  f.TypedFormula = formula;
  SetPendingSymbol(f, ' ', ' ');
  // The code of the hydrate mark, typed, is no hydrate mark: no formula holds that character.
  if (formula.find(kHydrateMark) != std::string::npos) {
    f.FormulaElements.clear();
    s.calc.CalcKind = CalcKind::Calc;
    return 0;
  }
  f.FormulaElements.clear();
  f.FormulaIsotopes.clear();
  f.PendingMassNumber = 0;
  f.Charge = 0;
  f.HasHydrateMark = formula.find("(.)") != std::string::npos;
  std::string_view first = formula;
  first = first.substr(0, first.find('+'));
  first = first.substr(0, first.find("(.)"));
  std::size_t dot = first.find('.');
  int firstDot = dot == std::string_view::npos ? 0 : static_cast<int>(dot) + 1;
  f.SingleDot = firstDot == FindLast(first, '.');

  PrepareSymbolLookup(s);
  // The components are coded one after the other from one copy of the text, so that a long
  // mixture costs no more than its length.
  ReplaceAll(formula, "(.)", std::string(1, kHydrateMark));
  EncodingText text;
  text.raw = std::move(formula) + ")1";
  text.coded.reserve(2 * text.raw.size() + 16);  // a code or two per character, grown once
  double multiplier = 1;
  double total = 0;
  // Every part of a mixture or hydrate holds an element: "2+Zn" or "H2O++NaCl" is no formula
  // with a part of mass 0. (A text without any element at all is the caller's to refuse.)
  bool mixture = false;
  std::string emptyPart;
  bool hasEmptyPart = false;
  while (HasRest(text) && s.calc.CalcKind != CalcKind::Calc) {
    const std::size_t start = text.next;
    if (EncodeComponent(s, text, multiplier) && s.calc.CalcKind != CalcKind::Calc) {
      mixture = mixture || HasRest(text);
      if (mixture && !hasEmptyPart && text.coded.find(kElementMark) == std::string::npos) {
        const std::size_t end = HasRest(text) ? text.next - 1 : text.raw.size() - 2;
        emptyPart = text.raw.substr(std::min(start, end), end - std::min(start, end));
        hasEmptyPart = true;
      }
      total += CodedFormulaValue(s, text.coded) * multiplier;
    }
    multiplier = 1;
  }
  // A "+" at the end joins nothing: it is a charge written without its caret (Na+, Fe3+),
  // which would otherwise be dropped and give the mass of the neutral species.
  const std::size_t last = text.raw.find_last_not_of(' ', text.raw.size() - 3);
  if (s.calc.CalcKind != CalcKind::Calc && f.Charge == 0 && last != std::string::npos &&
      text.raw[last] == '+') {
    FormulaError(s, FormulaPlace("+", f.TypedFormula) +
                        "ends the formula: write a charge after a caret, for example Na^+ or "
                        "Fe^3+");
  }
  if (hasEmptyPart && s.calc.CalcKind != CalcKind::Calc && !f.FormulaElements.empty()) {
    FormulaError(s, FormulaPlace(emptyPart.empty() ? "+" : emptyPart, f.TypedFormula) +
                        "holds no element: every part of a mixture is a formula");
  }
  // An ion's mass lacks or carries the electrons of its charge.
  if (f.Charge != 0 && !f.CountAtoms && !f.ElementFilterOn) total -= f.Charge * kElectronMass;
  return total;
}

}  // namespace ostravel
