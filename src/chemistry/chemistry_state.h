// The element table and the working state of the formula parser.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace ostravel {

inline constexpr int kMaxElements = 150;
inline constexpr int kMaxCountSlots = 150;
inline constexpr int kMaxFormulaLevel = 50;  // slots 0..50 of the evaluation stack
inline constexpr char kOpenMark = static_cast<char>(151);
inline constexpr char kCloseMark = static_cast<char>(152);
inline constexpr char kElementMark = static_cast<char>(153);
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
  std::array<std::string, kMaxCountSlots + 1> CountTexts;
  int CountTop = 1;
  std::string PendingSymbol = "  ";  // two blanks: none
  int CurrentAtomicNumber = 0;       // -1 right after a radical was expanded
  std::string FormulaElements;       // 2-character slots of the distinct symbols resolved
  bool HasHydrateMark = false;
  bool SingleDot = false;
  bool ElementFilterOn = false;
  int ElementFilter = 0;
  bool CountAtoms = false;

  // Guards of the radical expansion: the parentheses open at the encoder's position, the
  // radicals being expanded there, and the expansions made for the current formula.
  int ParenDepth = 0;
  std::vector<ActiveRadical> ActiveRadicals;
  int RadicalExpansions = 0;

  // The names of RadicalKeys in list order, and the list they were read from.
  std::string RadicalIndexSource;
  std::vector<RadicalName> RadicalIndex;
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
