// Chemistry through the calculation driver on the delivered database: entry line in, memory
// lines and messages out.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "calc/calculation_driver.h"
#include "chemistry/chemistry_fixture.h"
#include "memory/memories.h"

namespace ostravel::testing {
namespace {

struct Line {
  std::string name;
  double value;
};

class CalculationPathTest : public ChemistryTest {
 protected:
  CalculationPathTest() {
    UseDeliveredDatabase();
    s.flags.Unattended = true;
  }

  // Runs an entry line and returns the memory lines it made.
  std::vector<Line> Run(const std::string& line) {
    const int before = s.memory.MemoryCount;
    ui.messages.clear();
    s.window.entryline.Text = line;
    DoCalculations(s);
    std::vector<Line> made;
    for (int n = before + 1; n <= s.memory.MemoryCount; ++n) {
      made.push_back({s.memory.MemNames[n], s.memory.MemValues[n]});
    }
    return made;
  }
};

TEST_F(CalculationPathTest, ChemistryTermsBecomeMemoryLines) {
  const double r = 8.31446261815324;  // the delivered gas constant
  struct Row {
    std::string line;
    std::vector<Line> lines;
  } rows[] = {
      {"CuSO4.5H2O", {{"MW(CuSO4.5H2O)", 249.68}}},
      {"MW(CuSO4.5H2O)", {{"MW(CuSO4.5H2O)", 249.68}}},
      {"2*MW(CuSO4.5H2O)", {{"MW(CuSO4.5H2O)", 249.68}, {"2*MW(CuSO4.5H2O)", 499.37}}},
      {"<R>*298.15/101325", {{"<R>", r}, {"<R>*298.15/101325", r * 298.15 / 101325}}},
      {"wt%(Cu,CuSO4)", {{"wt%(Cu,CuSO4)", 39.816}}},
      {"mol%(C,CO2)", {{"mol%(C,CO2)", 100.0 / 3}}},
      {"wt%(NaCl)", {{"wt%(Na,NaCl)", 39.34}, {"wt%(Cl,NaCl)", 60.66}}},
      {"MeOH", {{"MW(MeOH)", 32.042}}},
      {"AcOH", {{"MW(AcOH)", 60.052}}},
      {"Ca(OH)2 + 2 HCl", {{"MW(Ca(OH)2 + 2 HCl)", 147.01}}},
      {"2E5", {{"2E5", 2e5}}},
      {"MW(H2O)/MW(D2O)",
       {{"MW(H2O)", 18.015}, {"MW(D2O)", 20.0272}, {"MW(H2O)/MW(D2O)", 18.015 / 20.0272}}},
      // Superscripts typed in UTF-8 or Latin-1: isotope labels, charges and powers.
      {"\xc2\xb9\xc2\xb3"
       "CO\xe2\x82\x82",
       {{"MW(^13CO2)", 45.00135}}},
      {"\xb9\xb3"
       "CO2",
       {{"MW(^13CO2)", 45.00135}}},
      {"SO\xe2\x82\x84\xc2\xb2\xe2\x81\xbb", {{"MW(SO4^2-)", 96.0571}}},
      {"EM(Fe\xc2\xb3\xe2\x81\xba)", {{"EM(Fe^3+)", 55.93329}}},
      {"MZ(SO4^2-)/2", {{"MZ(SO4^2-)", 47.97641}, {"MZ(SO4^2-)/2", 23.98821}}},
      {"3\xc2\xb2", {{"3^2", 9}}},
      {std::string(60, '(') + "H" + std::string(60, ')'),
       {{"MW(" + std::string(60, '(') + "H" + std::string(60, ')') + ")", 1.008}}},
  };
  for (const Row& row : rows) {
    ResetMemories(s);
    std::vector<Line> made = Run(row.line);
    ASSERT_EQ(made.size(), row.lines.size()) << row.line;
    for (std::size_t i = 0; i < made.size(); ++i) {
      EXPECT_EQ(made[i].name, row.lines[i].name) << row.line;
      EXPECT_NEAR(made[i].value, row.lines[i].value, std::abs(row.lines[i].value) * 1e-4)
          << row.line;
    }
  }
}

TEST_F(CalculationPathTest, FaultsAreReported) {
  struct Row {
    std::string line;
    std::string message;
  } rows[] = {
      {"co",
       "\"co\" is not an element symbol: to avoid any ambiguity, correct capitalization for "
       "elements is required."},
      {"Q2", "\"Q\" in Q2 is not an element symbol."},
      {"MZ(D2O)",
       "D2O has no charge, so it has no m/z; write the charge at its end, for example D2O^+ or "
       "D2O^2-."},
      {"2*SO4^2-", "2*SO4^2-: a formula inside a calculation is written MW(SO4^2-)"},
      {"2*D2O", "2*D2O: a formula inside a calculation is written MW(D2O)"},
      {"<nonsense>*2", "constant <NONSENSE> not found"},
      {"MW(2+3)", "2+3 is not a molecular formula"},
      {std::string(1001, '(') + "H" + std::string(1001, ')'),
       std::string(57, '(') + "... nests parentheses more than 1000 deep"},
  };
  for (const Row& row : rows) {
    ResetMemories(s);
    std::vector<Line> made = Run(row.line);
    EXPECT_TRUE(made.empty()) << row.line;
    ASSERT_FALSE(ui.messages.empty()) << row.line;
    EXPECT_EQ(ui.messages.back().text, row.message) << row.line;
  }
}

}  // namespace
}  // namespace ostravel::testing

namespace ostravel::testing {
namespace {

// A calculation written by the generator below, with what an independent reading makes of
// it: its value, or that it must be refused.
struct Generated {
  std::string text;
  double value = 0;
  bool refused = false;
  bool formula = false;  // a formula alone
  bool mixture = false;  // formulas joined by "+": a formula itself, the mass of a mixture
};

class GeneratedLinesTest : public CalculationPathTest {
 protected:
  // A leaf: a number in one of its spellings, a molar mass, a function, or a text that no
  // careful calculator may read as a number.
  Generated Leaf(std::mt19937& random) {
    const double h2o = Sum({{"H", 2}, {"O", 1}});
    const double nacl = Sum({{"Na", 1}, {"Cl", 1}});
    const double hydrate = Sum({{"Cu", 1}, {"S", 1}, {"O", 4}}) + 5 * h2o;
    const std::vector<Generated> leaves = {
        {"7", 7},
        {"2.5", 2.5},
        {".5", 0.5},
        {"4 x 2", 8},
        {"M99", 0, true},  // no such memory line
        {"1.5E2", 150},
        {"4e-1", 0.4},
        {"1.5 x 10^2", 150},
        {"2x3", 6},
        {"2 X 3", 6},
        {"(1+2) x 3", 9},
        {"6.022x10^23", 6.022e23},
        {"2X3", 0, true},
        {"MW(H2O)", h2o},
        {"mw(NaCl)", nacl},
        {"MW(CuSO4\xc2\xb7"
         "5H2O)",
         hydrate},
        {"LOG(100)", 2},
        {"Sqrt(16)", 4},
        {"2\xc3\x97"
         "3",
         6},
        {"H\xe2\x82\x82O", 0, true, true},  // a formula inside arithmetic
        {"H2O", 0, true, true},
        {"NaCl", 0, true, true},
        {"Zn", 0, true, true},
        {"Hello", 0, true},
        {"L3", 0, true},
        {"3E", 0, true},
        {"1.2.3", 0, true},
        {"2,5", 0, true},
        {"()", 0, true},
        {"5\xc2\xb5L", 0, true},
        {"\xe9", 0, true},
    };
    return leaves[std::uniform_int_distribution<std::size_t>(0, leaves.size() - 1)(random)];
  }

  Generated Expression(std::mt19937& random, int depth) {
    if (depth == 0 || std::uniform_int_distribution<int>(0, 2)(random) == 0) return Leaf(random);
    Generated a = Expression(random, depth - 1);
    Generated b = Expression(random, depth - 1);
    const char op = "+-*/"[std::uniform_int_distribution<int>(0, 3)(random)];
    Generated g;
    g.text = "(" + a.text + ")" + op + "(" + b.text + ")";
    g.mixture = op == '+' && a.formula && b.formula;
    // A division by 0 is refused too ("divide error").
    g.refused = a.refused || b.refused || (op == '/' && b.value == 0);
    g.value = op == '+'   ? a.value + b.value
              : op == '-' ? a.value - b.value
              : op == '*' ? a.value * b.value
                          : a.value / b.value;
    return g;
  }
};

TEST_F(GeneratedLinesTest, EveryLineGivesTheIndependentValueOrIsRefused) {
  std::mt19937 random(12);
  int values = 0;
  int refusals = 0;
  for (int i = 0; i < 1500; ++i) {
    // At least one operator: a formula alone (H2O) or a mixture of two ((Zn)+(H2O)) is a
    // formula, not arithmetic.
    Generated g = Expression(random, 3);
    while (g.text.find(")") == std::string::npos || g.text.front() != '(' || g.mixture) {
      g = Expression(random, 3);
    }
    ResetMemories(s);
    ui.messages.clear();
    std::vector<Line> made = Run(g.text);
    if (g.refused) {
      ++refusals;
      EXPECT_GT(s.calc.RunErrors, 0) << g.text;
      EXPECT_FALSE(ui.messages.empty()) << g.text;
      for (const Line& line : made)
        EXPECT_NE(line.name, g.text) << g.text;  // no result for the line itself
    } else {
      ++values;
      EXPECT_EQ(s.calc.RunErrors, 0) << g.text << ": " << s.engine.EvalError;
      ASSERT_FALSE(made.empty()) << g.text;
      EXPECT_NEAR(made.back().value, g.value, 1e-9 * std::abs(g.value) + 1e-12) << g.text;
    }
  }
  EXPECT_GT(values, 50);
  EXPECT_GT(refusals, 50);
}

TEST_F(GeneratedLinesTest, EveryFormulaGivesTheIndependentMass) {
  // Formulas of symbols, counts, groups, hydrate marks and mixtures, weighed by hand.
  const std::vector<std::string> symbols = {"H", "C", "N", "O", "Na", "Cl", "Fe", "Cu", "S", "K"};
  std::mt19937 random(34);
  auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (int i = 0; i < 400; ++i) {
    std::string text;
    double mass = 0;
    // A group: symbols with counts, sometimes nested in parentheses with a count.
    auto group = [&](auto& self, int depth) -> std::pair<std::string, double> {
      std::string written;
      double weight = 0;
      for (int k = pick(1, 3); k > 0; --k) {
        if (depth > 0 && pick(0, 3) == 0) {
          auto [inner, innerWeight] = self(self, depth - 1);
          const int count = pick(1, 4);
          written += "(" + inner + ")" + (count > 1 ? std::to_string(count) : "");
          weight += count * innerWeight;
        } else {
          const std::string& symbol = symbols[static_cast<std::size_t>(pick(0, 9))];
          const int count = pick(1, 12);
          written += symbol + (count > 1 ? std::to_string(count) : "");
          weight += count * W(symbol);
        }
      }
      return {written, weight};
    };
    auto [first, firstMass] = group(group, 3);
    text = first;
    mass = firstMass;
    switch (pick(0, 3)) {
      case 0:  // hydrate with a whole count, written with a period or a middle dot
        text += pick(0, 1) ? ".6H2O"
                           : "\xc2\xb7"
                             "6H2O";
        mass += 6 * Sum({{"H", 2}, {"O", 1}});
        break;
      case 1:  // hydrate with a decimal count
        text += ".0.5H2O";
        mass += 0.5 * Sum({{"H", 2}, {"O", 1}});
        break;
      case 2:  // mixture with a multiplier
        text += "+2NaCl";
        mass += 2 * Sum({{"Na", 1}, {"Cl", 1}});
        break;
      default:
        break;
    }
    ResetMemories(s);
    std::vector<Line> made = Run(text);
    ASSERT_EQ(made.size(), 1u) << text << ": " << s.engine.EvalError;
    // The middle dot is written as the hydrate mark (.) in the entry line and the name.
    std::string name = "MW(" + text + ")";
    if (std::size_t dot = name.find("\xc2\xb7"); dot != std::string::npos)
      name.replace(dot, 2, "(.)");
    EXPECT_EQ(made[0].name, name) << text;
    EXPECT_NEAR(made[0].value, mass, 1e-9 * mass) << text;
  }
}

}  // namespace
}  // namespace ostravel::testing
