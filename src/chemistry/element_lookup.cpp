#include "chemistry/element_lookup.h"

#include <algorithm>
#include <string>

#include "chemistry/ini_file_switch.h"
#include "database/ini_access.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "session/session.h"

namespace ostravel {
namespace {

// A formula needs far fewer expansions than this; more means radicals that keep producing
// each other in ways the nesting check cannot follow (unbalanced parentheses in a value).
constexpr int kMaxRadicalExpansions = 1000;

// The shortest radical name that is symbol followed by the first characters of rest; among
// names of the same length the first in the list wins, so constants radicals come before
// contributed ones.
const RadicalName* FindRadical(const std::vector<RadicalName>& index, std::string_view symbol,
                               std::string_view rest) {
  const RadicalName* best = nullptr;
  for (const RadicalName& radical : index) {
    const std::string& name = radical.Name;
    if (name[0] != symbol[0] || name.size() < symbol.size() ||
        name.size() - symbol.size() > rest.size() ||
        (best != nullptr && name.size() >= best->Name.size())) {
      continue;
    }
    std::string_view tail = std::string_view(name).substr(symbol.size());
    if (std::string_view(name).substr(0, symbol.size()) == symbol &&
        tail == rest.substr(0, tail.size())) {
      best = &radical;
    }
  }
  return best;
}

[[noreturn]] void CalculationError(Session& s, std::string message) {
  s.engine.EvalError = std::move(message);
  Fail(FailureKind::Calculation);
}

// Replaces the pending symbol and the first `taken` raw characters after it by
// "(" + value + ")"; the encoder goes on at the inserted "(".
void ExpandRadical(Session& s, EncodingText& text, const RadicalName& radical,
                   const std::string& value, std::size_t taken) {
  FormulaState& f = s.formula;
  for (const ActiveRadical& open : f.ActiveRadicals) {
    if (open.Name == radical.Name && open.FromConstants == radical.FromConstants) {
      CalculationError(s, "radical " + radical.Name + " expands into itself");
    }
  }
  if (++f.RadicalExpansions > kMaxRadicalExpansions) {
    CalculationError(s, "too many radical expansions in one formula");
  }
  // A symbol that began with a capital has that letter at the end of the coded part; a
  // lower-case letter without a capital was folded into PendingSymbol and left nothing there.
  if (f.PendingSymbol[0] != ' ') {
    if (text.coded.empty()) Fail(FailureKind::IndexOutOfRange);
    text.coded.pop_back();
  }
  // The raw text before text.next has been read and is never read again, so the expansion
  // is written there, ending where the taken characters end; a gap is made when it does not
  // fit, as large as the text so that it rarely happens twice.
  std::size_t length = value.size() + 2;
  std::size_t end = text.next + taken;
  if (end < length) {
    std::size_t gap = length - end + text.raw.size();
    text.raw.insert(0, gap, '\0');
    end += gap;
  }
  std::size_t start = end - length;
  text.raw[start] = '(';
  text.raw.replace(start + 1, value.size(), value);
  text.raw[end - 1] = ')';
  text.next = start;
  f.ActiveRadicals.push_back({radical.Name, radical.FromConstants, f.ParenDepth + 1});
  SetPendingSymbol(f, ' ', ' ');
  f.CurrentAtomicNumber = -1;
}

void AddFormulaElement(FormulaState& f) {
  for (std::size_t i = 0; i + 1 < f.FormulaElements.size(); i += 2) {
    if (f.FormulaElements.compare(i, 2, f.PendingSymbol) == 0) return;
  }
  f.FormulaElements += f.PendingSymbol;
}

}  // namespace

void PrepareRadicalIndex(Session& s) {
  FormulaState& f = s.formula;
  const KeyListState& lists = s.lists;
  if (f.RadicalIndexSource == lists.RadicalKeys) return;
  f.RadicalIndexSource = lists.RadicalKeys;
  f.RadicalIndex.clear();
  // A name counts only as a whole item, framed by NUL on both sides; a name that starts
  // before RadicalSplit (counting its leading NUL from 1) is one of the constants radicals.
  std::string_view keys = lists.RadicalKeys;
  for (std::size_t begin = 1; begin < keys.size();) {
    std::size_t end = keys.find('\0', begin);
    if (end == std::string_view::npos) break;  // the last item has no closing NUL
    if (end > begin && keys[begin - 1] == '\0') {
      f.RadicalIndex.push_back({std::string(keys.substr(begin, end - begin)),
                                static_cast<int>(begin) < lists.RadicalSplit});
    }
    begin = end + 1;
  }
}

void TakeCountSlot(FormulaState& f) {
  if (f.CountTop >= kMaxCountSlots) Fail(FailureKind::IndexOutOfRange);
  ++f.CountTop;
  f.CountTexts[f.CountTop].clear();
}

int AtomicNumber(const Session& s, std::string_view slot) {
  std::size_t found = s.elements.ElementSymbols.find(slot);
  if (found == std::string::npos) return 0;
  return static_cast<int>(RoundHalfEven(static_cast<double>(found + 1) / 2));
}

int ResolveSymbol(Session& s, EncodingText& text) {
  FormulaState& f = s.formula;
  if (!HasPendingSymbol(f)) return 0;
  f.CurrentAtomicNumber = AtomicNumber(s, f.PendingSymbol);

  if (f.CurrentAtomicNumber == 0 || s.flags.ExpandRadicals) {
    std::string symbol = f.PendingSymbol;
    symbol.erase(std::remove(symbol.begin(), symbol.end(), ' '), symbol.end());
    std::string_view rest = std::string_view(text.raw).substr(std::min(text.next, text.raw.size()));
    const RadicalName* radical = FindRadical(f.RadicalIndex, symbol, rest);
    bool taken = false;
    std::string value;
    if (radical != nullptr && radical->FromConstants) {
      IniFileSwitch main(s, s.db.MainIniFile);
      value = IniGetEntry(s, "Constants", "Radicals", radical->Name);
      taken = true;
    } else if (radical != nullptr && f.CurrentAtomicNumber == 0) {
      // A contributed radical never overrides an element symbol.
      IniFileSwitch contributed(s, s.db.ContribIniFile);
      value = IniGetEntry(s, "Contributed", "Radicals", radical->Name);
      taken = true;
    }
    // A radical without a value is no radical: the letters stay an element when they are
    // one, and an unknown symbol otherwise.
    if (taken && !value.empty()) {
      ExpandRadical(s, text, *radical, value, radical->Name.size() - symbol.size());
      return -1;
    }
  }

  TakeCountSlot(f);
  if (std::string_view(" E e M m ").find(f.PendingSymbol) != std::string_view::npos) {
    // E (exponent) and M (memory): the text is arithmetic, not a formula.
    s.calc.CalcKind = "Calc";
  } else if (f.CurrentAtomicNumber == 0 || f.PendingSymbol[0] == ' ') {
    // (A symbol table whose slots break the capital-first rule cannot place a lower-case
    // symbol either.)
    if (f.PendingSymbol < "A") {
      CalculationError(s,
                       "To avoid any ambiguity, correct capitalization for elements is required.");
    }
    CalculationError(s, "Atomic number for " + f.PendingSymbol + " not found.");
  } else {
    if (f.CurrentAtomicNumber > kMaxElements || text.coded.empty()) {
      Fail(FailureKind::IndexOutOfRange);
    }
    text.coded.back() = kElementMark;
    text.coded += static_cast<char>(f.CurrentAtomicNumber);
    AddFormulaElement(f);
  }
  SetPendingSymbol(f, ' ', ' ');
  return f.CurrentAtomicNumber;
}

}  // namespace ostravel
