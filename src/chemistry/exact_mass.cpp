#include "chemistry/exact_mass.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "chemistry/formula_composition.h"
#include "database/isotope_data.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "session/session.h"
#include "state/isotope_table.h"

namespace ostravel {
namespace {

[[noreturn]] void CalculationError(Session& s, std::string message) {
  s.engine.EvalError = std::move(message);
  Fail(FailureKind::Calculation);
}

// Matches the isotope table's symbols to the atomic numbers of the element table in use.
void PrepareIsotopeLookup(Session& s) {
  IsotopeTable& table = s.isotopes;
  if (table.NumbersSource == s.elements.ElementSymbols) return;
  table.EntryOfNumber.fill(-1);
  for (int z = 1; z <= kMaxElements; ++z) {
    const std::string symbol = AtomName(s, z);
    if (symbol.empty()) break;
    for (std::size_t i = 0; i < table.Elements.size(); ++i) {
      if (table.Elements[i].Symbol == symbol) {
        table.EntryOfNumber[z] = static_cast<int>(i);
        break;
      }
    }
  }
  table.NumbersSource = s.elements.ElementSymbols;
}

const Isotope& AtomIsotope(Session& s, int number, int massNumber) {
  const ElementIsotopes* element = IsotopesOfNumber(s, number);
  const std::string symbol = AtomName(s, number);
  if (element == nullptr) {
    CalculationError(s, "The isotope table has no data for " + symbol + ".");
  }
  if (massNumber == 0) {
    if (element->MostAbundant < 0) {
      // The delivered weight of such an element is the mass number of its longest-lived
      // isotope, the one to suggest.
      const long example = std::lround(s.elements.AtomWeight[number]);
      CalculationError(s, symbol + " has no isotope found in nature; write the isotope you " +
                              "mean, for example ^" + std::to_string(example) + symbol + ".");
    }
    return element->Isotopes[element->MostAbundant];
  }
  for (const Isotope& isotope : element->Isotopes) {
    if (isotope.MassNumber == massNumber) return isotope;
  }
  CalculationError(s,
                   "The isotope table knows no isotope " + AtomName(s, number, massNumber) + ".");
}

std::string FixedText(double value, int decimals) {
  char buffer[64];
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return ec == std::errc() ? std::string(buffer, end) : GeneralNumberText(value);
}

}  // namespace

const ElementIsotopes* IsotopesOfNumber(Session& s, int number) {
  const IsotopeTable& table = IsotopeData(s);
  PrepareIsotopeLookup(s);
  if (number < 1 || number > kMaxElements || table.EntryOfNumber[number] < 0) return nullptr;
  return &table.Elements[table.EntryOfNumber[number]];
}

double MonoisotopicAtomMass(Session& s, int number, int massNumber) {
  return AtomIsotope(s, number, massNumber).Mass;
}

double AverageMolarMass(Session& s, const Composition& c) {
  double mass = 0;
  for (const AtomCount& atom : c.Atoms) {
    double weight = 0;
    if (atom.MassNumber != 0) {
      weight = MonoisotopicAtomMass(s, atom.Number, atom.MassNumber);
    } else if (atom.Number >= 1 && atom.Number <= kMaxElements) {
      weight = s.elements.AtomWeight[atom.Number];
    }
    if (weight == 0) {
      CalculationError(s, "No mass for atomic number " + std::to_string(atom.Number) + " found");
    }
    mass += atom.Count * weight;
  }
  return mass - c.Charge * kElectronMass;
}

double MonoisotopicMass(Session& s, const Composition& c) {
  double mass = 0;
  for (const AtomCount& atom : c.Atoms)
    mass += atom.Count * MonoisotopicAtomMass(s, atom.Number, atom.MassNumber);
  return mass - c.Charge * kElectronMass;
}

double NominalMass(Session& s, const Composition& c) {
  double mass = 0;
  for (const AtomCount& atom : c.Atoms)
    mass += atom.Count * AtomIsotope(s, atom.Number, atom.MassNumber).MassNumber;
  return mass;
}

double MassToCharge(Session& s, const Composition& c, const std::string& formula) {
  if (c.Charge == 0) {
    CalculationError(s, formula + " has no charge, so it has no m/z; write the charge at its " +
                            "end, for example " + formula + "^+ or " + formula + "^2-.");
  }
  return MonoisotopicMass(s, c) / std::abs(c.Charge);
}

MolarMassUncertainty MolarMassUncertaintyOf(Session& s, const Composition& c) {
  MolarMassUncertainty result;
  double variance = 0;
  for (const AtomCount& atom : c.Atoms) {
    if (atom.MassNumber != 0) continue;
    const ElementIsotopes* element = IsotopesOfNumber(s, atom.Number);
    if (element == nullptr || element->StandardWeight == 0) {
      result.WithoutStandardWeight.push_back(atom.Number);
      continue;
    }
    const double part = std::fabs(atom.Count) * element->WeightUncertainty;
    result.Shares.push_back({atom.Number, part, 0});
    variance += part * part;
  }
  result.Uncertainty = std::sqrt(variance);
  for (UncertaintyShare& share : result.Shares)
    share.Share = variance > 0 ? share.Uncertainty * share.Uncertainty / variance : 0;
  std::stable_sort(
      result.Shares.begin(), result.Shares.end(),
      [](const UncertaintyShare& a, const UncertaintyShare& b) { return a.Share > b.Share; });
  return result;
}

std::string ValueWithUncertainty(double value, double uncertainty) {
  if (!(uncertainty > 0) || !std::isfinite(uncertainty) || !std::isfinite(value)) {
    return GeneralNumberText(value);
  }
  const int exponent = static_cast<int>(std::floor(std::log10(uncertainty)));
  const double leading = uncertainty / std::pow(10.0, exponent);
  const int decimals = (leading < 3 ? 1 : 0) - exponent;
  if (decimals >= 0) {
    return FixedText(value, decimals) + " \xB1 " + FixedText(uncertainty, decimals);
  }
  // An uncertainty of tens or more: both rounded to its place.
  const double unit = std::pow(10.0, -decimals);
  return FixedText(std::round(value / unit) * unit, 0) + " \xB1 " +
         FixedText(std::round(uncertainty / unit) * unit, 0);
}

std::string DominantElements(const Session& s, const MolarMassUncertainty& u) {
  std::string text;
  for (const UncertaintyShare& share : u.Shares) {
    const long percent = std::lround(share.Share * 100);
    if (percent < 1 && !text.empty()) break;
    if (!text.empty()) text += ", ";
    text += AtomName(s, share.Number) + " " + std::to_string(percent) + " %";
  }
  return text;
}

}  // namespace ostravel
