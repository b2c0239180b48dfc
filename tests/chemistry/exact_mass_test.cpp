// Exact masses, nominal masses and m/z of ions and isotopologues against values worked out by
// hand from the evaluated isotope masses (AME, 12C = 12 exactly) and the electron mass; the
// uncertainty of molar masses from the IUPAC standard atomic weights.
#include <gtest/gtest.h>

#include <cmath>

#include "chemistry/exact_mass.h"
#include "chemistry/formula_composition.h"
#include "chemistry/isotope_table.h"
#include "chemistry/mass_report.h"
#include "chemistry_fixture.h"
#include "database/isotope_data.h"
#include "runtime/failure.h"

namespace ostravel::testing {
namespace {

struct IonRow {
  const char* formula;
  double exact;  // u
  int nominal;   // u
  double mz;     // u per charge; 0 for a neutral species
};

// 1H 1.00782503223, 12C 12, 14N 14.00307400443, 16O 15.99491461957, 23Na 22.989769282,
// 32S 31.9720711744, 35Cl 34.968852682, 56Fe 55.93493633, ..., electron 0.000548579909065.
const IonRow kIons[] = {
    {"SO4^2-", 95.952826812, 96, 47.976413406},
    {"Fe^3+", 55.933290590, 56, 18.644430197},
    {"Na^+", 22.989220702, 23, 22.989220702},
    {"Cl^-", 34.969401262, 35, 34.969401262},
    {"NH4^+", 18.033825553, 18, 18.033825553},
    {"OH^-", 17.003288232, 17, 17.003288232},
    {"H3O^+", 19.017841136, 19, 19.017841136},
    {"CO3^2-", 59.985841019, 60, 29.992920509},
    {"PO4^3-", 94.955066216, 95, 31.651688739},
    {"NO3^-", 61.988366443, 62, 61.988366443},
    {"MnO4^-", 118.918250968, 119, 118.918250968},
    {"Cr2O7^2-", 215.846511957, 216, 107.923255978},
    {"HCO3^-", 60.993117471, 61, 60.993117471},
    {"C6H12O6Na^+", 203.052608806, 203, 203.052608806},
    {"C6H13O6^+", 181.070664557, 181, 181.070664557},
    {"C8H10N4O2", 194.080375579, 194, 0},
    {"C27H46O", 386.354866102, 386, 0},
    {"Fe(CN)6^4-", 211.955574676, 212, 52.988893669},
    {"(Cu(NH3)4)^2+", 131.034696965, 131, 65.517348482},
    {"Ca^2+", 39.961493703, 40, 19.980746852},
    {"Br^-", 78.918886180, 79, 78.918886180},
    {"I^-", 126.905020480, 127, 126.905020480},
    {"CH3COO^-", 59.013852916, 59, 59.013852916},
    {"K^+", 38.963157906, 39, 38.963157906},
    {"Zn^2+", 63.928044850, 64, 31.964022425},
    {"Ag^+", 106.904543020, 107, 106.904543020},
    {"UO2^2+", 270.039520479, 270, 135.019760240},
    {"CF3COO^-", 112.985587307, 113, 112.985587307},
    {"Ca^++", 39.961493703, 40, 19.980746852},
    {"Fe^+3", 55.933290590, 56, 18.644430197},
};

class ExactMassTest : public ChemistryTest {
 protected:
  ExactMassTest() { UseDeliveredDatabase(); }
};

TEST_F(ExactMassTest, IonsAndMoleculesAgainstTheEvaluatedTable) {
  for (const IonRow& row : kIons) {
    SCOPED_TRACE(row.formula);
    const Composition c = FormulaComposition(s, row.formula);
    EXPECT_NEAR(MonoisotopicMass(s, c), row.exact, 1e-6);
    EXPECT_EQ(NominalMass(s, c), row.nominal);
    if (row.mz != 0) {
      EXPECT_NEAR(MassToCharge(s, c, row.formula), row.mz, 1e-6);
    } else {
      EXPECT_THROW(MassToCharge(s, c, row.formula), RunFailure);
    }
  }
}

TEST_F(ExactMassTest, ChargeSuffixes) {
  struct Row {
    const char* text;
    std::size_t formulaLength;
    int charge;
  };
  const Row rows[] = {
      {"SO4^2-", 3, -2},   {"Fe^3+", 2, 3}, {"Fe^+3", 2, 3},  {"NH4^+", 3, 1}, {"Ca^++", 2, 2},
      {"Cl^-", 2, -1},     {"H2O", 3, 0},   {"^13CO2", 6, 0}, {"Fe^3", 4, 0},  {"Fe^0+", 5, 0},
      {"Fe^12345+", 9, 0}, {"Fe^", 3, 0},   {"Fe^3+-", 6, 0}, {"", 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    int charge = 99;
    EXPECT_EQ(ChargeSuffix(row.text, charge), row.formulaLength);
    EXPECT_EQ(charge, row.charge);
  }
}

TEST_F(ExactMassTest, ElementsWithoutANaturalIsotopeAreNamed) {
  const Composition c = FormulaComposition(s, "TcO4^-");
  EXPECT_THROW(MonoisotopicMass(s, c), RunFailure);
  EXPECT_EQ(s.engine.EvalError,
            "Tc has no isotope found in nature; write the isotope you mean, for example ^97Tc.");
  EXPECT_THROW(MassToCharge(s, FormulaComposition(s, "H2O"), "H2O"), RunFailure);
  EXPECT_EQ(s.engine.EvalError,
            "H2O has no charge, so it has no m/z; write the charge at its "
            "end, for example H2O^+ or H2O^2-.");
  EXPECT_THROW(FormulaComposition(s, "2*H2O"), RunFailure);
}

struct UncertaintyRow {
  const char* formula;
  double uncertainty;  // g/mol, from the abridged standard atomic weights
  const char* dominant;
};

const UncertaintyRow kUncertainties[] = {
    // sqrt((2 x 0.0002)^2 + 0.001^2)
    {"H2O", 0.0010770, "O 86 %, H 14 %"},
    // sqrt((6 x 0.002)^2 + (12 x 0.0002)^2 + (6 x 0.001)^2)
    {"C6H12O6", 0.0136294, "C 78 %, O 19 %, H 3 %"},
    // Pb 1.1 dwarfs 2 x 0.01 for Cl
    {"PbCl2", 1.1001818, "Pb 100 %"},
    {"NaCl", 0.0100499, "Cl 99 %, Na 1 %"},
    {"CuSO4.5H2O", 0.0222261, "S 81 %, O 16 %, Cu 2 %, H 1 %"},
};

TEST_F(ExactMassTest, MolarMassUncertaintyAndTheElementsThatDominateIt) {
  for (const UncertaintyRow& row : kUncertainties) {
    SCOPED_TRACE(row.formula);
    const MolarMassUncertainty u = MolarMassUncertaintyOf(s, FormulaComposition(s, row.formula));
    EXPECT_NEAR(u.Uncertainty, row.uncertainty, 1e-6);
    EXPECT_EQ(DominantElements(s, u), row.dominant);
    EXPECT_TRUE(u.WithoutStandardWeight.empty());
  }
  const MolarMassUncertainty tc = MolarMassUncertaintyOf(s, FormulaComposition(s, "TcO2"));
  ASSERT_EQ(tc.WithoutStandardWeight.size(), 1u);
  EXPECT_EQ(AtomName(s, tc.WithoutStandardWeight[0]), "Tc");
  EXPECT_NEAR(tc.Uncertainty, 0.002, 1e-12);
}

TEST_F(ExactMassTest, EmAndMzTermsOfTheEntryLine) {
  struct Row {
    const char* text;
    const char* name;  // of the memory line made
    double value;
  };
  const Row rows[] = {
      {"EM(C6H12O6)", "EM(C6H12O6)", 180.063388104},
      {"em(SO4^2-)", "EM(SO4^2-)", 95.952826812},
      {"MZ(C6H13O6^+)", "MZ(C6H13O6^+)", 181.070664557},
      {"2*mz(SO4^2-)", "MZ(SO4^2-)", 47.976413406},
      {"Mz(Fe(CN)6^4-)", "MZ(Fe(CN)6^4-)", 52.988893669},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    Expand(row.text);
    EXPECT_EQ(s.calc.CalcKind, "Calc");
    EXPECT_EQ(s.memory.MemNames[s.memory.MemoryCount], row.name);
    EXPECT_NEAR(s.memory.MemValues[s.memory.MemoryCount], row.value, 1e-6);
  }
  EXPECT_THROW(Expand("MZ(H2O)"), RunFailure);
  EXPECT_EQ(s.engine.EvalError,
            "H2O has no charge, so it has no m/z; write the charge at its "
            "end, for example H2O^+ or H2O^2-.");
  EXPECT_THROW(Expand("EM(2*H2O)"), RunFailure);
}

TEST_F(ExactMassTest, MassReportLines) {
  struct Row {
    const char* formula;
    const char* text;
  };
  const Row rows[] = {
      {"H2O",
       "molar mass: 18.0150 \xB1 0.0011 g/mol (uncertainty mostly from O 86 %, H 14 %)\n"
       "monoisotopic mass: 18.010565 u\nnominal mass: 18 u"},
      {"SO4^2-",
       "molar mass: 96.057 \xB1 0.020 g/mol (uncertainty mostly from S 96 %, O 4 %)\n"
       "monoisotopic mass: 95.952827 u\nnominal mass: 96 u\nm/z: 47.976413 u (charge 2-)"},
      {"TcO4^-",
       "molar mass: 160.997 \xB1 0.004 g/mol (uncertainty mostly from O 100 %); no standard "
       "atomic weight for Tc\n"
       "monoisotopic mass: not available: Tc has no isotope found in nature; write the isotope "
       "you mean, for example ^97Tc.\n"
       "nominal mass: not available: Tc has no isotope found in nature; write the isotope you "
       "mean, for example ^97Tc.\n"
       "m/z: not available: Tc has no isotope found in nature; write the isotope you mean, for "
       "example ^97Tc."},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(MassReportText(s, row.formula), row.text);
    EXPECT_EQ(s.engine.EvalError, "");
  }
}

TEST(ValueWithUncertaintyTest, RoundsBothToTheUncertaintysPlace) {
  struct Row {
    double value;
    double uncertainty;
    const char* text;
  };
  const Row rows[] = {
      {18.015, 0.001077, "18.0150 \xB1 0.0011"}, {180.156, 0.0136294, "180.156 \xB1 0.014"},
      {180.156, 0.0036, "180.156 \xB1 0.004"},   {278.1, 1.1001818, "278.1 \xB1 1.1"},
      {12345.6, 350, "12300 \xB1 400"},          {12345.6, 0, "12345.6"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ValueWithUncertainty(row.value, row.uncertainty), row.text);
  }
}

TEST(IsotopeDataTest, ReadsTheDeliveredTable) {
  IsotopeTable table;
  std::string text;
  {
    std::FILE* f = std::fopen(OSTRAVEL_DATA_DIR "/ISOTOPES.TXT", "rb");
    ASSERT_NE(f, nullptr);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
      text.append(buffer, n);
    std::fclose(f);
  }
  ASSERT_EQ(ParseIsotopeData(text, table), "");
  // Spot checks against values known independently of the file.
  auto isotope = [&](const char* symbol, int a) -> const Isotope* {
    for (const ElementIsotopes& e : table.Elements) {
      if (e.Symbol != symbol) continue;
      for (const Isotope& i : e.Isotopes)
        if (i.MassNumber == a) return &i;
    }
    return nullptr;
  };
  EXPECT_EQ(isotope("C", 12)->Mass, 12.0);
  EXPECT_NEAR(isotope("H", 1)->Mass, 1.00782503207, 1e-9);
  EXPECT_NEAR(isotope("O", 16)->Mass, 15.99491461957, 1e-10);
  EXPECT_NEAR(isotope("Cl", 37)->Abundance, 0.2424, 1e-4);
  EXPECT_EQ(table.Elements.size(), 118u);
}

TEST(IsotopeDataTest, DamagedLinesAreRefusedWithTheirNumber) {
  struct Row {
    const char* text;
    const char* problem;
  };
  const Row rows[] = {
      {"[Isotopes]\nH\t1\t1.0078\t0.9\n", ""},
      {"H\t1\t1.0078\t0.9\n", "line 1: a line outside the sections"},
      {"[Isotopes]\nH\t1\tx\t0.9\n", "line 2: the mass is not a number"},
      {"[Isotopes]\nH\t1.5\t1.0\t\n",
       "line 2: the mass number is not a whole number from 1 to 400"},
      {"[Isotopes]\nH\t1\t1.0\t1.5\n", "line 2: the abundance is not a fraction from 0 to 1"},
      {"[Isotopes]\nH\t1\t1.0\t\nH\t1\t1.0\t\n", "line 3: the isotope is listed twice"},
      {"[StandardAtomicWeights]\nH\t1.008\n",
       "line 2: expected symbol, weight, uncertainty[, interval]"},
      {"[StandardAtomicWeights]\nH\t1.008\t0.0002\t2\t1\n",
       "line 2: the interval is not two rising numbers"},
      {"# only a comment\n", "no element data"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    IsotopeTable table;
    EXPECT_EQ(ParseIsotopeData(row.text, table), row.problem);
    EXPECT_EQ(table.Loaded, std::string(row.problem).empty());
  }
}

TEST_F(ChemistryTest, AMissingIsotopeTableIsNamed) {
  EXPECT_THROW(IsotopeData(s), RunFailure);
  EXPECT_EQ(s.engine.EvalError,
            "The isotope table ISOTOPES.TXT in " + dir.path().string() + " cannot be read");
}

}  // namespace
}  // namespace ostravel::testing
