// The formula encoder and the evaluation of coded formulas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chemistry/chemistry_fixture.h"
#include "chemistry/formula_parser.h"
#include "runtime/failure.h"
#include "support/failure_of.h"

namespace ostravel::testing {
namespace {

using FormulaParserTest = ChemistryTest;

std::vector<int> Codes(const std::string& coded) {
  std::vector<int> codes;
  for (char c : coded)
    codes.push_back(static_cast<unsigned char>(c));
  return codes;
}

TEST_F(FormulaParserTest, CalciumHydroxideIsCodedAsInTheWorkedExample) {
  s.calc.CalcKind = CalcKind::Form;
  std::string formula = "Ca(OH)2";
  double multiplier = 1;
  double next = 7;
  std::string rest = EncodeFormula(s, formula, multiplier, next);
  // (Ca(OH)2)1: Ca, O and H take slots 2 to 4, the 2 slot 5 and the final 1 slot 6.
  EXPECT_EQ(Codes(formula),
            (std::vector<int>{151, 153, 20, 1, 151, 153, 8, 1, 153, 1, 1, 152, 5, 152, 6}));
  EXPECT_EQ(s.formula.CountTexts[5], "2");
  EXPECT_EQ(s.formula.CountTexts[6], "1");
  EXPECT_EQ(rest, "");
  EXPECT_EQ(multiplier, 1);
  EXPECT_EQ(next, 1);
  EXPECT_DOUBLE_EQ(CodedFormulaValue(s, formula), 40.078 + 2 * (15.999 + 1.008));
  EXPECT_NEAR(Mass("Ca(OH)2"), 74.092, 1e-12);
}

TEST_F(FormulaParserTest, CopperSulfatePentahydrateSplitsAtTheHydrateMark) {
  s.calc.CalcKind = CalcKind::Form;
  s.formula.SingleDot = true;
  s.formula.HasHydrateMark = true;
  std::string formula = "CuSO4(.)5H2O";
  double multiplier = 1;
  double next = 1;
  std::string rest = EncodeFormula(s, formula, multiplier, next);
  EXPECT_EQ(rest, "5H2O");
  std::vector<int> codes = Codes(formula);
  ASSERT_GE(codes.size(), 2u);
  EXPECT_EQ(codes[codes.size() - 2], 152);  // closed by the hydrate mark
  EXPECT_EQ(codes.back(), 1);
  EXPECT_NEAR(CodedFormulaValue(s, formula), Sum({{"Cu", 1}, {"S", 1}, {"O", 4}}), 1e-12);

  std::string second = rest;
  multiplier = 1;
  EXPECT_EQ(EncodeFormula(s, second, multiplier, next), "");
  EXPECT_EQ(multiplier, 5);
  EXPECT_NEAR(CodedFormulaValue(s, second), 18.015, 1e-12);

  EXPECT_NEAR(Mass("CuSO4(.)5H2O"), Sum({{"Cu", 1}, {"S", 1}, {"O", 4}}) + 5 * 18.015, 1e-9);
}

TEST_F(FormulaParserTest, MassesOfFormulasOfEveryShape) {
  struct Row {
    const char* name;
    const char* formula;
    AtomCounts atoms;
  } rows[] = {
      {"parentheses with a count", "Ca(OH)2", {{"Ca", 1}, {"O", 2}, {"H", 2}}},
      {"nested parentheses", "K4(Fe(CN)6)", {{"K", 4}, {"Fe", 1}, {"C", 6}, {"N", 6}}},
      {"parentheses without a count", "(CH3)COOH", {{"C", 2}, {"H", 4}, {"O", 2}}},
      {"mixture", "NaCl+H2O", {{"Na", 1}, {"Cl", 1}, {"H", 2}, {"O", 1}}},
      {"mixture with multipliers", "2H2+O2", {{"H", 4}, {"O", 2}}},
      {"hydrate mark", "CuSO4(.)5H2O", {{"Cu", 1}, {"S", 1}, {"O", 9}, {"H", 10}}},
      {"hydrate period", "CuSO4.5H2O", {{"Cu", 1}, {"S", 1}, {"O", 9}, {"H", 10}}},
      {"hydrate period after a symbol", "NaCl.H2O", {{"Na", 1}, {"Cl", 1}, {"H", 2}, {"O", 1}}},
      {"leading multiplier", "2CuSO4", {{"Cu", 2}, {"S", 2}, {"O", 8}}},
      {"decimal count beginning with 0", "C0.5H2", {{"C", 0.5}, {"H", 2}}},
      {"single period after 1 is a hydrate mark", "C1.5H3", {{"C", 1}, {"H", 15}}},
      {"two periods are decimal points", "C1.5H3.0", {{"C", 1.5}, {"H", 3}}},
      {"leading decimal point", ".5H2O", {{"H", 1}, {"O", 0.5}}},
      {"fractional hydrate with (.)",
       "CaSO4(.)0.5H2O",
       {{"Ca", 1}, {"S", 1}, {"O", 4.5}, {"H", 1}}},
      {"hydrate and mixture",
       "CuSO4.5H2O+2NaCl",
       {{"Cu", 1}, {"S", 1}, {"O", 9}, {"H", 10}, {"Na", 2}, {"Cl", 2}}},
      {"blanks are ignored", " Na  Cl ", {{"Na", 1}, {"Cl", 1}}},
      {"a long count", "C100H202", {{"C", 100}, {"H", 202}}},
      {"empty formula", "", {}},
      {"leading 0 multiplies by 0", "0H2O", {}},
  };
  for (const Row& row : rows) {
    EXPECT_NEAR(Mass(row.formula), Sum(row.atoms), 1e-9) << row.name;
    EXPECT_EQ(s.calc.CalcKind, CalcKind::Form) << row.name;
  }
}

TEST_F(FormulaParserTest, TextsThatAreNoFormulaAreArithmetic) {
  for (const char* text : {"H2O*2", "NaCl,H2O", "2+3*H", "H2O/2", "<R>", "(H2O)^2", "H2O-1"}) {
    EXPECT_EQ(Mass(text), 0) << text;
    EXPECT_EQ(s.calc.CalcKind, CalcKind::Calc) << text;
  }
  // The components finished before stay in the total.
  EXPECT_NEAR(Mass("H2O+CO*2"), Sum({{"H", 2}, {"O", 1}}), 1e-12);
  EXPECT_EQ(s.calc.CalcKind, CalcKind::Calc);
  // Once Calc, nothing more is computed.
  EXPECT_EQ(FormulaMass(s, "H2O"), 0);
}

TEST_F(FormulaParserTest, FiltersAndAtomCounts) {
  FormulaState& f = s.formula;
  f.ElementFilterOn = true;
  f.ElementFilter = 8;
  EXPECT_NEAR(Mass("CuSO4.5H2O"), 9 * W("O"), 1e-9);
  f.CountAtoms = true;
  EXPECT_EQ(Mass("CuSO4.5H2O"), 9);
  f.ElementFilterOn = false;
  EXPECT_EQ(Mass("CuSO4.5H2O"), 21);
  EXPECT_EQ(Mass("Ca(OH)2+2CO2"), 11);
  f.CountAtoms = false;
}

TEST_F(FormulaParserTest, AnElementWithoutWeightFailsUnlessFilteredOut) {
  SetElements({{"H", 1.008}, {"Xy", 0}, {"O", 15.999}});
  EXPECT_EQ(FailureOf([&] { Mass("H2Xy"); }), FailureKind::Calculation);
  EXPECT_EQ(s.engine.EvalError, "No mass for atomic number 2 found");
  s.formula.ElementFilterOn = true;
  s.formula.ElementFilter = 1;
  EXPECT_DOUBLE_EQ(Mass("H2Xy"), 2 * 1.008);
  s.formula.ElementFilterOn = false;
}

TEST_F(FormulaParserTest, InsertUnitCountFollowsAnElement) {
  struct Row {
    std::string coded;
    std::string expected;
  } rows[] = {
      {{kOpenMark, kElementMark, '\x08'}, {kOpenMark, kElementMark, '\x08', '\x01'}},
      {{kOpenMark, kElementMark}, {kOpenMark, kElementMark}},
      {{kElementMark, '\x01', '\x05'}, {kElementMark, '\x01', '\x05'}},
      {"", ""},
  };
  for (Row& row : rows) {
    InsertUnitCount(row.coded);
    EXPECT_EQ(row.coded, row.expected);
  }
}

TEST_F(FormulaParserTest, CodedValuesOutsideTheTablesFailCleanly) {
  s.formula.CountTexts[1] = "1";
  struct Row {
    const char* name;
    std::string coded;
    bool fails;
  } rows[] = {
      {"atomic number above 150", {kOpenMark, kElementMark, static_cast<char>(200), '\x01'}, true},
      {"element mark at the end", {kOpenMark, kElementMark}, true},
      {"more open levels than the stack holds", std::string(kMaxFormulaLevel, kOpenMark), true},
      {"as many open levels as it holds", std::string(kMaxFormulaLevel - 2, kOpenMark), false},
      {"long count code at the end", {kOpenMark, kLongCountMark, '\x01'}, true},
      {"long count code of an unused slot", {kOpenMark, kLongCountMark, '\x7f', '\x7f'}, true},
      {"codes without meaning", {kOpenMark, static_cast<char>(200), static_cast<char>(255)}, false},
      {"more closing than opening counts", std::string(20, '\x01'), false},
  };
  for (const Row& row : rows) {
    const auto expected = row.fails ? std::optional(FailureKind::IndexOutOfRange) : std::nullopt;
    EXPECT_EQ(FailureOf([&] { CodedFormulaValue(s, row.coded); }), expected) << row.name;
  }
}

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i)
    text += piece;
  return text;
}

std::string Nested(int depth, const std::string& core) {
  return std::string(depth, '(') + core + std::string(depth, ')');
}

TEST_F(FormulaParserTest, HostileFormulasEndCleanly) {
  enum Outcome { kMass, kArithmetic, kIndex, kOverflow, kRefused };
  struct Row {
    const char* name;
    std::string formula;
    Outcome outcome;
    AtomCounts atoms;
  } rows[] = {
      {"100 nested parentheses", Nested(100, "H"), kMass, {{"H", 1}}},
      {"1000 nested parentheses", Nested(1000, "H"), kMass, {{"H", 1}}},
      {"1000 nested after a leading number", "2" + Nested(1000, "H"), kMass, {{"H", 2}}},
      {"1001 nested parentheses", Nested(1001, "H"), kRefused, {}},
      {"100000 opening parentheses", std::string(100000, '('), kRefused, {}},
      {"149 symbols", std::string(149, 'H'), kMass, {{"H", 149}}},
      {"16000 symbols", std::string(16000, 'H'), kMass, {{"H", 16000}}},
      {"20000 symbols", std::string(20000, 'H'), kRefused, {}},
      {"200 distinct counts",
       [] {
         std::string text;
         for (int i = 1; i <= 200; ++i)
           text += "H" + std::to_string(i);
         return text;
       }(),
       kMass,
       {{"H", 200 * 201 / 2}}},
      {"empty parentheses", "Ca()", kRefused, {}},
      {"200000 empty parentheses", Repeat("()", 200000), kRefused, {}},
      {"a million lower-case letters", "He" + std::string(1000000, 'e'), kRefused, {}},
      {"a million blanks", "H" + std::string(1000000, ' ') + "O", kMass, {{"H", 1}, {"O", 1}}},
      {"a count of a million digits", "H" + std::string(1000000, '9'), kOverflow, {}},
      {"10000 components", Repeat("H2O+", 9999) + "H2O", kMass, {{"H", 20000}, {"O", 10000}}},
      {"marker code typed", "H2\x97O", kArithmetic, {}},
      {"element mark typed", "\x99\x08", kArithmetic, {}},
      {"close mark typed", "(H)\x98", kArithmetic, {}},
      {"latin-1 letter", "Na\xe9", kArithmetic, {}},
      {"NUL inside", std::string("H\0O", 3), kArithmetic, {}},
      {"hydrate mark code typed", "P\x01H2O", kArithmetic, {}},
      {"unbalanced closing", "H))))", kMass, {{"H", 1}}},
  };
  for (const Row& row : rows) {
    s.engine.EvalError.clear();
    try {
      double mass = Mass(row.formula);
      if (row.outcome == kMass) {
        EXPECT_NEAR(mass, Sum(row.atoms), 1e-12 * Sum(row.atoms) + 1e-12) << row.name;
        EXPECT_EQ(s.calc.CalcKind, CalcKind::Form) << row.name;
      } else if (row.outcome == kArithmetic) {
        EXPECT_EQ(s.calc.CalcKind, CalcKind::Calc) << row.name;
      } else {
        ADD_FAILURE() << row.name << " did not fail";
      }
    } catch (const RunFailure& failure) {
      FailureKind expected = row.outcome == kOverflow  ? FailureKind::Overflow
                             : row.outcome == kRefused ? FailureKind::Calculation
                                                       : FailureKind::IndexOutOfRange;
      EXPECT_TRUE(row.outcome == kIndex || row.outcome == kOverflow || row.outcome == kRefused)
          << row.name;
      EXPECT_EQ(failure.kind(), expected) << row.name;
      // A refusal says why in words, and names its limit when one is reached.
      if (row.outcome == kRefused) {
        EXPECT_FALSE(s.engine.EvalError.empty()) << row.name;
      }
    }
  }
}

}  // namespace
}  // namespace ostravel::testing
