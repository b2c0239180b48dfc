// How a formula is read: the rows of --explain and of the molar-mass tooltip.
#include "chemistry/formula_explain.h"

#include <gtest/gtest.h>

#include <numeric>

#include "chemistry/chemistry_fixture.h"
#include "runtime/failure.h"

namespace ostravel::testing {
namespace {

class FormulaExplainTest : public ChemistryTest {
 protected:
  FormulaExplainTest() { UseDeliveredDatabase(); }
};

struct Row {
  const char* formula;
  AtomCounts elements;  // in the order the formula first names them
  std::vector<std::pair<std::string, double>> components;  // text and multiplier; none: one
};

TEST_F(FormulaExplainTest, ElementsAndComponentsAsRead) {
  const Row rows[] = {
      {"H2O", {{"H", 2}, {"O", 1}}, {}},
      {"MW(H2O)", {{"H", 2}, {"O", 1}}, {}},
      {"2H2O", {{"H", 4}, {"O", 2}}, {}},
      {"Ca(OH)2", {{"Ca", 1}, {"O", 2}, {"H", 2}}, {}},
      {"CuSO4.5H2O", {{"Cu", 1}, {"S", 1}, {"O", 9}, {"H", 10}}, {{"CuSO4", 1}, {"5H2O", 5}}},
      {"CuSO4(.)5H2O", {{"Cu", 1}, {"S", 1}, {"O", 9}, {"H", 10}}, {{"CuSO4", 1}, {"5H2O", 5}}},
      // The water of a complex salt follows its group.
      {"K4(Fe(CN)6).3H2O",
       {{"K", 4}, {"Fe", 1}, {"C", 6}, {"N", 6}, {"H", 6}, {"O", 3}},
       {{"K4(Fe(CN)6)", 1}, {"3H2O", 3}}},
      {"NaCl+H2O", {{"Na", 1}, {"Cl", 1}, {"H", 2}, {"O", 1}}, {{"NaCl", 1}, {"H2O", 1}}},
      {"2NaCl+3H2O", {{"Na", 2}, {"Cl", 2}, {"H", 6}, {"O", 3}}, {{"2NaCl", 2}, {"3H2O", 3}}},
      // Labelled atoms have rows of their own, after their element's natural ones.
      {"^13CO2", {{"^13C", 1}, {"O", 2}}, {}},
      {"CH3^13CH3", {{"C", 1}, {"^13C", 1}, {"H", 6}}, {}},
      {"CD3OD", {{"C", 1}, {"^2H", 4}, {"O", 1}}, {}},
      {"CHD2T", {{"C", 1}, {"H", 1}, {"^2H", 2}, {"^3H", 1}}, {}},
  };
  for (const Row& row : rows) {
    const FormulaReading reading = ExplainFormula(s, row.formula);
    AtomCounts elements;
    for (const ReadingRow& e : reading.Elements)
      elements.emplace_back(e.Label, e.Count);
    EXPECT_EQ(elements, row.elements) << row.formula;
    std::vector<std::pair<std::string, double>> components;
    for (const ReadingRow& c : reading.Components)
      components.emplace_back(c.Label, c.Count);
    EXPECT_EQ(components, row.components) << row.formula;
    // Every row is the parser's own reading: the parts add up to the molar mass it computes.
    EXPECT_DOUBLE_EQ(reading.MolarMass, Mass(reading.Formula)) << row.formula;
    for (const auto* readingRows : {&reading.Elements, &reading.Components}) {
      if (readingRows->empty()) continue;
      const double mass =
          std::accumulate(readingRows->begin(), readingRows->end(), 0.0,
                          [](double sum, const ReadingRow& r) { return sum + r.Mass; });
      const double percent =
          std::accumulate(readingRows->begin(), readingRows->end(), 0.0,
                          [](double sum, const ReadingRow& r) { return sum + r.Percent; });
      EXPECT_NEAR(mass, reading.MolarMass, 1e-9 * reading.MolarMass) << row.formula;
      EXPECT_NEAR(percent, 100, 1e-9) << row.formula;
    }
    for (const ReadingRow& e : reading.Elements) {
      if (e.Label[0] == '^') continue;  // an isotope's mass is not the element's weight
      EXPECT_DOUBLE_EQ(e.Mass, e.Count * W(e.Label)) << row.formula << " " << e.Label;
    }
  }
}

TEST_F(FormulaExplainTest, TextsThatAreNoFormulaFailAsTheMolarMassWould) {
  const struct {
    const char* text;
    const char* message;
  } rows[] = {
      {"2+3", "2+3 is not a molecular formula"},
      {"", "a molecular formula is missing"},
      {"nacl",
       "\"nacl\" is not an element symbol: to avoid any ambiguity, correct capitalization for "
       "elements is required."},
  };
  for (const auto& row : rows) {
    EXPECT_THROW(ExplainFormula(s, row.text), RunFailure) << row.text;
    EXPECT_EQ(s.engine.EvalError, row.message) << row.text;
    // The parser's switches are off again for the next calculation.
    EXPECT_FALSE(s.formula.CountAtoms);
    EXPECT_FALSE(s.formula.ElementFilterOn);
  }
}

TEST_F(FormulaExplainTest, TheTextIsATableWithTheMassesLast) {
  const std::string table =
      "NaCl+H2O\n"
      "  Element  Count    g/mol  Mass %\n"
      "  Na           1  22.9900   30.07\n"
      "  Cl           1  35.4500   46.37\n"
      "  H            2   2.0160    2.64\n"
      "  O            1  15.9990   20.93\n"
      "  Component    g/mol  Mass %\n"
      "  NaCl       58.4400   76.44\n"
      "  H2O        18.0150   23.56\n";
  FormulaReading reading = ExplainFormula(s, "NaCl+H2O");
  EXPECT_EQ(FormulaReadingText(reading),
            table +
                "molar mass: 76.455 \xB1 0.010 g/mol (uncertainty mostly from Cl 98 %, Na 1 %, O "
                "1 %)\n"
                "monoisotopic mass: 75.969187 u\n"
                "nominal mass: 76 u\n");
  // Without the mass report the table's own molar mass closes it.
  reading.Masses.clear();
  EXPECT_EQ(FormulaReadingText(reading), table + "Molar mass: 76.455 g/mol\n");
}

}  // namespace
}  // namespace ostravel::testing
