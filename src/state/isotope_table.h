// Isotope masses, natural isotopic compositions and the uncertainties of the standard atomic
// weights, read from the delivered file "ISOTOPES.TXT" the first time a calculation needs them.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "state/chemistry_state.h"

namespace ostravel {

// The mass of the electron in u (CODATA 2018): what a charge adds to or takes from a mass.
inline constexpr double kElectronMass = 0.000548579909065;

struct Isotope {
  int MassNumber = 0;
  double Mass = 0;       // in u
  double Abundance = 0;  // natural amount fraction; 0 for an isotope not found in nature
};

struct ElementIsotopes {
  std::string Symbol;
  std::vector<Isotope> Isotopes;  // in the order of the file (rising mass number)
  // The standard atomic weight and its uncertainty (0 and 0 when the element has none); the
  // interval of the weights found in nature, where the weight varies (0 and 0 otherwise).
  double StandardWeight = 0;
  double WeightUncertainty = 0;
  double IntervalLow = 0;
  double IntervalHigh = 0;
  int MostAbundant = -1;  // index into Isotopes; -1 when no isotope occurs in nature
};

struct IsotopeTable {
  bool Loaded = false;
  int Edition = 0;  // raised whenever the delivered table's numbers change; 0 when not given
  std::vector<ElementIsotopes> Elements;  // in the order of the file
  // Elements indexed by the atomic numbers of the session's element table (which follow the
  // order of its "AtomicWeights" section): the index into Elements, -1 for a symbol the file
  // does not know. Built for the ElementSymbols text kept in NumbersSource.
  std::string NumbersSource;
  std::array<int, kMaxElements + 1> EntryOfNumber{};
};

}  // namespace ostravel
