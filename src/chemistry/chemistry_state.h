// The element table and the working state of the formula parser.
#pragma once

#include <array>
#include <string>

namespace ostravel {

inline constexpr int kMaxElements = 150;
inline constexpr int kMaxCountSlots = 150;
inline constexpr char kOpenMark = static_cast<char>(151);
inline constexpr char kCloseMark = static_cast<char>(152);
inline constexpr char kElementMark = static_cast<char>(153);

struct ElementTable {
  // A blank, then one 2-character slot per element in atomic-number order: the symbol of
  // element Z occupies characters 2Z and 2Z+1 (counted from 1).
  std::string ElementSymbols = " ";
  std::array<double, kMaxElements + 1> AtomWeight{};
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
};

}  // namespace ostravel
