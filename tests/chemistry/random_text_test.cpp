// Random texts over the characters that matter to the chemistry: every one must end in a
// result or a clean failure (run under the sanitizers, this finds unsafe accesses).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "chemistry/chemistry_fixture.h"
#include "chemistry/formula_parser.h"
#include "chemistry/term_expansion.h"
#include "runtime/failure.h"

namespace ostravel::testing {
namespace {

using RandomTextTest = ChemistryTest;

std::string RandomText(std::mt19937& random, std::string_view pieces) {
  std::uniform_int_distribution<int> length(0, 40);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  std::string text;
  for (int i = length(random); i > 0; --i)
    text += pieces[pick(random)];
  return text;
}

TEST_F(RandomTextTest, FormulasEndInAMassOrACleanFailure) {
  SetRadicals({{"Me", "CH3"}, {"Rr", "RrH"}, {"Uq", ")Uq"}, {"Vq", "H+O(.)H2"}, {"Wq", "(("}},
              {{"Bz", "C6H5CO"}, {"Yq", "Yq"}});
  std::mt19937 random(20240531);
  const std::string pieces = std::string("CHONaClSuMeRrUqVqWqBzYqxeEM0123456789.+() ,*<>%") +
                             std::string("\x01\x97\x98\x99\xe9", 5) + std::string(1, '\0');
  int masses = 0;
  int failures = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string text = RandomText(random, pieces);
    try {
      double mass = Mass(text);
      EXPECT_GE(mass, 0) << text;
      ++masses;
    } catch (const RunFailure&) {
      ++failures;
    }
    EXPECT_FALSE(s.formula.ElementFilterOn);
  }
  EXPECT_GT(masses, 0);
  EXPECT_GT(failures, 0);
}

TEST_F(RandomTextTest, CalculationsEndInAKindOrACleanFailure) {
  std::mt19937 random(7);
  const std::string pieces =
      std::string("CHONaMWwtmol%<>RGLUSELF(),+*-/=x0123.") + std::string("\x97\x1f", 2);
  ui.messages.clear();
  for (int i = 0; i < 5000; ++i) {
    std::string text = RandomText(random, pieces);
    try {
      Expand(text);
      EXPECT_NE(s.calc.CalcKind, CalcKind::None) << text;
    } catch (const RunFailure&) {
    }
    EXPECT_FALSE(s.formula.CountAtoms) << text;
    EXPECT_FALSE(s.formula.ElementFilterOn) << text;
    EXPECT_EQ(s.db.IniFile, s.db.MainIniFile) << text;
  }
}

}  // namespace
}  // namespace ostravel::testing
