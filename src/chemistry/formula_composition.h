// What a formula is made of: how many atoms of each element (or isotope) and its charge. The
// exact masses, the uncertainty of molar masses and the balancing of equations start here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ostravel {

class Session;

struct AtomCount {
  int Number = 0;      // atomic number in the session's element table
  int MassNumber = 0;  // 0: the element in its natural isotopic composition
  double Count = 0;
};

struct Composition {
  std::vector<AtomCount> Atoms;  // in the order the formula first names them
  int Charge = 0;
};

// A charge written at the end of a formula: "^" followed by a magnitude and a sign or by a
// sign and a magnitude, or by signs alone ("SO4^2-", "Fe^+3", "NH4^+", "Ca^++"). Returns the
// length of the text before the charge and sets charge; returns text.size() and leaves charge
// 0 when the text ends in no charge.
std::size_t ChargeSuffix(std::string_view text, int& charge);

// The atoms of a formula, counted as MOL%( counts them (multipliers and hydrates included),
// and the charge written at its end. A text that is no formula, or one without any element,
// is a calculation failure that names it.
Composition FormulaComposition(Session& s, const std::string& formula);

// The element symbol of an atomic number of the session's table ("H", "Cl"), with the mass
// number in front for an isotope ("^13C").
std::string AtomName(const Session& s, int number, int massNumber = 0);

}  // namespace ostravel
