#include "chemistry/element_lookup.h"

#include <algorithm>
#include <string>

#include "chemistry/exact_mass.h"
#include "chemistry/formula_composition.h"
#include "database/ini_access.h"
#include "database/ini_file_switch.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "session/session.h"
#include "state/isotope_table.h"

namespace ostravel {
namespace {

// A formula needs far fewer expansions than this; more means radicals that keep producing
// each other in ways the nesting check cannot follow (unbalanced parentheses in a value).
constexpr int kMaxRadicalExpansions = 1000;

// The shortest radical name that is symbol followed by the first characters of rest; among
// names of the same length the first in the list wins, so constants radicals come before
// contributed ones.
const RadicalName* FindRadical(const FormulaState& f, std::string_view symbol,
                               std::string_view rest) {
  const RadicalName* best = nullptr;
  if (f.RadicalIndex.empty()) return best;
  unsigned char first = static_cast<unsigned char>(symbol[0]);
  for (std::size_t i = f.RadicalGroup[first]; i < f.RadicalGroup[first + 1]; ++i) {
    const std::string& name = f.RadicalIndex[i].Name;
    if (name.size() < symbol.size() || name.size() - symbol.size() > rest.size() ||
        (best != nullptr && name.size() >= best->Name.size())) {
      continue;
    }
    // Names and symbols are a few letters: compared character by character, which every
    // atom of a formula passes through.
    std::size_t k = 1;  // the first letters are equal in the group
    while (k < symbol.size() && name[k] == symbol[k])
      ++k;
    if (k < symbol.size()) continue;
    while (k < name.size() && name[k] == rest[k - symbol.size()])
      ++k;
    if (k == name.size()) best = &f.RadicalIndex[i];
  }
  return best;
}

// E (exponent) or M (memory) standing alone, in either case: the text is arithmetic.
bool IsArithmeticLetter(const std::string& pending) {
  if (pending.size() != 2)
    return std::string_view(" E e M m ").find(pending) != std::string_view::npos;
  const auto marker = [](char c) { return c == 'E' || c == 'e' || c == 'M' || c == 'm'; };
  return (pending[1] == ' ' && marker(pending[0])) || (pending[0] == ' ' && marker(pending[1]));
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

// The mass number that the pending symbol stands for when it is D (2H) or T (3H); 0 else.
int HydrogenLetterMassNumber(const FormulaState& f) {
  if (f.PendingSymbol[1] != ' ') return 0;
  return f.PendingSymbol[0] == 'D' ? 2 : f.PendingSymbol[0] == 'T' ? 3 : 0;
}

// D and T, where the element table has no such symbol, are hydrogen labelled 2 and 3: sets
// CurrentAtomicNumber and PendingMassNumber. False when the pending symbol is neither.
bool ReadHydrogenLetter(Session& s, const EncodingText& text) {
  FormulaState& f = s.formula;
  const int massNumber = HydrogenLetterMassNumber(f);
  const int hydrogen = massNumber == 0 ? 0 : AtomicNumber(s, "H ");
  if (hydrogen == 0) return false;
  if (f.PendingMassNumber != 0) {
    CalculationError(
        s, FormulaPlace(std::string_view(text.raw).substr(f.SymbolStart, 1), f.TypedFormula) +
               "is already an isotope (" + AtomName(s, hydrogen, massNumber) +
               "): write D or ^2H, T or ^3H, without a mass number in front");
  }
  f.CurrentAtomicNumber = hydrogen;
  f.PendingMassNumber = massNumber;
  // The atom is hydrogen: wt%(H,D2O) is the part of all hydrogen.
  SetPendingSymbol(f, 'H', ' ');
  return true;
}

// Writes the pending symbol as the element CurrentAtomicNumber labelled PendingMassNumber,
// once the isotope table confirms that isotope.
void WriteLabelledAtom(Session& s, EncodingText& text) {
  FormulaState& f = s.formula;
  const int z = f.CurrentAtomicNumber;
  const int massNumber = f.PendingMassNumber;
  f.PendingMassNumber = 0;
  const ElementIsotopes* element = IsotopesOfNumber(s, z);
  const bool known =
      element != nullptr &&
      std::any_of(element->Isotopes.begin(), element->Isotopes.end(),
                  [massNumber](const Isotope& i) { return i.MassNumber == massNumber; });
  if (!known) {
    std::string message = FormulaPlace(AtomName(s, z, massNumber), f.TypedFormula) +
                          "is not an isotope that the isotope table knows";
    if (element != nullptr && !element->Isotopes.empty()) {
      message += "; it holds " + AtomName(s, z, element->Isotopes.front().MassNumber) + " to " +
                 AtomName(s, z, element->Isotopes.back().MassNumber);
    }
    CalculationError(s, message);
  }
  text.coded.back() = kIsotopeMark;
  text.coded += static_cast<char>(massNumber >> 7);
  text.coded += static_cast<char>(massNumber & 0x7F);
  text.coded += kElementMark;
  text.coded += static_cast<char>(z);
  const std::pair<int, int> atom{z, massNumber};
  if (std::find(f.FormulaIsotopes.begin(), f.FormulaIsotopes.end(), atom) ==
      f.FormulaIsotopes.end()) {
    f.FormulaIsotopes.push_back(atom);
  }
}

void AddFormulaElement(FormulaState& f) {
  const std::string& seen = f.FormulaElements;
  const std::string& symbol = f.PendingSymbol;
  for (std::size_t i = 0; i + 1 < seen.size(); i += 2) {
    if (symbol.size() == 2 && seen[i] == symbol[0] && seen[i + 1] == symbol[1]) return;
  }
  f.FormulaElements += f.PendingSymbol;
}

}  // namespace

void PrepareSymbolLookup(Session& s) {
  FormulaState& f = s.formula;
  const std::string& symbols = s.elements.ElementSymbols;
  if (f.SymbolIndex.empty() || f.SymbolIndexSource != symbols) {
    f.SymbolIndexSource = symbols;
    f.SymbolIndex.assign(1 << 16, 0);
    // From the end, so that the first occurrence of a slot is the one that stays.
    for (std::size_t p = symbols.size() < 2 ? 0 : symbols.size() - 1; p-- > 0;) {
      unsigned slot =
          static_cast<unsigned char>(symbols[p]) << 8 | static_cast<unsigned char>(symbols[p + 1]);
      f.SymbolIndex[slot] = static_cast<std::int16_t>(
          std::min(RoundHalfEven(static_cast<double>(p + 1) / 2), 32767.0));
    }
  }

  const KeyListState& lists = s.lists;
  if (f.RadicalIndexSource == lists.RadicalKeys && !f.RadicalIndex.empty()) return;
  f.RadicalIndexSource = lists.RadicalKeys;
  std::vector<RadicalName> names;
  // A name counts only as a whole item, framed by NUL on both sides; a name that starts
  // before RadicalSplit (counting its leading NUL from 1) is one of the constants radicals.
  std::string_view keys = lists.RadicalKeys;
  for (std::size_t begin = 1; begin < keys.size() && names.size() < 65535;) {
    std::size_t end = keys.find('\0', begin);
    if (end == std::string_view::npos) break;  // the last item has no closing NUL
    const std::string_view name = keys.substr(begin, end - begin);
    const bool fromConstants = static_cast<int>(begin) < lists.RadicalSplit;
    // A contributed radical never takes the place of an element symbol, nor of D and T, the
    // hydrogen isotopes.
    const bool reserved = !fromConstants && (name == "D" || name == "T");
    if (end > begin && keys[begin - 1] == '\0' && !reserved) {
      names.push_back({std::string(name), fromConstants});
    }
    begin = end + 1;
  }
  std::stable_sort(names.begin(), names.end(), [](const RadicalName& a, const RadicalName& b) {
    return static_cast<unsigned char>(a.Name[0]) < static_cast<unsigned char>(b.Name[0]);
  });
  f.RadicalIndex = std::move(names);
  std::size_t i = 0;
  for (unsigned c = 0; c <= 256; ++c) {
    while (i < f.RadicalIndex.size() && static_cast<unsigned char>(f.RadicalIndex[i].Name[0]) < c) {
      ++i;
    }
    f.RadicalGroup[c] = static_cast<std::uint16_t>(i);
  }
}

void TakeCountSlot(Session& s) {
  FormulaState& f = s.formula;
  if (f.CountTop >= kMaxCountSlots) {
    CalculationError(s, FormulaPlace("", f.TypedFormula) + "has more than " +
                            std::to_string(kMaxCountSlots) + " counts in one part");
  }
  ++f.CountTop;
  if (f.CountTexts.size() <= static_cast<std::size_t>(f.CountTop)) {
    f.CountTexts.emplace_back();
  } else {
    f.CountTexts[f.CountTop].clear();
  }
}

std::string FormulaPlace(std::string_view letters, std::string_view formula) {
  // A very long formula is named by its beginning.
  constexpr std::size_t kShown = 60;
  std::string shown(formula.substr(0, kShown));
  if (formula.size() > kShown) shown.replace(kShown - 3, 3, "...");
  formula = shown;
  if (letters.empty()) return std::string(formula) + " ";
  if (letters == formula) return "\"" + std::string(letters) + "\" ";
  return "\"" + std::string(letters) + "\" in " + std::string(formula) + " ";
}

void RefuseSymbol(Session& s, const EncodingText& text) {
  const FormulaState& f = s.formula;
  std::size_t end = std::min(f.SymbolStart + 1, text.raw.size());
  while (end < text.raw.size() && text.raw[end] >= 'a' && text.raw[end] <= 'z')
    ++end;
  std::string_view letters = std::string_view(text.raw).substr(
      std::min(f.SymbolStart, text.raw.size()), end - std::min(f.SymbolStart, text.raw.size()));
  std::string message = FormulaPlace(letters, f.TypedFormula) + "is not an element symbol";
  if (!letters.empty() && letters[0] >= 'a' && letters[0] <= 'z') {
    message += ": to avoid any ambiguity, correct capitalization for elements is required.";
  } else if (letters.size() > 2) {
    message += ": a symbol is one capital letter and at most one small letter.";
  } else {
    message += ".";
  }
  CalculationError(s, message);
}

int AtomicNumber(const Session& s, std::string_view slot) {
  std::size_t found = s.elements.ElementSymbols.find(slot);
  if (found == std::string::npos) return 0;
  return static_cast<int>(RoundHalfEven(static_cast<double>(found + 1) / 2));
}

bool ExpandPendingRadical(Session& s, EncodingText& text) {
  FormulaState& f = s.formula;
  f.PendingSymbol.resize(2, ' ');
  // AtomicNumber, read from the table that PrepareSymbolLookup made of it.
  f.CurrentAtomicNumber = f.SymbolIndex.empty()
                              ? AtomicNumber(s, f.PendingSymbol)
                              : f.SymbolIndex[static_cast<unsigned char>(f.PendingSymbol[0]) << 8 |
                                              static_cast<unsigned char>(f.PendingSymbol[1])];
  if (f.CurrentAtomicNumber != 0 && !s.flags.ExpandRadicals) return false;
  // The pending symbol without its blanks: a capital and a small letter, one of them, or
  // (after a radical's letters were taken) longer.
  std::string_view symbol = f.PendingSymbol;
  if (symbol.size() == 2 && symbol[1] == ' ') symbol.remove_suffix(1);
  if (symbol.size() == 2 && symbol[0] == ' ') symbol.remove_prefix(1);
  std::string trimmed;
  if (symbol.find(' ') != std::string_view::npos) {
    trimmed.assign(symbol);
    trimmed.erase(std::remove(trimmed.begin(), trimmed.end(), ' '), trimmed.end());
    symbol = trimmed;
  }
  if (symbol.empty()) return false;
  const auto first = static_cast<unsigned char>(symbol[0]);
  if (f.RadicalIndex.empty() || f.RadicalGroup[first] == f.RadicalGroup[first + 1]) return false;
  std::string_view rest = std::string_view(text.raw).substr(std::min(text.next, text.raw.size()));
  const RadicalName* radical = FindRadical(f, symbol, rest);
  // An isotope label makes the letters an element symbol, never a radical.
  if (radical == nullptr || f.PendingMassNumber != 0) return false;
  bool taken = false;
  std::string value;
  if (radical->FromConstants) {
    IniFileSwitch toMain(s, s.db.MainIniFile);
    value = IniGetEntry(s, "Constants", "Radicals", radical->Name);
    taken = true;
  } else if (f.CurrentAtomicNumber == 0) {
    // A contributed radical never overrides an element symbol.
    IniFileSwitch toContributed(s, s.db.ContribIniFile);
    value = IniGetEntry(s, "Contributed", "Radicals", radical->Name);
    taken = true;
  }
  // A radical without a value is no radical: the letters stay an element when they are one,
  // and an unknown symbol otherwise.
  if (!taken || value.empty()) return false;
  ExpandRadical(s, text, *radical, value, radical->Name.size() - symbol.size());
  return true;
}

int ResolveSymbol(Session& s, EncodingText& text) {
  FormulaState& f = s.formula;
  if (!HasPendingSymbol(f)) return 0;
  if (ExpandPendingRadical(s, text)) return -1;

  TakeCountSlot(s);
  if (IsArithmeticLetter(f.PendingSymbol)) {
    // E (exponent) and M (memory): the text is arithmetic, not a formula.
    s.calc.CalcKind = CalcKind::Calc;
    f.PendingMassNumber = 0;
  } else {
    // (A symbol table whose slots break the capital-first rule cannot place a lower-case
    // symbol either.)
    if ((f.CurrentAtomicNumber == 0 || f.PendingSymbol[0] == ' ') &&
        (f.PendingSymbol[0] == ' ' || !ReadHydrogenLetter(s, text))) {
      RefuseSymbol(s, text);
    }
    if (f.CurrentAtomicNumber > kMaxElements || text.coded.empty()) {
      Fail(FailureKind::IndexOutOfRange);
    }
    if (f.PendingMassNumber != 0) {
      WriteLabelledAtom(s, text);
    } else {
      text.coded.back() = kElementMark;
      text.coded += static_cast<char>(f.CurrentAtomicNumber);
    }
    AddFormulaElement(f);
  }
  SetPendingSymbol(f, ' ', ' ');
  return f.CurrentAtomicNumber;
}

}  // namespace ostravel
