// Balancing reaction equations: textbook equations of every kind (redox, ionic, combustion,
// half-reactions), equations that cannot be balanced or not uniquely, each with its message,
// and the amounts that follow from given masses.
#include <gtest/gtest.h>

#include <limits>

#include "chemistry/chemistry_fixture.h"
#include "chemistry/equation_balancer.h"
#include "chemistry/reaction_equation.h"
#include "runtime/failure.h"
#include "runtime/rational.h"

namespace ostravel::testing {
namespace {

class BalanceTest : public ChemistryTest {
 protected:
  BalanceTest() { UseDeliveredDatabase(); }

  // The balanced equation, or "error: " and the message.
  std::string Balance(const std::string& equation) {
    try {
      return BalanceEquation(s, equation);
    } catch (const RunFailure&) {
      return "error: " + s.engine.EvalError;
    }
  }
};

struct Row {
  const char* equation;
  const char* balanced;
};

const Row kTextbook[] = {
    // redox
    {"KMnO4 + HCl = KCl + MnCl2 + H2O + Cl2", "2 KMnO4 + 16 HCl = 2 KCl + 2 MnCl2 + 8 H2O + 5 Cl2"},
    {"Cu + HNO3 = Cu(NO3)2 + NO + H2O", "3 Cu + 8 HNO3 = 3 Cu(NO3)2 + 2 NO + 4 H2O"},
    {"K2Cr2O7 + HCl = KCl + CrCl3 + Cl2 + H2O",
     "K2Cr2O7 + 14 HCl = 2 KCl + 2 CrCl3 + 3 Cl2 + 7 H2O"},
    {"As2S3 + HNO3 + H2O = H3AsO4 + H2SO4 + NO",
     "3 As2S3 + 28 HNO3 + 4 H2O = 6 H3AsO4 + 9 H2SO4 + 28 NO"},
    {"Fe + O2 = Fe2O3", "4 Fe + 3 O2 = 2 Fe2O3"},
    {"Al + Fe2O3 = Al2O3 + Fe", "2 Al + Fe2O3 = Al2O3 + 2 Fe"},
    {"Na + H2O = NaOH + H2", "2 Na + 2 H2O = 2 NaOH + H2"},
    {"NH3 + O2 = NO + H2O", "4 NH3 + 5 O2 = 4 NO + 6 H2O"},
    {"FeS2 + O2 = Fe2O3 + SO2", "4 FeS2 + 11 O2 = 2 Fe2O3 + 8 SO2"},
    {"KClO3 = KCl + O2", "2 KClO3 = 2 KCl + 3 O2"},
    {"Ca3(PO4)2 + SiO2 + C = CaSiO3 + P4 + CO",
     "2 Ca3(PO4)2 + 6 SiO2 + 10 C = 6 CaSiO3 + P4 + 10 CO"},
    // ionic, charges written with a caret, bare or as a half-reaction with electrons
    {"MnO4^- + Fe^2+ + H^+ = Mn^2+ + Fe^3+ + H2O",
     "MnO4^- + 5 Fe^2+ + 8 H^+ = Mn^2+ + 5 Fe^3+ + 4 H2O"},
    {"Cr2O7^2- + I^- + H^+ = Cr^3+ + I2 + H2O",
     "Cr2O7^2- + 6 I^- + 14 H^+ = 2 Cr^3+ + 3 I2 + 7 H2O"},
    {"Fe^3+ + OH^- = Fe(OH)3", "Fe^3+ + 3 OH^- = Fe(OH)3"},
    {"Na+ + Cl- = NaCl", "Na+ + Cl- = NaCl"},
    {"MnO4^- + 8H^+ + e^- = Mn^2+ + H2O", "MnO4^- + 8 H^+ + 5 e^- = Mn^2+ + 4 H2O"},
    {"Zn(s) + Cu^2+(aq) -> Zn^2+(aq) + Cu(s)", "Zn(s) + Cu^2+(aq) -> Zn^2+(aq) + Cu(s)"},
    {"[Cu(NH3)4]^2+ + H^+ = Cu^2+ + NH4^+", "[Cu(NH3)4]^2+ + 4 H^+ = Cu^2+ + 4 NH4^+"},
    // combustion of organic compounds
    {"C3H8 + O2 -> CO2 + H2O", "C3H8 + 5 O2 -> 3 CO2 + 4 H2O"},
    {"C6H12O6 + O2 = CO2 + H2O", "C6H12O6 + 6 O2 = 6 CO2 + 6 H2O"},
    {"C8H18 + O2 = CO2 + H2O", "2 C8H18 + 25 O2 = 16 CO2 + 18 H2O"},
    {"C2H5OH + O2 = CO2 + H2O", "C2H5OH + 3 O2 = 2 CO2 + 3 H2O"},
    {"C57H110O6 + O2 = CO2 + H2O", "2 C57H110O6 + 163 O2 = 114 CO2 + 110 H2O"},
    // acid-base, precipitation, hydrates; coefficients written are replaced
    {"CaCO3 + HCl = CaCl2 + H2O + CO2", "CaCO3 + 2 HCl = CaCl2 + H2O + CO2"},
    {"Fe2(SO4)3 + KOH = K2SO4 + Fe(OH)3", "Fe2(SO4)3 + 6 KOH = 3 K2SO4 + 2 Fe(OH)3"},
    {"P4O10 + H2O = H3PO4", "P4O10 + 6 H2O = 4 H3PO4"},
    {"CuSO4.5H2O = CuSO4 + H2O", "CuSO4.5H2O = CuSO4 + 5 H2O"},
    {"7 H2O2 = 3 H2O + 3 O2", "2 H2O2 = 2 H2O + O2"},
    {"H2 + O2 <=> H2O", "2 H2 + O2 <=> 2 H2O"},
    {"C + O2 \xE2\x86\x92 CO", "2 C + O2 \xE2\x86\x92 2 CO"},
};

TEST_F(BalanceTest, TextbookEquations) {
  for (const Row& row : kTextbook) {
    EXPECT_EQ(Balance(row.equation), row.balanced) << row.equation;
  }
}

const Row kRefused[] = {
    {"H2 + O2 = H2O + N2",
     "error: The equation cannot be balanced: N occurs only on the right side."},
    {"Fe^2+ = Fe^3+",
     "error: The equation cannot be balanced: no coefficients but 0 keep every element and the "
     "charge equal on both sides."},
    {"Na^+ = Na",
     "error: The equation cannot be balanced: the charges of its two sides can never be equal."},
    {"H2O = H2O2",
     "error: The equation cannot be balanced: no coefficients but 0 keep every element and the "
     "charge equal on both sides."},
    {"NO + NO2 = N2O4",
     "error: The equation cannot be balanced with every species taking part: NO would have the "
     "coefficient 0. What balances is 2 NO2 = N2O4."},
    {"CO2 + O2 = CO",
     "error: The equation cannot be balanced as written: it balances only with O2 on the other "
     "side, as 2 CO2 = 2 CO + O2."},
    {"H2 + O2 = H2O + H2O2",
     "error: The equation has 2 independent balances, so its atoms alone do not fix the "
     "coefficients; every balance is a combination of 2 H2 + O2 = 2 H2O and H2 + O2 = H2O2."},
    {"H2 + O2 =", "error: The right side of the equation is empty."},
    {"H2 + O2", "error: An equation needs \"=\" (or \"->\") between its reactants and products."},
    {"H2 = H + H = H2", "error: The equation has more than one \"=\"; write reactants = products."},
    {"H2 + + O2 = H2O",
     "error: The left side of the equation has an empty species; write species separated by "
     "\"+\"."},
    {"SO42- + H+ = HSO4-",
     "error: SO42-: write the charge after a caret, for example SO4^2- or Fe^3+ (a digit before a "
     "bare sign could be a count or the charge)."},
    {"H2 + Xy = H2Xy", "error: \"Xy\" is not an element symbol."},
    {"H2 + 2*O2 = H2O", "error: 2*O2 is not a molecular formula"},
};

TEST_F(BalanceTest, EquationsThatCannotBeBalancedSayWhy) {
  for (const Row& row : kRefused) {
    EXPECT_EQ(Balance(row.equation), row.balanced) << row.equation;
  }
}

const Row kAmounts[] = {
    {"4 g H2 + 16 g O2 = H2O",
     "2 H2 + O2 = 2 H2O\n"
     "limiting reagent: O2 (0.5000 mol of the reaction as written)\n"
     "left over: H2 0.9841 mol = 1.984 g\n"
     "theoretical yield: H2O 1.000 mol = 18.02 g"},
    {"10 g Al + 20 g Fe2O3 = Al2O3 + Fe",
     "2 Al + Fe2O3 = Al2O3 + 2 Fe\n"
     "limiting reagent: Fe2O3 (0.1252 mol of the reaction as written)\n"
     "left over: Al 0.1201 mol = 3.241 g\n"
     "theoretical yield: Al2O3 0.1252 mol = 12.77 g; Fe 0.2505 mol = 13.99 g"},
    {"4 g H2 + 16 g O2 = 15.2 g H2O",
     "2 H2 + O2 = 2 H2O\n"
     "limiting reagent: O2 (0.5000 mol of the reaction as written)\n"
     "left over: H2 0.9841 mol = 1.984 g\n"
     "theoretical yield: H2O 1.000 mol = 18.02 g\n"
     "percent yield of H2O: 84.37 %"},
    {"0.5 mol H2 + 1 mol O2 = H2O",
     "2 H2 + O2 = 2 H2O\n"
     "limiting reagent: H2 (0.2500 mol of the reaction as written)\n"
     "left over: O2 0.7500 mol = 24.00 g\n"
     "theoretical yield: H2O 0.5000 mol = 9.008 g"},
    {"KMnO4 + HCl = KCl + MnCl2 + H2O + 5 g Cl2",
     "2 KMnO4 + 16 HCl = 2 KCl + 2 MnCl2 + 8 H2O + 5 Cl2\n"
     "needed: KMnO4 0.02821 mol = 4.458 g; HCl 0.2257 mol = 8.227 g\n"
     "also formed: KCl 0.02821 mol = 2.103 g; MnCl2 0.02821 mol = 3.550 g; "
     "H2O 0.1128 mol = 2.033 g"},
};

TEST_F(BalanceTest, LimitingReagentAndYieldsFromGivenAmounts) {
  for (const Row& row : kAmounts) {
    EXPECT_EQ(Balance(row.equation), row.balanced) << row.equation;
  }
}

// Species given as atom counts, as the balancer receives them: isotopes count as atoms of
// their own, fractional counts stay exact.
TEST(BalanceReactionTest, WorksOnAtomCounts) {
  auto species = [](const char* text, bool product,
                    std::vector<std::pair<std::string, Rational>> atoms, Rational charge = 0) {
    return ReactionSpecies{text, product, std::move(atoms), charge};
  };
  const std::vector<ReactionSpecies> labelled = {
      species("^13CH4", false, {{"^13C", 1}, {"H", 4}}),
      species("O2", false, {{"O", 2}}),
      species("^13CO2", true, {{"^13C", 1}, {"O", 2}}),
      species("H2O", true, {{"H", 2}, {"O", 1}}),
  };
  BalanceResult r = BalanceReaction(labelled);
  EXPECT_EQ(r.Outcome, BalanceOutcome::Balanced);
  EXPECT_EQ(ReactionText(labelled, r.Coefficients), "^13CH4 + 2 O2 = ^13CO2 + 2 H2O");

  const std::vector<ReactionSpecies> wustite = {
      species("Fe0.95O", false, {{"Fe", Rational(19, 20)}, {"O", 1}}),
      species("O2", false, {{"O", 2}}),
      species("Fe2O3", true, {{"Fe", 2}, {"O", 3}}),
  };
  r = BalanceReaction(wustite);
  EXPECT_EQ(ReactionText(wustite, r.Coefficients), "80 Fe0.95O + 17 O2 = 38 Fe2O3");

  // Counts so large that exact 64-bit fractions overflow are refused, not rounded.
  const std::int64_t huge = std::numeric_limits<std::int64_t>::max() / 3;
  const std::vector<ReactionSpecies> overflow = {
      species("A", false, {{"X", huge}, {"Y", 3}}),
      species("B", true, {{"X", 7}, {"Y", huge - 1}}),
      species("C", true, {{"X", huge - 2}, {"Y", 11}}),
  };
  r = BalanceReaction(overflow);
  EXPECT_EQ(r.Outcome, BalanceOutcome::Impossible);
  EXPECT_EQ(r.Message,
            "The equation cannot be balanced exactly: its numbers outgrow 64-bit fractions.");
}

TEST(RationalTest, ExactArithmeticAndDecimals) {
  EXPECT_EQ((Rational(1, 3) + Rational(1, 6)).Text(), "1/2");
  EXPECT_EQ((Rational(2, 4) * Rational(-4, 3)).Text(), "-2/3");
  EXPECT_EQ((Rational(1) / Rational(-7)).Text(), "-1/7");
  EXPECT_THROW(Rational(1) / Rational(0), RunFailure);
  EXPECT_THROW(Rational(std::numeric_limits<std::int64_t>::max()) + Rational(1), RunFailure);
  struct DecimalRow {
    double value;
    const char* text;  // "" when no short decimal
  };
  const DecimalRow rows[] = {{0.95, "19/20"}, {0.1, "1/10"}, {2, "2"}, {1.5, "3/2"}, {1e-30, ""}};
  for (const DecimalRow& row : rows) {
    Rational r;
    const bool ok = ShortDecimalRational(row.value, r);
    EXPECT_EQ(ok ? r.Text() : std::string(), row.text) << row.value;
  }
}

}  // namespace
}  // namespace ostravel::testing
