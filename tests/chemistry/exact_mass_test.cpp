// Exact masses, nominal masses and m/z of ions and isotopologues against values worked out by
// hand from the evaluated isotope masses (AME, 12C = 12 exactly) and the electron mass; the
// uncertainty of molar masses from the IUPAC standard atomic weights.
#include <gtest/gtest.h>

#include <cmath>

#include "chemistry/chemistry_fixture.h"
#include "chemistry/exact_mass.h"
#include "chemistry/formula_composition.h"
#include "chemistry/mass_report.h"
#include "database/isotope_data.h"
#include "runtime/failure.h"
#include "state/isotope_table.h"

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
    // Isotopologues and labelled ions: 2H 2.01410177812, 3H 3.0160492779, 13C 13.00335483507,
    // 15N 15.00010889888, 18O 17.99915961286, 34S 33.967867004, 37Cl 36.965902602,
    // 81Br 80.9162897, 54Fe 53.93960899, 65Cu 64.9277897, 235U 235.0439301.
    {"^13CO2", 44.993184074, 45, 0},
    {"D2O", 20.023118176, 20, 0},
    {"HDO", 19.016841430, 19, 0},
    {"T2O", 22.027013175, 22, 0},
    {"H2^18O", 20.014809677, 20, 0},
    {"CD3OD", 36.051321732, 36, 0},
    {"CDCl3", 118.920659824, 119, 0},
    {"^13CH4", 17.034654964, 17, 0},
    {"^15NH3", 18.023583996, 18, 0},
    {"^15NH4^+", 19.030860448, 19, 19.030860448},
    {"^13C6H12O6", 186.083517115, 186, 0},
    {"D3O^+", 22.036671374, 22, 22.036671374},
    {"^34SO4^2-", 97.948622642, 98, 48.974311321},
    {"^37Cl^-", 36.966451182, 37, 36.966451182},
    {"^81Br^-", 80.916838280, 81, 80.916838280},
    {"^54Fe^3+", 53.937963250, 54, 17.979321083},
    {"^13CO3^2-", 60.989195854, 61, 30.494597927},
    {"CH3^13COOH", 61.024484203, 61, 0},
    {"C^18O2", 47.998319226, 48, 0},
    {"^2H2", 4.028203556, 4, 0},
    {"DT", 5.030151056, 5, 0},
    {"^235UF6", 349.034349076, 349, 0},
    {"C2D5OD", 52.079525288, 52, 0},
    {"^65Cu^2+", 64.926692540, 65, 32.463346270},
    {"(^13CH3)^+", 16.026281352, 16, 16.026281352},
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

// The molar mass counts a labelled atom with its isotope's mass and an ion with the mass of
// its electrons; the isotope labels and charges that cannot be read are refused by name.
TEST_F(ExactMassTest, LabelledAtomsAndChargesInMolarMasses) {
  const double c13 = 13.00335483507;
  const double d = 2.01410177812;
  const double electron = 0.000548579909065;
  struct Row {
    const char* formula;
    double mass;
  };
  const Row rows[] = {
      {"^13CO2", c13 + 2 * W("O")},
      {"D2O", 2 * d + W("O")},
      {"T2O", 2 * 3.0160492779 + W("O")},
      {"CH3^13CH3", W("C") + c13 + 6 * W("H")},
      {"^13C^18O2", c13 + 2 * 17.99915961286},
      {"(CD3)2SO", 2 * W("C") + 6 * d + W("S") + W("O")},
      {"CuSO4.5D2O", W("Cu") + W("S") + 4 * W("O") + 5 * (2 * d + W("O"))},
      {"13CO2", 13 * (W("C") + 2 * W("O"))},  // a leading number stays a multiplier
      {"SO4^2-", W("S") + 4 * W("O") + 2 * electron},
      {"NH4^+", W("N") + 4 * W("H") - electron},
      {"Fe^+3", W("Fe") - 3 * electron},
      {"(Fe(CN)6)^4-", W("Fe") + 6 * (W("C") + W("N")) + 4 * electron},
      {"TBr", 3.0160492779 + W("Br")},                           // T and B, as no radical begins so
      {"TMSCl", W("Si") + 3 * (W("C") + 3 * W("H")) + W("Cl")},  // the radical TMS
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.formula);
    EXPECT_NEAR(Mass(row.formula), row.mass, 1e-9);
    EXPECT_EQ(s.calc.CalcKind, CalcKind::Form);
  }
  // Labelled hydrogen is hydrogen in the shares of elements.
  Expand("wt%(H,D2O)");
  EXPECT_NEAR(s.memory.MemValues[s.memory.MemoryCount], 100 * 2 * d / (2 * d + W("O")), 1e-9);
  Expand("mol%(C,CH3^13CH3)");
  EXPECT_NEAR(s.memory.MemValues[s.memory.MemoryCount], 25, 1e-12);

  struct Refusal {
    const char* formula;
    const char* message;
  };
  const Refusal refusals[] = {
      {"^99CO2",
       "\"^99C\" in ^99CO2 is not an isotope that the isotope table knows; it holds ^8C to "
       "^23C"},
      {"^2D2O",
       "\"D\" in ^2D2O is already an isotope (^2H): write D or ^2H, T or ^3H, without a mass "
       "number in front"},
      {"^13Me", "\"Me\" in ^13Me is not an element symbol."},  // a label is never a radical's
      {"^13Q", "\"Q\" in ^13Q is not an element symbol."},
      {"Do", "\"Do\" is not an element symbol."},
  };
  for (const Refusal& row : refusals) {
    SCOPED_TRACE(row.formula);
    EXPECT_THROW(Mass(row.formula), RunFailure);
    EXPECT_EQ(s.engine.EvalError, row.message);
  }
  // A caret that is no label and no charge at the end is a power: the text is arithmetic.
  for (const char* text : {"H2O^2", "^13c", "C^13", "^1234C", "Fe^3+H2O", "SO4^2-1", "2^3"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Mass(text), 0);
    EXPECT_EQ(s.calc.CalcKind, CalcKind::Calc);
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
    EXPECT_EQ(s.calc.CalcKind, CalcKind::Calc);
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
  EXPECT_GE(table.Edition, 1);
  EXPECT_EQ(IsotopeFileEdition(OSTRAVEL_DATA_DIR "/ISOTOPES.TXT"), table.Edition);
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
      {"[Edition]\n1.5\n[Isotopes]\nH\t1\t1.0078\t0.9\n",
       "line 2: the edition is not a whole number from 1"},
      {"[Edition]\n3\n[Isotopes]\nH\t1\t1.0078\t0.9\n", ""},
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
