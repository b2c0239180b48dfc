// The element table and the working state of the formula parser.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ostravel {

inline constexpr int kMaxElements = 150;
// Count slots 0..150 are coded in one character; higher ones as kLongCountMark and two
// characters of 7 bits each, so a component holds up to 16383 counts.
inline constexpr int kShortCountSlots = 150;
inline constexpr int kMaxCountSlots = (1 << 14) - 1;
// Parentheses nest at most this deep in a formula; the evaluation stack has room for them,
// the wrapping of a component and an element.
inline constexpr int kMaxFormulaNesting = 1000;
inline constexpr int kMaxFormulaLevel = kMaxFormulaNesting + 8;
inline constexpr char kOpenMark = static_cast<char>(151);
inline constexpr char kCloseMark = static_cast<char>(152);
inline constexpr char kElementMark = static_cast<char>(153);
inline constexpr char kLongCountMark = static_cast<char>(154);
// An isotope-labelled atom: kIsotopeMark, its mass number in two characters of 7 bits each,
// then the element as kElementMark and the atomic number.
inline constexpr char kIsotopeMark = static_cast<char>(155);
inline constexpr char kHydrateMark = '\x01';  // in the raw part of a component being encoded

struct ElementTable {
  // A blank, then one 2-character slot per element in atomic-number order: the symbol of
  // element Z occupies characters 2Z and 2Z+1 (counted from 1).
  std::string ElementSymbols = " ";
  std::array<double, kMaxElements + 1> AtomWeight{};
};

// A formula component while it is being encoded: the coded part so far, and the raw text of
// the formula (followed by ")1") whose part from index next on is still to be read; the part
// before next is spent and may be overwritten. A symbol that began with a capital has that
// letter as the last character of coded until it is resolved.
struct EncodingText {
  std::string coded;
  std::string raw;
  std::size_t next = 0;
};

// A radical whose expansion the encoder is still inside: its "(" opened ParenDepth Depth.
struct ActiveRadical {
  std::string Name;
  bool FromConstants = true;
  int Depth = 0;
};

// One radical name of RadicalKeys, as the symbol lookup reads the list.
struct RadicalName {
  std::string Name;
  bool FromConstants = true;
};

struct FormulaState {
  std::vector<std::string> CountTexts = std::vector<std::string>(kShortCountSlots + 1);
  int CountTop = 1;
  std::string PendingSymbol = "  ";  // two blanks: none
  std::size_t SymbolStart = 0;       // where the pending symbol's letters begin in the raw text
  std::string TypedFormula;          // the formula as FormulaMass was given it, for messages
  std::vector<double> Stack;         // the evaluation stack, all 0 between evaluations
  int CurrentAtomicNumber = 0;       // -1 right after a radical was expanded
  std::string FormulaElements;       // 2-character slots of the distinct symbols resolved
  bool HasHydrateMark = false;
  bool SingleDot = false;
  bool ElementFilterOn = false;
  int ElementFilter = 0;
  // Which atoms of the filtered element count: -1 all of them, 0 those in their natural
  // isotopic composition only, else only those labelled with that mass number.
  int IsotopeFilter = -1;
  bool CountAtoms = false;

  // Isotopes and charge: the mass number of a label ("^13") read but not yet given to its
  // symbol (0 when none), the distinct labelled atoms of the formula as atomic number and mass
  // number in the order they were first named, and the charge written at the formula's end.
  int PendingMassNumber = 0;
  std::vector<std::pair<int, int>> FormulaIsotopes;
  int Charge = 0;

  // Guards of the radical expansion: the parentheses open at the encoder's position, the
  // radicals being expanded there, and the expansions made for the current formula.
  int ParenDepth = 0;
  std::vector<ActiveRadical> ActiveRadicals;
  int RadicalExpansions = 0;

  // Lookup tables of the symbol resolution, built from the element table and RadicalKeys
  // (the texts they were built from are kept to notice a change): the atomic number of every
  // 2-character slot, and the radical names grouped by first character, each group in list
  // order, group c starting at RadicalGroup[c].
  std::string SymbolIndexSource;
  std::vector<std::int16_t> SymbolIndex;
  std::string RadicalIndexSource;
  std::vector<RadicalName> RadicalIndex;
  std::array<std::uint16_t, 257> RadicalGroup{};
};

// PendingSymbol holds two blanks when no symbol waits to be resolved.
inline bool HasPendingSymbol(const FormulaState& f) {
  return f.PendingSymbol.size() != 2 || f.PendingSymbol[0] != ' ' || f.PendingSymbol[1] != ' ';
}
inline void SetPendingSymbol(FormulaState& f, char first, char second) {
  f.PendingSymbol.resize(2);
  f.PendingSymbol[0] = first;
  f.PendingSymbol[1] = second;
}

}  // namespace ostravel
