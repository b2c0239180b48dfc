#include "chemistry/term_expansion.h"

#include <algorithm>
#include <string>

#include "chemistry/element_lookup.h"
#include "chemistry/exact_mass.h"
#include "chemistry/formula_composition.h"
#include "chemistry/formula_parser.h"
#include "database/ini_access.h"
#include "database/ini_file_switch.h"
#include "engine/engine.h"
#include "memory/memories.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/scoped_value.h"
#include "runtime/text_case.h"
#include "session/session.h"

namespace ostravel {
namespace {

// Constants whose values hold further bracketed names: a legitimate calculation nests them a
// few levels deep; this many means a constant that refers to itself.
constexpr int kMaxNestedConstants = 100;
// Room for expanded constants beyond the text's own growth by memory references.
constexpr std::size_t kMaxExpandedGrowth = std::size_t{1} << 20;

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Position of the first occurrence of pattern (upper case) in text from index from, found
// without regard to case; npos when none.
std::size_t FindNoCase(std::string_view text, std::string_view pattern, std::size_t from) {
  if (pattern.empty() || text.size() < pattern.size()) return std::string_view::npos;
  for (std::size_t i = from; i + pattern.size() <= text.size(); ++i) {
    if (Upper(text[i]) != pattern[0]) continue;
    std::size_t j = 1;
    while (j < pattern.size() && Upper(text[i + j]) == pattern[j])
      ++j;
    if (j == pattern.size()) return i;
  }
  return std::string_view::npos;
}

[[noreturn]] void CalculationError(Session& s, std::string message) {
  s.engine.EvalError = std::move(message);
  Fail(FailureKind::Calculation);
}

[[noreturn]] void NotAFormula(Session& s, const std::string& text) {
  CalculationError(
      s, text.empty() ? "a molecular formula is missing" : text + " is not a molecular formula");
}

// After FormulaMass: a text that turned out to be arithmetic, or one without any element
// (2+3, an empty one), has no molar mass to speak of.
void RequireFormula(Session& s, const std::string& text) {
  if (s.calc.CalcKind == CalcKind::Calc || s.formula.FormulaElements.empty()) NotAFormula(s, text);
}

// A constant that cannot be used: the message, and the kind Error, which drops the
// calculation. A web request shows no message box; its answer page shows the message.
void RejectConstant(Session& s, const std::string& message) {
  if (s.flags.QuietMode) {
    s.calc.QuietMessages.push_back(message);
  } else {
    s.ui.MessageBox(message, MessageIcon::Exclamation, kAppTitle);
  }
  s.calc.CalcKind = CalcKind::Error;
}

void ClassifyText(CalcState& c) {
  const std::string& text = c.CalcText;
  c.CalcKind = text.empty() ? CalcKind::Form : CalcKind::Calc;
  constexpr std::string_view kFormulaLetters = "ABCDEFGHIJKLNOPQRSTUVWYZ";
  for (char ch : text) {
    if (kFormulaLetters.find(Upper(ch)) != std::string_view::npos) {
      c.CalcKind = CalcKind::Form;
      break;
    }
  }
  if (!text.empty() && Upper(text[0]) == 'M' &&
      std::all_of(text.begin() + 1, text.end(), IsDigit)) {
    c.CalcKind = CalcKind::Mem;
  }
}

// Replaces every occurrence of name (upper case) from index from on, found without regard
// to case, by replacement. False when the text would outgrow limit.
bool ReplaceName(std::string& text, const std::string& name, const std::string& replacement,
                 std::size_t from, std::size_t limit) {
  std::string result(text, 0, from);
  std::size_t done = from;
  for (std::size_t p = FindNoCase(text, name, from); p != std::string::npos;
       p = FindNoCase(text, name, p + name.size())) {
    result.append(text, done, p - done);
    result += replacement;
    done = p + name.size();
    if (result.size() > limit) return false;
  }
  result.append(text, done);
  if (result.size() > limit) return false;
  text = std::move(result);
  return true;
}

// Step 3 of the expansion: constants in angle brackets. False when a constant was rejected.
bool ExpandConstants(Session& s) {
  CalcState& c = s.calc;
  std::string& text = c.CalcText;
  const std::size_t limit = kMaxExpandedGrowth + 8 * text.size();
  int nested = 0;
  // Every name is replaced wherever it stands, and only values put new "<" into the text, at
  // or after the first one; so the search for the next name can start there.
  std::size_t from = 0;
  while ((from = text.find('<', from)) != std::string::npos) {
    std::size_t close = text.find('>', from);
    if (close == std::string::npos) CalculationError(s, "Unmatched constant brackets <>");
    std::string name = AsciiUpper(std::string_view(text).substr(from, close - from + 1));
    int m = 0;
    std::string value = LookUpConstant(s, name, m);
    if (value.empty()) {
      RejectConstant(s, "constant " + name + " not found");
      return false;
    }
    std::string replacement;
    if (m >= 1 || !IsNumericText(value)) {
      replacement = " (" + value + ")";
      // The value of a memory line is a number, as a freshly stored constant is.
      if (m >= 1) c.CalcKind = CalcKind::Calc;
    } else {
      StoreConstant(s, name, value);
      replacement = " (M" + std::to_string(s.memory.MemoryCount) + ")";
      c.CalcKind = CalcKind::Calc;
    }
    if (replacement.find('<') != std::string::npos && ++nested > kMaxNestedConstants) {
      RejectConstant(s, "constant " + name + " refers to itself");
      return false;
    }
    if (!ReplaceName(text, name, replacement, from, limit)) {
      RejectConstant(s, "constant " + name + " expands into too long a text");
      return false;
    }
    c.ExpansionMark = s.memory.MemoryCount;
  }
  return true;
}

// Replaces every term head + inner + ")" in CalcText (head found without regard to case) by lead,
// "M", a blank and the memory number that value(inner) gives, padded with blanks. A replaced
// term leaves no head behind and forms none with its neighbours, so one pass from left to
// right does what searching the rewritten text again from its start would do.
template <typename TermValue>
void ReplaceTerms(Session& s, std::string_view head, std::string_view lead, TermValue value) {
  std::string& text = s.calc.CalcText;
  std::string result;
  std::size_t done = 0;
  for (std::size_t a = FindNoCase(text, head, 0); a != std::string::npos;
       a = FindNoCase(text, head, done)) {
    std::size_t close = MatchingParenthesis(s, text, a + head.size() - 1);
    int m = value(text.substr(a + head.size(), close - a - head.size()));
    result.append(text, done, a - done);
    result += lead;
    result += "M ";
    result += std::to_string(m);
    result.append(close - a - (head.size() - 1), ' ');
    done = close + 1;
  }
  if (done == 0) return;
  result.append(text, done);
  text = std::move(result);
}

int MolarMassTerm(Session& s, const std::string& inner) {
  CalcState& c = s.calc;
  c.ResultLabel = inner;
  c.FormulaText = inner;
  c.CalcKind = CalcKind::Form;
  int m = FindMemoryName(s, "MW(" + inner + ")");
  if (m == 0) {
    double mass = FormulaMass(s, inner);
    RequireFormula(s, inner);
    // A formula of mass 0 (0H2O) refers to memory 0, which always holds 0.
    if (mass != 0) {
      StoreMolarMass(s, mass);
      m = s.memory.MemoryCount;
    }
  }
  c.CalcKind = CalcKind::Calc;
  c.ExpansionMark = s.memory.MemoryCount;
  return m;
}

// EM( and MZ( terms: the monoisotopic mass of the formula, or its mass per charge, stored as
// a memory line named after the term. Isotope labels and a charge at the end are read.
int ExactMassTerm(Session& s, const std::string& inner, bool perCharge) {
  CalcState& c = s.calc;
  const std::string name = (perCharge ? "MZ(" : "EM(") + inner + ")";
  int m = FindMemoryName(s, name);
  if (m == 0) {
    const Composition composition = FormulaComposition(s, inner);
    const double mass =
        perCharge ? MassToCharge(s, composition, inner) : MonoisotopicMass(s, composition);
    StoreMemory(s, mass, name, true);
    m = s.memory.MemoryCount;
  }
  c.CalcKind = CalcKind::Calc;
  c.ExpansionMark = s.memory.MemoryCount;
  return m;
}

// True when the text holds nothing but the term head + inner + ")" (the head in any case).
bool WholeText(std::string_view text, std::string_view head, std::string_view inner) {
  std::size_t first = text.find_first_not_of(' ');
  std::size_t last = text.find_last_not_of(' ');
  if (first == std::string_view::npos) return false;
  text = text.substr(first, last - first + 1);
  if (text.size() != head.size() + inner.size() + 1 || text.back() != ')') return false;
  return FindNoCase(text, AsciiUpper(head), 0) == 0 &&
         text.substr(head.size(), inner.size()) == inner;
}

// The percentage step of MOL%( and WT%( terms; returns the memory line to refer to.
int PercentTerm(Session& s, const std::string& inner, const std::string& prefix) {
  CalcState& c = s.calc;
  c.ResultLabel = inner;
  c.FormulaText = inner;
  c.CalcKind = CalcKind::Form;
  int m = FindMemoryName(s, prefix + inner + ")");
  if (m != 0) return m;
  std::size_t comma = inner.find(',');
  if (comma == 1 || comma == 2) {
    std::string symbol{Upper(inner[0]), comma == 1 ? ' ' : inner[1]};
    // A real element absent from the formula has 0 %; a symbol that is no element has none.
    if (AtomicNumber(s, symbol) == 0) {
      CalculationError(
          s, prefix + inner + "): \"" + inner.substr(0, comma) + "\" is not an element symbol");
    }
    double value = ElementPercent(s, symbol, inner.substr(comma + 1));
    StorePercent(s, value, inner);
    return s.memory.MemoryCount;
  }
  if (comma != std::string::npos) {
    CalculationError(s, prefix + inner + "): expected an element symbol, a comma and a formula");
  }
  // The composition of all elements is a list of memory lines, not one value.
  if (!WholeText(c.CalcText, prefix, inner)) {
    CalculationError(s, prefix + inner +
                            "): the composition of all elements cannot be part of "
                            "a calculation; write " +
                            prefix + "Element," + inner + ") for one element");
  }
  FormulaMass(s, inner);
  RequireFormula(s, inner);
  const std::string elements = s.formula.FormulaElements;  // ElementPercent rebuilds it
  for (std::size_t i = 0; i + 1 < elements.size(); i += 2) {
    std::string slot = elements.substr(i, 2);
    double value = ElementPercent(s, slot, inner);
    slot.erase(std::remove(slot.begin(), slot.end(), ' '), slot.end());
    StorePercent(s, value, slot + "," + inner);
  }
  c.CalcKind = CalcKind::Done;
  return 0;
}

// The heads of the chemistry terms, upper case; "%(" also stands for WT%(.
constexpr std::string_view kTermHeads[] = {"MW(", "EM(", "MZ(", "MOL%(", "%("};

// Where the next term head starts at or after from (npos when none) and how long it is.
std::size_t FindTermHead(std::string_view text, std::size_t from, std::size_t& length) {
  std::size_t best = std::string_view::npos;
  for (std::string_view head : kTermHeads) {
    std::size_t at = FindNoCase(text, head, from);
    if (at != std::string_view::npos && (best == std::string_view::npos || at < best)) {
      best = at;
      length = head.size();
    }
  }
  // wt%( is one head: its "%(" is found, the letters before it belong to it.
  if (best != std::string_view::npos && length == 2 && best >= 2 && Upper(text[best - 2]) == 'W' &&
      Upper(text[best - 1]) == 'T') {
    best -= 2;
    length += 2;
  }
  return best;
}

// A term inside the argument of another (wt%(O,MW(H2O))) would be replaced by a memory
// reference before the outer term reads its argument, which then is no formula: refused here
// in the user's own words.
void RefuseNestedTerms(Session& s) {
  const std::string& text = s.calc.CalcText;
  std::size_t length = 0;
  for (std::size_t a = FindTermHead(text, 0, length); a != std::string::npos;
       a = FindTermHead(text, a + length, length)) {
    const std::size_t open = a + length - 1;
    const std::size_t close = MatchingParenthesis(s, text, open);
    std::size_t innerLength = 0;
    const std::string_view inner = std::string_view(text).substr(open + 1, close - open - 1);
    const std::size_t nested = FindTermHead(inner, 0, innerLength);
    if (nested == std::string_view::npos) continue;
    const std::string term = text.substr(a, close - a + 1);
    const std::size_t nestedClose = MatchingParenthesis(s, inner, nested + innerLength - 1);
    CalculationError(s, term + ": " + std::string(inner.substr(nested, nestedClose - nested + 1)) +
                            " cannot stand inside " + text.substr(a, length) +
                            "...); write the formula itself");
  }
}

void ExpandPercentages(Session& s) {
  CalcState& c = s.calc;
  auto percent = [&s, &c](const std::string& inner, const std::string& prefix) {
    int m = PercentTerm(s, inner, prefix);
    if (c.CalcKind != CalcKind::Done) c.CalcKind = CalcKind::Calc;
    c.ExpansionMark = s.memory.MemoryCount;
    return m;
  };
  {
    const ScopedValue countAtoms(s.formula.CountAtoms, true);
    ReplaceTerms(s, "MOL%(", " ",
                 [&](const std::string& inner) { return percent(inner, "mol%("); });
  }
  if (c.CalcText.find("%(") == std::string::npos) return;
  // "%(" and "wt%(" in any case all become "WT%(". Replacing terms changes nothing that this
  // affects, so once is enough.
  std::string& text = c.CalcText;
  std::string result;
  std::size_t done = 0;
  for (std::size_t at = text.find("%("); at != std::string::npos; at = text.find("%(", at + 2)) {
    const bool spelled = at >= 2 && Upper(text[at - 2]) == 'W' && Upper(text[at - 1]) == 'T';
    result.append(text, done, at - (spelled ? 2 : 0) - done);
    result += "WT%(";
    done = at + 2;
  }
  result.append(text, done);
  text = std::move(result);
  ReplaceTerms(s, "WT%(", "", [&](const std::string& inner) { return percent(inner, "wt%("); });
}

}  // namespace

std::size_t MatchingParenthesis(Session& s, std::string_view text, std::size_t open) {
  int depth = 1;
  std::size_t p = open;
  while (p + 1 < text.size() && depth >= 1) {
    ++p;
    if (text[p] == '(') ++depth;
    if (text[p] == ')') --depth;
  }
  if (depth >= 1) CalculationError(s, "unclosed parentheses");
  return p;
}

void ExpandTerms(Session& s) {
  CalcState& c = s.calc;
  ClassifyText(c);
  RefuseNestedTerms(s);
  const std::string savedLabel = c.ResultLabel;
  const std::string typed = c.CalcText;
  if (!ExpandConstants(s)) return;
  // A constant's value may turn a text of letters into arithmetic (<PLUS(X)> is X+273.15) or
  // stay a formula (<GLU> is C6H12O6): the kind follows what the text now holds.
  if (c.CalcText != typed) ClassifyText(c);

  constexpr std::string_view kWords[] = {"=",   "LOG", "pH",  "log", "LN", "ln", "SQR",
                                         "sqr", "EXP", "exp", "MW",  "mw", "%"};
  for (std::string_view word : kWords) {
    if (c.CalcText.find(word) != std::string::npos) {
      c.CalcKind = CalcKind::Calc;
      break;
    }
  }
  // EM( and MZ( in any case: the text is arithmetic around their values.
  for (std::string_view head : {"EM(", "MZ("}) {
    if (FindNoCase(c.CalcText, head, 0) != std::string::npos) c.CalcKind = CalcKind::Calc;
  }
  ReplaceTerms(s, "MW(", "", [&s](const std::string& inner) { return MolarMassTerm(s, inner); });
  ReplaceTerms(s, "EM(", "",
               [&s](const std::string& inner) { return ExactMassTerm(s, inner, false); });
  ReplaceTerms(s, "MZ(", "",
               [&s](const std::string& inner) { return ExactMassTerm(s, inner, true); });
  ExpandPercentages(s);
  c.ResultLabel = savedLabel;
}

std::string LookUpConstant(Session& s, const std::string& name, int& m) {
  std::string key = AsciiUpper(name);
  key.erase(std::remove(key.begin(), key.end(), ' '), key.end());
  std::string category;
  m = 0;
  if (key.find("(X)") != std::string::npos) {
    category = "F(X)";  // stored functions of x are never memory lines
  } else {
    m = FindMemoryName(s, key);
  }
  if (m >= 1 && m <= kMaxMemories) return GeneralNumberText(s.memory.MemValues[m]);
  m = 0;
  std::string bare = key.size() >= 2 ? key.substr(1, key.size() - 2) : std::string();
  std::string value;
  {
    std::string foundCategory = category;
    std::string foundName = bare;
    IniFileSwitch toMain(s, s.db.MainIniFile);
    value = FindEntry(s, "Constants", s.lists.ConstCategories, foundCategory, foundName);
  }
  if (value.empty()) {
    // A prefix of the main file's categories must not steer the search among contributed
    // ones: the contributed search starts from the name as written.
    std::string foundCategory = category;
    std::string foundName = bare;
    IniFileSwitch toContributed(s, s.db.ContribIniFile);
    value = FindEntry(s, "Contributed", s.lists.ContribCategories, foundCategory, foundName);
  }
  return value;
}

double ElementPercent(Session& s, const std::string& symbolSlot, const std::string& formula) {
  FormulaState& f = s.formula;
  f.ElementFilter = AtomicNumber(s, symbolSlot);
  double part = 0;
  {
    const ScopedValue filter(f.ElementFilterOn, true);
    part = FormulaMass(s, formula);
  }
  if (s.calc.CalcKind == CalcKind::Calc) NotAFormula(s, formula);
  double whole = FormulaMass(s, formula);
  if (whole == 0) Fail(FailureKind::DivisionByZero);
  return part / whole * 100;
}

void StoreConstant(Session& s, const std::string& name, const std::string& value) {
  double number = 0;
  if (!StrictNumber(value, number)) number = LeadingNumber(value);
  StoreMemory(s, number, name, true);
}

void StoreMolarMass(Session& s, double mass) {
  if (mass == 0) return;
  s.calc.ResultLabel = "MW(" + s.calc.ResultLabel + ")";
  StoreMemory(s, mass, s.calc.ResultLabel, true);
}

void StorePercent(Session& s, double value, const std::string& text) {
  StoreMemory(s, value, (s.formula.CountAtoms ? "mol%(" : "wt%(") + text + ")", true);
}

}  // namespace ostravel
