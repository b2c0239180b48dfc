// Reaction equations as a chemist types them ("KMnO4 + HCl = KCl + MnCl2 + H2O + Cl2",
// "Fe^2+ + MnO4^- + H^+ -> Fe^3+ + Mn^2+ + H2O"), balanced, and the amounts that follow from
// given masses or moles of some species.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "chemistry/equation_balancer.h"
#include "chemistry/formula_composition.h"

namespace ostravel {

class Session;

// An amount written before a species: "10 g Al", "0.5 mol O2", "250 mg NaCl".
struct SpeciesAmount {
  bool Given = false;
  double Moles = 0;  // for grams: grams / molar mass
};

struct ReactionInput {
  std::string Arrow;  // the sign between the sides, as written
  std::vector<ReactionSpecies> Species;
  std::vector<Composition> Compositions;
  std::vector<double> MolarMasses;  // g/mol
  std::vector<SpeciesAmount> Amounts;
};

// Reads an equation: two sides separated by "=", "->", "<=>" (or an arrow character); species
// separated by "+"; each species a formula, optionally with a charge ("^2-", or a bare "+" or
// "-" after a letter or bracket), a state ("(aq)", "(s)", "(l)", "(g)"), a coefficient (which
// balancing replaces) or an amount ("10 g", "0.5 mol"); "e-" is an electron. A text that cannot
// be read is a calculation failure whose message names the part.
ReactionInput ReadReaction(Session& s, std::string_view equation);

// The balanced equation, followed, when amounts were given, by lines on the limiting reagent,
// the theoretical yields and what is left over (or, for given products, what they need).
// An equation that cannot be balanced is a calculation failure that says why.
std::string BalanceEquation(Session& s, std::string_view equation);

}  // namespace ostravel
