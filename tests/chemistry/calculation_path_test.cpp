// Chemistry through the calculation driver on the delivered database: entry line in, memory
// lines and messages out.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calc/calculation_driver.h"
#include "chemistry_fixture.h"

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
      {"MW(H2O)/MW(D2O)", {{"MW(H2O)", 18.015}}},  // D is no element: the line stops there
      {std::string(60, '(') + "H" + std::string(60, ')'),
       {{"MW(" + std::string(60, '(') + "H" + std::string(60, ')') + ")", 1.008}}},
  };
  for (const Row& row : rows) {
    s.memory = MemoryState();
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
      {"MW(D2O)", "\"D\" in D2O is not an element symbol."},
      {"<nonsense>*2", "constant <NONSENSE> not found"},
      {"MW(2+3)", "2+3 is not a molecular formula"},
      {std::string(1001, '(') + "H" + std::string(1001, ')'),
       std::string(57, '(') + "... nests parentheses more than 1000 deep"},
  };
  for (const Row& row : rows) {
    s.memory = MemoryState();
    std::vector<Line> made = Run(row.line);
    EXPECT_TRUE(made.empty()) << row.line;
    ASSERT_FALSE(ui.messages.empty()) << row.line;
    EXPECT_EQ(ui.messages.back().text, row.message) << row.line;
  }
}

}  // namespace
}  // namespace ostravel::testing
