// Masses of a composition as mass spectrometry needs them (monoisotopic, nominal, m/z), and
// the uncertainty of a molar mass that comes from the standard atomic weights.
#pragma once

#include <string>
#include <vector>

namespace ostravel {

class Session;
struct Composition;
struct ElementIsotopes;

// The isotope data of an element of the session's table (loaded on first use); nullptr when
// the isotope table does not know its symbol.
const ElementIsotopes* IsotopesOfNumber(Session& s, int number);

// The mass in u of one atom: of the labelled isotope, or, for a natural element, of its most
// abundant isotope. A calculation failure names an element without a natural isotope or an
// isotope the table does not hold.
double MonoisotopicAtomMass(Session& s, int number, int massNumber);

// The molar mass in g/mol: atomic weights of the session's table for natural elements, isotope
// masses for labelled atoms, less the electrons' mass of a positive charge.
double AverageMolarMass(Session& s, const Composition& c);

// Sum of the atoms' monoisotopic masses, less one electron mass per positive charge (plus one
// per negative charge).
double MonoisotopicMass(Session& s, const Composition& c);
// Sum of the atoms' mass numbers (most abundant isotope for natural elements).
double NominalMass(Session& s, const Composition& c);
// Monoisotopic mass / |charge|; a composition without a charge is a calculation failure.
double MassToCharge(Session& s, const Composition& c, const std::string& formula);

struct UncertaintyShare {
  int Number = 0;
  double Uncertainty = 0;  // count x the uncertainty of the element's standard atomic weight
  double Share = 0;        // fraction of the combined variance
};

struct MolarMassUncertainty {
  double Uncertainty = 0;                  // combined: the elements' parts added in quadrature
  std::vector<UncertaintyShare> Shares;    // largest first
  std::vector<int> WithoutStandardWeight;  // elements whose weight has no stated uncertainty
};

// The uncertainty that the standard atomic weights give the molar mass of a composition.
// Isotope-labelled atoms add nothing (their masses are known far better).
MolarMassUncertainty MolarMassUncertaintyOf(Session& s, const Composition& c);

// "18.015 ± 0.0011" (the uncertainty to two significant digits when its first is 1 or 2,
// else one; the value to the same decimal place), Latin-1 text.
std::string ValueWithUncertainty(double value, double uncertainty);

// "H 76 %, O 24 %": the elements that make up the variance, largest first, down to the last
// one that still has 1 %.
std::string DominantElements(const Session& s, const MolarMassUncertainty& u);

}  // namespace ostravel
