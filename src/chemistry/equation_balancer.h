// Balancing reaction equations in exact arithmetic: the coefficients are the smallest whole
// numbers that conserve every kind of atom and the charge.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/rational.h"

namespace ostravel {

// A species of a reaction: how many atoms of each kind it holds (the key names an element or
// an isotope of it) and its charge.
struct ReactionSpecies {
  std::string Text;  // as written, without a coefficient: what the balanced equation shows
  bool Product = false;
  std::vector<std::pair<std::string, Rational>> Atoms;
  Rational Charge;
};

enum class BalanceOutcome {
  Balanced,       // Coefficients hold the one balance, all positive
  Impossible,     // only all coefficients 0 conserve atoms and charge
  SpeciesAbsent,  // the one balance leaves out a species (its coefficient is 0)
  WrongSide,      // the one balance needs species on the other side
  NotUnique,      // more than one independent balance; Basis holds one basis
};

struct BalanceResult {
  BalanceOutcome Outcome = BalanceOutcome::Impossible;
  // Balanced: one positive coefficient per species. SpeciesAbsent and WrongSide: the one
  // balance as signed coefficients (negative: the species belongs on the other side).
  std::vector<std::int64_t> Coefficients;
  std::vector<std::vector<std::int64_t>> Basis;
  std::string Message;  // "" when Balanced; otherwise what a chemist should know, in words
};

// Balances the species as written (reactants, then products in any order). Numbers too large
// for exact 64-bit fractions give Impossible with a message saying so. Messages show
// equations with arrow between the sides.
BalanceResult BalanceReaction(const std::vector<ReactionSpecies>& species,
                              std::string_view arrow = "=");

// The equation with signed coefficients: a species with a positive coefficient stays on its
// side, a negative one moves to the other, 0 leaves it out; a coefficient of 1 is not written.
// "2 KMnO4 + 16 HCl = 2 KCl + 2 MnCl2 + 8 H2O + 5 Cl2"; arrow stands between the sides.
std::string ReactionText(const std::vector<ReactionSpecies>& species,
                         const std::vector<std::int64_t>& coefficients,
                         std::string_view arrow = "=");

}  // namespace ostravel
