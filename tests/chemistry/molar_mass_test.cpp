// Molar masses of compounds of every kind against textbook values (within 0.01 %), from the
// delivered atomic weights and radicals.
#include <gtest/gtest.h>

#include "chemistry/chemistry_fixture.h"

namespace ostravel::testing {
namespace {

struct Compound {
  const char* kind;
  const char* formula;
  double textbook;  // g/mol
};

const Compound kCompounds[] = {
    {"simple", "H2O", 18.015},
    {"simple", "CO2", 44.009},
    {"simple", "NaCl", 58.44},
    {"simple", "NH3", 17.031},
    {"simple", "CH4", 16.043},
    {"simple", "HCl", 36.46},
    {"simple", "H2SO4", 98.07},
    {"simple", "HNO3", 63.01},
    {"simple", "H3PO4", 97.99},
    {"simple", "NaOH", 39.997},
    {"simple", "KMnO4", 158.03},
    {"simple", "K2Cr2O7", 294.18},
    {"simple", "CaCO3", 100.09},
    {"simple", "NaHCO3", 84.01},
    {"simple", "AgNO3", 169.87},
    {"simple", "BaSO4", 233.39},
    {"simple", "Fe2O3", 159.69},
    {"simple", "Fe3O4", 231.53},
    {"simple", "SiO2", 60.08},
    {"simple", "KCl", 74.55},
    {"organic", "C6H6", 78.11},
    {"organic", "C2H5OH", 46.07},
    {"organic", "CH3COOH", 60.05},
    {"organic", "C12H22O11", 342.30},
    {"organic", "C8H10N4O2", 194.19},
    {"organic", "C9H8O4", 180.16},
    {"organic", "C3H8", 44.097},
    {"organic", "C6H5NO2", 123.11},
    {"parentheses", "Ca(OH)2", 74.09},
    {"parentheses", "Al2(SO4)3", 342.15},
    {"parentheses", "(NH4)2SO4", 132.14},
    {"parentheses", "Ca3(PO4)2", 310.18},
    {"parentheses", "Mg(OH)2", 58.32},
    {"parentheses", "Pb(NO3)2", 331.2},
    {"parentheses", "(CH3)3COH", 74.12},
    {"parentheses", "Cu(NH3)4SO4", 227.73},
    {"nested parentheses", "K4(Fe(CN)6)", 368.35},
    {"nested parentheses", "K3(Fe(CN)6)", 329.24},
    {"hydrate", "CuSO4.5H2O", 249.68},
    {"hydrate", "MgSO4.7H2O", 246.47},
    {"hydrate", "Na2CO3.10H2O", 286.14},
    {"hydrate", "FeSO4(.)7H2O", 278.01},
    {"hydrate", "CoCl2.6H2O", 237.93},
    {"hydrate", "KAl(SO4)2.12H2O", 474.38},
    {"hydrate", "Na2S2O3.5H2O", 248.18},
    {"hydrate", "UO2(NO3)2.6H2O", 502.13},
    {"fractional hydrate", "CaSO4(.)0.5H2O", 145.14},
    {"mixture", "NaCl+H2O", 76.455},
    {"mixture", "2H2+O2", 36.03},
    {"mixture", "CuSO4+5H2O", 249.68},
    {"radical", "MeOH", 32.042},
    {"radical", "EtOH", 46.07},
    {"radical", "PhOH", 94.11},
    {"radical", "AcOH", 60.05},
    {"radical", "PhMe", 92.14},
    {"radical", "Et2O", 74.12},
    {"fractional count", "Fe0.95O", 69.05},
    {"fractional count", "La0.7Sr0.3MnO3", 226.46},
    {"fractional count", "Ca0.5Mg0.5CO3", 92.20},
    {"fractional count", "YBa2Cu3O7", 666.19},
};

using MolarMassTest = ChemistryTest;

TEST_F(MolarMassTest, AgreesWithTextbookValues) {
  UseDeliveredDatabase();  // its atomic weights and radicals
  for (const Compound& compound : kCompounds) {
    double mass = Mass(compound.formula);
    EXPECT_EQ(s.calc.CalcKind, CalcKind::Form) << compound.formula;
    EXPECT_NEAR(mass, compound.textbook, compound.textbook * 1e-4)
        << compound.kind << ": " << compound.formula;
  }
}

}  // namespace
}  // namespace ostravel::testing
