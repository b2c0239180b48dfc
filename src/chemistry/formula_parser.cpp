#include "chemistry/formula_parser.h"

#include <array>
#include <string>

#include "chemistry/element_lookup.h"
#include "engine/engine.h"
#include "gateway/text_utils.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "session/session.h"

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

// A period ends the first component as a hydrate mark (CuSO4.5H2O) when the component has a
// single period and no "(.)" is used: after a count that does not begin with 0, or right
// after a symbol. Otherwise it is a decimal point (C0.5H2, .5H2O).
bool IsHydratePeriod(const FormulaState& f, bool inNumber) {
  if (!f.SingleDot || f.HasHydrateMark) return false;
  if (inNumber) return f.CountTexts[f.CountTop].rfind('0', 0) != 0;
  return HasPendingSymbol(f);
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
  if (f.CountAtoms) return !f.ElementFilterOn || z == f.ElementFilter ? 1 : 0;
  if (f.ElementFilterOn) return z == f.ElementFilter ? s.elements.AtomWeight[z] : 0;
  double weight = s.elements.AtomWeight[z];
  if (weight == 0) {
    s.engine.EvalError = "No mass for atomic number " + std::to_string(z) + " found";
    Fail(FailureKind::Calculation);
  }
  return weight;
}

// Codes the component that starts at text.next into text.coded. text.raw holds the rest of
// the formula followed by ")1", the wrapping that closes every component; the "(" that opens
// it is written directly. On return text.next points after the "+" or hydrate mark that
// ended the component, or at the end. Returns false when the text is not a formula.
bool EncodeComponent(Session& s, EncodingText& text, double& multiplier) {
  PrepareRadicalIndex(s);
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
    if (ch == '.' && IsHydratePeriod(f, inNumber)) {
      ch = kHydrateMark;
      raw[text.next] = ch;
    }
    if (IsUpper(ch)) {
      inNumber = false;
      if (ResolveSymbol(s, text) == -1) continue;
      InsertUnitCount(coded);
      coded += ch;  // stands for the symbol until it is resolved
      SetPendingSymbol(f, ch, ' ');
      ++text.next;
    } else if (IsLower(ch)) {
      // Lower-case letters fold into the pending symbol; the last of a run is its second
      // character.
      inNumber = false;
      while (text.next < raw.size() && IsLower(raw[text.next])) {
        f.PendingSymbol[1] = raw[text.next++];
      }
    } else if (IsDigit(ch) || ch == '.') {
      if (ResolveSymbol(s, text) == -1) continue;
      if (!inNumber) {
        TakeCountSlot(f);
        coded += static_cast<char>(f.CountTop);  // a whole number is one coded character
      }
      inNumber = true;
      std::string& number = f.CountTexts[f.CountTop];
      number += ch;
      ++text.next;
      // The rest of the number joins the same slot (a hydrate period ends it).
      while (text.next < raw.size() && (IsDigit(raw[text.next]) ||
                                        (raw[text.next] == '.' && !IsHydratePeriod(f, inNumber)))) {
        number += raw[text.next++];
      }
    } else if (ch == '(') {
      inNumber = false;
      if (ResolveSymbol(s, text) == -1) continue;
      InsertUnitCount(coded);
      coded += kOpenMark;
      // Deeper nesting can never be evaluated; stopping here also keeps hostile texts of
      // thousands of parentheses cheap.
      if (++f.ParenDepth > kMaxFormulaLevel) Fail(FailureKind::IndexOutOfRange);
      ++text.next;
    } else if (ch == ')') {
      inNumber = false;
      if (ResolveSymbol(s, text) == -1) continue;
      InsertUnitCount(coded);
      coded += kCloseMark;
      CloseParenthesis(f);
      ++text.next;
      if (text.next >= raw.size() || !IsDigit(raw[text.next])) coded += '\0';
    } else if (ch == '+' || ch == kHydrateMark) {
      inNumber = false;
      if (ResolveSymbol(s, text) == -1) continue;
      coded += kCloseMark;
      coded += '\x01';
      ++text.next;
      break;
    } else if (ch == ' ') {
      inNumber = false;
      if (ResolveSymbol(s, text) == -1) continue;
      while (text.next < raw.size() && raw[text.next] == ' ')
        ++text.next;
    } else {
      // A character that cannot belong to a formula: the text is arithmetic.
      coded = "()";
      s.calc.CalcKind = "Calc";
      return false;
    }
  }

  // A component that begins with a number: that number is its multiplier.
  if (s.calc.CalcKind != "Calc" && coded.size() >= 2 &&
      static_cast<unsigned char>(coded[1]) <= kMaxCountSlots) {
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
  ReplaceAll(formula, "(.)", std::string(1, kHydrateMark));
  EncodingText text;
  text.raw = std::move(formula) + ")1";
  bool isFormula = EncodeComponent(s, text, multiplier);
  formula = std::move(text.coded);
  nextMultiplier = 1;
  if (!isFormula || !HasRest(text)) return {};
  return text.raw.substr(text.next, text.raw.size() - 2 - text.next);
}

double CodedFormulaValue(Session& s, std::string_view coded) {
  std::array<double, kMaxFormulaLevel + 1> stack{};
  int level = 1;
  for (std::size_t i = 0; i < coded.size(); ++i) {
    unsigned char code = static_cast<unsigned char>(coded[i]);
    if (code == static_cast<unsigned char>(kElementMark)) {
      if (level >= kMaxFormulaLevel || i + 1 >= coded.size()) Fail(FailureKind::IndexOutOfRange);
      int z = static_cast<unsigned char>(coded[++i]);
      if (z > kMaxElements) Fail(FailureKind::IndexOutOfRange);
      ++level;
      stack[level] = ElementValue(s, z);
    } else if (code == static_cast<unsigned char>(kOpenMark)) {
      if (level >= kMaxFormulaLevel) Fail(FailureKind::IndexOutOfRange);
      ++level;
    } else if (code <= kMaxCountSlots && level >= 1) {
      double n = CountValue(s.formula.CountTexts[code]);
      if (n == 0) n = 1;
      stack[level - 1] += n * stack[level];
      stack[level] = 0;
      --level;
    }
  }
  return stack[level];
}

double FormulaMass(Session& s, std::string formula) {
  FormulaState& f = s.formula;
  SetPendingSymbol(f, ' ', ' ');
  f.FormulaElements.clear();
  f.HasHydrateMark = formula.find("(.)") != std::string::npos;
  std::string_view first = formula;
  first = first.substr(0, first.find('+'));
  first = first.substr(0, first.find("(.)"));
  std::size_t dot = first.find('.');
  int firstDot = dot == std::string_view::npos ? 0 : static_cast<int>(dot) + 1;
  f.SingleDot = firstDot == FindLast(first, '.');

  // The components are coded one after the other from one copy of the text, so that a long
  // mixture costs no more than its length.
  ReplaceAll(formula, "(.)", std::string(1, kHydrateMark));
  EncodingText text;
  text.raw = std::move(formula) + ")1";
  double multiplier = 1;
  double total = 0;
  while (HasRest(text) && s.calc.CalcKind != "Calc") {
    if (EncodeComponent(s, text, multiplier) && s.calc.CalcKind != "Calc") {
      total += CodedFormulaValue(s, text.coded) * multiplier;
    }
    multiplier = 1;
  }
  return total;
}

}  // namespace ostravel
