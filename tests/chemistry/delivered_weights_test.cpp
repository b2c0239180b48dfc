// The atomic weights delivered in TOLVANE.INI.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "chemistry/element_lookup.h"
#include "chemistry/formula_parser.h"
#include "database/settings.h"
#include "session/session.h"
#include "support/recording_platform.h"

namespace ostravel::testing {
namespace {

const char* const kSymbols =
    "H He Li Be B C N O F Ne Na Mg Al Si P S Cl Ar K Ca Sc Ti V Cr Mn Fe Co Ni Cu Zn Ga Ge As "
    "Se Br Kr Rb Sr Y Zr Nb Mo Tc Ru Rh Pd Ag Cd In Sn Sb Te I Xe Cs Ba La Ce Pr Nd Pm Sm Eu "
    "Gd Tb Dy Ho Er Tm Yb Lu Hf Ta W Re Os Ir Pt Au Hg Tl Pb Bi Po At Rn Fr Ra Ac Th Pa U Np "
    "Pu Am Cm Bk Cf Es Fm Md No Lr Rf Db Sg Bh Hs Mt Ds Rg Cn Nh Fl Mc Lv Ts Og";

class DeliveredWeightsTest : public ::testing::Test {
 protected:
  DeliveredWeightsTest() {
    s.db.ProgramFolder = OSTRAVEL_DATA_DIR;  // read only
    LoadSettings(s);
    s.lists.RadicalKeys.clear();  // the weights alone
  }
  RecordingPlatform ui;
  Session s{ui};
};

TEST_F(DeliveredWeightsTest, AllElementsInOrderOfAtomicNumber) {
  std::istringstream symbols(kSymbols);
  std::string symbol;
  int z = 0;
  while (symbols >> symbol) {
    ++z;
    std::string slot = (symbol + " ").substr(0, 2);
    EXPECT_EQ(s.elements.ElementSymbols.substr(2 * z - 1, 2), slot) << z;
    EXPECT_EQ(AtomicNumber(s, slot), z) << symbol;
    EXPECT_GT(s.elements.AtomWeight[z], 0) << symbol;
    if (z > 1) {
      EXPECT_GT(s.elements.AtomWeight[z], 0.9 * s.elements.AtomWeight[z - 1]) << symbol;
    }
  }
  ASSERT_EQ(z, 118);
  EXPECT_EQ(s.elements.ElementSymbols.size(), 1u + 2 * 118);
  for (int empty = 119; empty <= kMaxElements; ++empty)
    EXPECT_EQ(s.elements.AtomWeight[empty], 0);
}

TEST_F(DeliveredWeightsTest, CommonCompounds) {
  struct Row {
    const char* formula;
    double textbook;
  } rows[] = {
      {"H2O", 18.015},  {"CO2", 44.009},        {"NaCl", 58.44},      {"O2", 31.998},
      {"N2", 28.014},   {"CH4", 16.043},        {"C6H12O6", 180.156}, {"CaCO3", 100.09},
      {"H2SO4", 98.07}, {"CuSO4.5H2O", 249.68}, {"KMnO4", 158.03},    {"Fe2O3", 159.69},
      {"AgCl", 143.32}, {"PbI2", 461.0},        {"UF6", 352.02},      {"Au", 196.97},
  };
  for (const Row& row : rows) {
    s.calc.CalcKind = CalcKind::Form;
    EXPECT_NEAR(FormulaMass(s, row.formula), row.textbook, row.textbook * 1e-4) << row.formula;
  }
}

}  // namespace
}  // namespace ostravel::testing
