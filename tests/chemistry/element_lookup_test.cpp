// Element symbols, capitalisation and radical expansion.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "chemistry/chemistry_fixture.h"
#include "chemistry/element_lookup.h"
#include "chemistry/formula_parser.h"
#include "runtime/failure.h"
#include "support/failure_of.h"

namespace ostravel::testing {
namespace {

using ElementLookupTest = ChemistryTest;

TEST_F(ElementLookupTest, AtomicNumberIsTheOrdinalOfTheSlot) {
  struct Row {
    const char* slot;
    int z;
  } rows[] = {
      {"H ", 1}, {"He", 2}, {"C ", 6}, {"Co", 27}, {"Og", 118}, {"Xx", 0},  // not in the table
      {"CO", 0},  // a second capital is never part of a slot
      {"h ", 0},  // case-sensitive
  };
  for (const Row& row : rows)
    EXPECT_EQ(AtomicNumber(s, row.slot), row.z) << row.slot;
}

TEST_F(ElementLookupTest, ResolveSymbolCodesThePendingElement) {
  EncodingText text;
  text.coded = std::string{kOpenMark, 'C'};
  text.raw = "(CO)1";
  text.next = 2;  // at the O that follows the C
  s.formula.PendingSymbol = "C ";
  s.formula.CountTop = 1;
  EXPECT_EQ(ResolveSymbol(s, text), 6);
  EXPECT_EQ(text.coded, (std::string{kOpenMark, kElementMark, '\x06'}));
  EXPECT_EQ(text.next, 2u);
  EXPECT_EQ(s.formula.PendingSymbol, "  ");
  EXPECT_EQ(s.formula.FormulaElements, "C ");
  EXPECT_EQ(s.formula.CountTop, 2);  // every resolved symbol takes a slot

  // Nothing pending: nothing happens.
  EXPECT_EQ(ResolveSymbol(s, text), 0);
  EXPECT_EQ(s.formula.CountTop, 2);
}

TEST_F(ElementLookupTest, FormulaElementsListsEachSymbolOnce) {
  Mass("CH3COOH");
  EXPECT_EQ(s.formula.FormulaElements, "C H O ");
  Mass("NaCl+H2O");
  EXPECT_EQ(s.formula.FormulaElements, "NaClH O ");
}

TEST_F(ElementLookupTest, CapitalisationDecidesTheSymbols) {
  struct Row {
    const char* name;
    const char* formula;
    AtomCounts atoms;
  } rows[] = {
      {"Co is cobalt", "Co", {{"Co", 1}}},
      {"CO is carbon and oxygen", "CO", {{"C", 1}, {"O", 1}}},
      {"a blank ends a symbol", "Na Cl", {{"Na", 1}, {"Cl", 1}}},
      {"a contributed radical never overrides an element", "CoCl2", {{"Co", 1}, {"Cl", 2}}},
  };
  for (const Row& row : rows) {
    EXPECT_DOUBLE_EQ(Mass(row.formula), Sum(row.atoms)) << row.name;
    EXPECT_EQ(s.calc.CalcKind, CalcKind::Form) << row.name;
  }
}

TEST_F(ElementLookupTest, UnknownSymbolsAndCapitalisationFail) {
  const std::string kCapitals =
      " is not an element symbol: to avoid any ambiguity, correct capitalization for elements "
      "is required.";
  const std::string kLetters =
      " is not an element symbol: a symbol is one capital letter and at most one small letter.";
  struct Row {
    const char* formula;
    std::string message;
  } rows[] = {
      {"co", "\"co\"" + kCapitals},
      {"nacl", "\"nacl\"" + kCapitals},
      {"Q", "\"Q\" is not an element symbol."},
      {"Xx2", "\"Xx\" in Xx2 is not an element symbol."},
      {"Nq", "\"Nq\" is not an element symbol."},  // a radical without a value
      {"H2Jk", "\"Jk\" in H2Jk is not an element symbol."},
      // A third small letter never overwrites the second: no symbol is read from a word.
      {"Cuu", "\"Cuu\"" + kLetters},
      {"Sodium", "\"Sodium\"" + kLetters},
      {"Glucose", "\"Glucose\"" + kLetters},
      {"Hello", "\"Hello\"" + kLetters},
      {"Water", "\"Water\"" + kLetters},
      {"Nacl", "\"Nacl\"" + kLetters},
      {"Boc", "\"Boc\"" + kLetters},
      {"H2Oo", "\"Oo\" in H2Oo is not an element symbol."},
      {"NaClo", "\"Clo\" in NaClo" + kLetters},
      // Small letters after a radical are no part of it.
      {"Acetone", "\"etone\" in Acetone" + kCapitals},
      {"Methanol", "\"thanol\" in Methanol" + kCapitals},
      {"Buffer", "\"Buffer\"" + kLetters},
  };
  for (const Row& row : rows) {
    s.engine.EvalError.clear();
    EXPECT_EQ(FailureOf([&] { Mass(row.formula); }), FailureKind::Calculation) << row.formula;
    EXPECT_EQ(s.engine.EvalError, row.message) << row.formula;
  }
}

TEST_F(ElementLookupTest, ExponentAndMemoryLettersMarkArithmetic) {
  for (const char* text : {"2E5", "M3", "e", "m5", "2e3"}) {
    s.engine.EvalError.clear();
    EXPECT_EQ(Mass(text), 0) << text;
    EXPECT_EQ(s.calc.CalcKind, CalcKind::Calc) << text;
    EXPECT_EQ(s.engine.EvalError, "") << text;
  }
}

TEST_F(ElementLookupTest, RadicalsExpandIntoTheirFormulas) {
  struct Row {
    const char* name;
    const char* formula;
    AtomCounts atoms;
  } rows[] = {
      {"shortest match: Me, not MeO", "MeOH", {{"C", 1}, {"H", 4}, {"O", 1}}},
      {"constants radical before contributed", "EtOH", {{"C", 2}, {"H", 6}, {"O", 1}}},
      {"a constants radical wins over actinium", "AcOH", {{"C", 2}, {"H", 4}, {"O", 2}}},
      {"counts apply to the whole radical", "Me2O", {{"C", 2}, {"H", 6}, {"O", 1}}},
      {"radical in parentheses", "(Me)3N", {{"C", 3}, {"H", 9}, {"N", 1}}},
      {"the same radical again", "MeMeMe", {{"C", 3}, {"H", 9}}},
      {"a radical inside a radical", "BnOH", {{"C", 7}, {"H", 8}, {"O", 1}}},
      {"a lower-case first letter", "tBuOH", {{"C", 4}, {"H", 10}, {"O", 1}}},
      {"a contributed radical", "BzCl", {{"C", 7}, {"H", 5}, {"O", 1}, {"Cl", 1}}},
      {"contributed only, before a hydrate",
       "ZqCl2.2H2O",
       {{"C", 1}, {"H", 6}, {"Cl", 2}, {"O", 2}}},
      {"radicals in a mixture", "PhMe+Et2O", {{"C", 11}, {"H", 18}, {"O", 1}}},
  };
  for (const Row& row : rows) {
    EXPECT_NEAR(Mass(row.formula), Sum(row.atoms), 1e-9) << row.name;
    EXPECT_EQ(s.calc.CalcKind, CalcKind::Form) << row.name;
    EXPECT_EQ(s.db.IniFile, s.db.MainIniFile) << row.name;
  }
}

TEST_F(ElementLookupTest, WithoutExpandRadicalsElementsComeFirst) {
  s.flags.ExpandRadicals = false;
  EXPECT_DOUBLE_EQ(Mass("Ac"), W("Ac"));
  // Letters that are no element are still tried as radicals.
  EXPECT_NEAR(Mass("MeOH"), Sum({{"C", 1}, {"H", 4}, {"O", 1}}), 1e-9);
  s.flags.ExpandRadicals = true;
  EXPECT_NEAR(Mass("Ac"), Sum({{"C", 2}, {"H", 3}, {"O", 1}}), 1e-9);
}

// D and T are deuterium and tritium where no element has the symbol; radicals that begin
// with them keep their meaning, and no contributed radical takes their place.
TEST_F(ElementLookupTest, DeuteriumAndTritiumBesideRadicals) {
  std::filesystem::copy_file(std::filesystem::path(OSTRAVEL_DATA_DIR) / "ISOTOPES.TXT",
                             dir.path() / "ISOTOPES.TXT");
  SetRadicals({{"TMS", "Si(CH3)3"}, {"Me", "CH3"}}, {{"D", "CH3"}, {"DMF", "C3H7NO"}});
  const double d = 2.01410177812;
  const double t = 3.0160492779;
  const double tms = W("Si") + 3 * Sum({{"C", 1}, {"H", 3}});
  struct Row {
    const char* name;
    const char* formula;
    double mass;
  } rows[] = {
      {"deuterium", "D2O", 2 * d + W("O")},
      {"tritium", "T2O", 2 * t + W("O")},
      {"beside hydrogen", "CHD3", W("C") + W("H") + 3 * d},
      {"a contributed radical of the same name does not count", "MeD", W("C") + 3 * W("H") + d},
      {"a longer radical name still does", "DMF", Sum({{"C", 3}, {"H", 7}, {"N", 1}, {"O", 1}})},
      {"a constants radical that begins with T", "TMSCl", tms + W("Cl")},
      {"T before an element", "TBr", t + W("Br")},
  };
  for (bool expand : {true, false}) {
    s.flags.ExpandRadicals = expand;
    for (const Row& row : rows) {
      EXPECT_NEAR(Mass(row.formula), row.mass, 1e-9) << row.name << ", expand " << expand;
      EXPECT_EQ(s.calc.CalcKind, CalcKind::Form) << row.name;
    }
  }
  // An element table that names D itself keeps it.
  auto table = AbridgedWeights();
  table.push_back({"D", 2.0141});
  SetElements(table);
  EXPECT_NEAR(Mass("D2O"), 2 * 2.0141 + W("O"), 1e-12);
}

TEST_F(ElementLookupTest, ARadicalWithoutValueLeavesTheElement) {
  SetRadicals({{"Cl", ""}, {"Me", "CH3"}}, {});
  EXPECT_DOUBLE_EQ(Mass("NaCl"), Sum({{"Na", 1}, {"Cl", 1}}));
}

TEST_F(ElementLookupTest, RadicalsThatExpandIntoThemselvesFail) {
  SetRadicals({{"Rr", "RrH"}, {"Qa", "Qb"}, {"Qb", "QaH"}, {"Xq", "(Xq)2"}, {"Uq", ")Uq"}},
              {{"Yq", "HYq"}});
  struct Row {
    const char* formula;
    const char* message;
  } rows[] = {
      {"Rr", "radical Rr expands into itself"},
      {"Qa", "radical Qa expands into itself"},
      {"H2Qb", "radical Qb expands into itself"},
      {"Xq", "radical Xq expands into itself"},
      {"Yq", "radical Yq expands into itself"},
      // Unbalanced parentheses hide the nesting; the empty group they leave ends it.
      {"Uq", "\"()\" in Uq is empty"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FailureOf([&] { Mass(row.formula); }), FailureKind::Calculation) << row.formula;
    EXPECT_EQ(s.engine.EvalError, row.message) << row.formula;
  }
}

TEST_F(ElementLookupTest, AnAtomicNumberBeyondTheTableFails) {
  std::vector<std::pair<std::string, double>> table;
  for (char a = 'A'; a <= 'Z'; ++a) {
    for (char b = 'a'; b <= 'g'; ++b)
      table.push_back({std::string{a, b}, 1.0});
  }
  ASSERT_GT(table.size(), 160u);
  SetElements(table);
  s.elements.AtomWeight.fill(1.0);
  EXPECT_DOUBLE_EQ(Mass("Aa"), 1.0);
  // Element 155 of the symbols has no place in the weights.
  EXPECT_EQ(FailureOf([&] { Mass(table[154].first); }), FailureKind::IndexOutOfRange);
}

}  // namespace
}  // namespace ostravel::testing
