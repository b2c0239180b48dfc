// Term expansion: kinds of calculations, constants, MW(, MOL%( and WT%( terms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chemistry/chemistry_fixture.h"
#include "chemistry/formula_parser.h"
#include "chemistry/term_expansion.h"
#include "runtime/failure.h"
#include "support/failure_of.h"

namespace ostravel::testing {
namespace {

struct MemoryLine {
  std::string name;
  double value;
};

class TermExpansionTest : public ChemistryTest {
 protected:
  std::vector<MemoryLine> Lines() const {
    std::vector<MemoryLine> lines;
    for (int n = 1; n <= s.memory.MemoryCount; ++n) {
      lines.push_back({s.memory.MemNames[n], s.memory.MemValues[n]});
    }
    return lines;
  }

  // Expands text and returns the failure's EvalError ("" when none).
  std::string ExpandFailure(const std::string& text, FailureKind kind) {
    s.engine.EvalError.clear();
    EXPECT_EQ(FailureOf([&] { Expand(text); }), kind) << text;
    return s.engine.EvalError;
  }
};

TEST_F(TermExpansionTest, TheKindOfACalculation) {
  struct Row {
    const char* text;
    CalcKind kind;
  } rows[] = {
      {"M12", CalcKind::Mem},     {"m7", CalcKind::Mem},      {"M", CalcKind::Mem},
      {"M12+1", CalcKind::Calc},  {"2*x", CalcKind::Calc},    {"2+3", CalcKind::Calc},
      {"NaCl", CalcKind::Form},   {"pH(3)", CalcKind::Calc},  {"PH(3)", CalcKind::Form},
      {"", CalcKind::Form},       {"2E5", CalcKind::Form},    {"x^2=4", CalcKind::Calc},
      {"LOG(2)", CalcKind::Calc}, {"sqr(2)", CalcKind::Calc}, {"ln(2)", CalcKind::Calc},
      {"exp(1)", CalcKind::Calc},
  };
  for (const Row& row : rows) {
    Expand(row.text);
    EXPECT_EQ(s.calc.CalcKind, row.kind) << row.text;
    EXPECT_EQ(s.calc.CalcText, row.text) << row.text;
  }
}

TEST_F(TermExpansionTest, TermsBecomeMemoryReferences) {
  const double h2o = Sum({{"H", 2}, {"O", 1}});
  const double nacl = Sum({{"Na", 1}, {"Cl", 1}});
  const double cuso4 = Sum({{"Cu", 1}, {"S", 1}, {"O", 4}});
  const double hydrate = cuso4 + 5 * h2o;
  struct Row {
    const char* name;
    const char* text;
    const char* expanded;
    CalcKind kind;
    std::vector<MemoryLine> lines;
  } rows[] = {
      {"numeric constant", "2*<R>", "2* (M1)", CalcKind::Calc, {{"<R>", 8.314}}},
      {"constant in lower case", "<r>/2", " (M1)/2", CalcKind::Calc, {{"<R>", 8.314}}},
      {"every occurrence", "<R>+<r>", " (M1)+ (M1)", CalcKind::Calc, {{"<R>", 8.314}}},
      {"prefixed category", "<KSPAGCL>", " (M1)", CalcKind::Calc, {{"<KSPAGCL>", 1.8E-10}}},
      {"contributed constant", "<MYC>*2", " (M1)*2", CalcKind::Calc, {{"<MYC>", 42}}},
      {"contributed category with a prefix", "<KSPX>", " (M1)", CalcKind::Calc, {{"<KSPX>", 7.5}}},
      {"constant holding a constant", "<TWOR>", " (2* (M1))", CalcKind::Calc, {{"<R>", 8.314}}},
      // The kind follows the text that the constants leave: a function of x is arithmetic.
      {"function of x", "<sq(x)>+1", " (X^2)+1", CalcKind::Calc, {}},
      {"function of x alone", "<SQ(X)>", " (X^2)", CalcKind::Calc, {}},
      {"formula constant", "<GLU>", " (C6H12O6)", CalcKind::Form, {}},
      {"molar mass", "MW(H2O)*2", "M 1    *2", CalcKind::Calc, {{"MW(H2O)", h2o}}},
      {"mw in lower case", "mw(NaCl)", "M 1     ", CalcKind::Calc, {{"MW(NaCl)", nacl}}},
      {"the same term twice",
       "MW(H2O)+MW(H2O)",
       "M 1    +M 1    ",
       CalcKind::Calc,
       {{"MW(H2O)", h2o}}},
      {"hydrate",
       "2*MW(CuSO4.5H2O)",
       "2*M 1           ",
       CalcKind::Calc,
       {{"MW(CuSO4.5H2O)", hydrate}}},
      {"nested parentheses",
       "MW(Ca(OH)2)",
       "M 1        ",
       CalcKind::Calc,
       {{"MW(Ca(OH)2)", Sum({{"Ca", 1}, {"O", 2}, {"H", 2}})}}},
      {"mass 0 refers to memory 0", "MW(0H2O)+1", "M 0     +1", CalcKind::Calc, {}},
      {"mole percent", "mol%(C,CO2)", " M 1      ", CalcKind::Calc, {{"mol%(C,CO2)", 100.0 / 3}}},
      {"weight percent",
       "wt%(O,H2O)",
       "M 1      ",
       CalcKind::Calc,
       {{"wt%(O,H2O)", 100 * W("O") / h2o}}},
      {"percent alone means weight",
       "%(O,H2O)",
       "M 1      ",
       CalcKind::Calc,
       {{"wt%(O,H2O)", 100 * W("O") / h2o}}},
      {"two-letter symbol typed in lower case",
       "WT%(cu,CuSO4)",
       "M 1         ",
       CalcKind::Calc,
       {{"wt%(cu,CuSO4)", 100 * W("Cu") / cuso4}}},
      {"element not in the formula",
       "wt%(N,H2O)",
       "M 1      ",
       CalcKind::Calc,
       {{"wt%(N,H2O)", 0}}},
      {"wt% spelled in mixed case",
       "Wt%(O,H2O)",
       "M 1      ",
       CalcKind::Calc,
       {{"wt%(O,H2O)", 100 * W("O") / h2o}}},
      {"wt% spelled in other mixed case",
       "2*wT%(O,H2O)",
       "2*M 1      ",
       CalcKind::Calc,
       {{"wt%(O,H2O)", 100 * W("O") / h2o}}},
      {"every element",
       "wt%(CuSO4)",
       "M 0      ",
       CalcKind::Done,
       {{"wt%(Cu,CuSO4)", 100 * W("Cu") / cuso4},
        {"wt%(S,CuSO4)", 100 * W("S") / cuso4},
        {"wt%(O,CuSO4)", 100 * 4 * W("O") / cuso4}}},
      {"mole and weight percent together",
       "mol%(H,H2O)-wt%(H,H2O)",
       " M 1      -M 2      ",
       CalcKind::Calc,
       {{"mol%(H,H2O)", 200.0 / 3}, {"wt%(H,H2O)", 100 * 2 * W("H") / h2o}}},
      {"constant and molar mass",
       "<R>*MW(H2O)",
       " (M1)*M 2    ",
       CalcKind::Calc,
       {{"<R>", 8.314}, {"MW(H2O)", h2o}}},
  };
  for (const Row& row : rows) {
    s.memory = MemoryState();
    Expand(row.text);
    EXPECT_EQ(s.calc.CalcText, row.expanded) << row.name;
    EXPECT_EQ(s.calc.CalcKind, row.kind) << row.name;
    std::vector<MemoryLine> lines = Lines();
    ASSERT_EQ(lines.size(), row.lines.size()) << row.name;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].name, row.lines[i].name) << row.name;
      EXPECT_NEAR(lines[i].value, row.lines[i].value, 1e-9 * std::abs(row.lines[i].value))
          << row.name;
    }
    EXPECT_EQ(s.calc.ResultLabel, row.text) << row.name;  // restored
    EXPECT_EQ(s.calc.ExpansionMark, s.memory.MemoryCount) << row.name;
    EXPECT_FALSE(s.formula.CountAtoms) << row.name;
    EXPECT_FALSE(s.formula.ElementFilterOn) << row.name;
  }
}

TEST_F(TermExpansionTest, LaterCalculationsFindTermsByName) {
  Expand("2*<R>");
  Expand("<r>*3");
  EXPECT_EQ(s.calc.CalcText, " (8.314)*3");
  EXPECT_EQ(s.calc.CalcKind, CalcKind::Calc);
  // A constant alone that a memory line already holds is still arithmetic, not a formula.
  Expand("<R>");
  EXPECT_EQ(s.calc.CalcText, " (8.314)");
  EXPECT_EQ(s.calc.CalcKind, CalcKind::Calc);
  Expand("MW(H2O)");
  Expand("MW(H2O)/2");
  EXPECT_EQ(s.calc.CalcText, "M 2    /2");
  EXPECT_EQ(s.memory.MemoryCount, 2);
  // After a database write only the newest line is found by name.
  s.memory.NameSearchStart = s.memory.MemoryCount;
  Expand("<R>");
  EXPECT_EQ(s.calc.CalcText, " (M3)");
  EXPECT_EQ(s.memory.MemoryCount, 3);
}

TEST_F(TermExpansionTest, TheGlucoseConstantIsAFormula) {
  Expand("<GLU>");
  ASSERT_EQ(s.calc.CalcKind, CalcKind::Form);
  EXPECT_NEAR(FormulaMass(s, s.calc.CalcText), Sum({{"C", 6}, {"H", 12}, {"O", 6}}), 1e-9);
}

TEST_F(TermExpansionTest, UnusableConstantsAreReported) {
  for (int i = 0; i < 40; ++i) {
    const std::string next = "<BOOM" + std::to_string(i + 1) + ">";
    database.Entry("Constants", "Boom", "BOOM" + std::to_string(i), next + next);
  }
  database.Entry("Constants", "Boom", "BOOM40", "1").Write(dir);
  s.lists.ConstCategories = std::string("Physical\0Ksp\0F(X)\0Boom\0\0", 25);
  struct Row {
    const char* text;
    const char* message;
    int lines;  // memory lines made before the failure stay
  } rows[] = {
      {"<FOO>*2", "constant <FOO> not found", 0},
      {"<R>+<nope>", "constant <NOPE> not found", 1},
      {"<>", "constant <> not found", 0},
      {"<SELF>", "constant <SELF> refers to itself", 0},
      {"2*<LOOPA>", "constant <LOOP* refers to itself", 0},
      // A non-recursive chain can also grow too much; the level where it stops depends on the
      // limit.
      {"<BOOM0>", "constant <BOOM* expands into too long a text", 0},
  };
  for (const Row& row : rows) {
    s.memory = MemoryState();
    ui.messages.clear();
    Expand(row.text);
    EXPECT_EQ(s.calc.CalcKind, CalcKind::Error) << row.text;
    ASSERT_EQ(ui.messages.size(), 1u) << row.text;
    std::string message = row.message;
    std::size_t star = message.find('*');
    if (star == std::string::npos) {
      EXPECT_EQ(ui.messages[0].text, message) << row.text;
    } else {
      EXPECT_EQ(ui.messages[0].text.substr(0, star), message.substr(0, star)) << row.text;
      EXPECT_TRUE(ui.messages[0].text.ends_with(message.substr(star + 1))) << row.text;
    }
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(ui.messages[0].title, "Ostravel");
    EXPECT_EQ(s.memory.MemoryCount, row.lines) << row.text;
    EXPECT_EQ(s.db.IniFile, s.db.MainIniFile) << row.text;
  }
  // A web request shows no message box.
  s.flags.QuietMode = true;
  ui.messages.clear();
  Expand("<FOO>");
  EXPECT_EQ(s.calc.CalcKind, CalcKind::Error);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TermExpansionTest, BadTermsFail) {
  struct Row {
    std::string text;
    FailureKind kind;
    std::string message;
  } rows[] = {
      {"MW(H2O", FailureKind::Calculation, "unclosed parentheses"},
      {"2*wt%(O,H2O", FailureKind::Calculation, "unclosed parentheses"},
      {"MW(", FailureKind::Calculation, "unclosed parentheses"},
      {"<R", FailureKind::Calculation, "Unmatched constant brackets <>"},
      {"MW(2+3)", FailureKind::Calculation, "2+3 is not a molecular formula"},
      {"MW(M5)", FailureKind::Calculation, "M5 is not a molecular formula"},
      {"MW()", FailureKind::Calculation, "a molecular formula is missing"},
      {"wt%(2+3)", FailureKind::Calculation, "2+3 is not a molecular formula"},
      {"wt%(O,2*3)", FailureKind::Calculation, "2*3 is not a molecular formula"},
      {"wt%(2*3)", FailureKind::Calculation, "2*3 is not a molecular formula"},
      {"MW(H2\x97O)", FailureKind::Calculation, "H2\x97O is not a molecular formula"},
      {"wt%(Cux,CuSO4)", FailureKind::Calculation,
       "wt%(Cux,CuSO4): expected an element symbol, a comma and a formula"},
      {"mol%(,CO2)", FailureKind::Calculation,
       "mol%(,CO2): expected an element symbol, a comma and a formula"},
      {"MW(Xx)", FailureKind::Calculation, "\"Xx\" is not an element symbol."},
      {"wt%(O,0H2O)", FailureKind::DivisionByZero, ""},
      // A charge without its caret would be dropped: the neutral mass of an ion.
      {"MW(Na+)", FailureKind::Calculation,
       "\"+\" in Na+ ends the formula: write a charge after a caret, for example Na^+ or Fe^3+"},
      {"EM(Fe3+)", FailureKind::Calculation,
       "\"+\" in Fe3+ ends the formula: write a charge after a caret, for example Na^+ or Fe^3+"},
      // A count of 0 after a symbol or group is no count of 1.
      {"MW(H0)", FailureKind::Calculation,
       "\"0\" in H0 is a count of nothing: leave out the atom or group it counts"},
      {"MW(H2O0)", FailureKind::Calculation,
       "\"0\" in H2O0 is a count of nothing: leave out the atom or group it counts"},
      {"MW(Ca(OH)00)", FailureKind::Calculation,
       "\"00\" in Ca(OH)00 is a count of nothing: leave out the atom or group it counts"},
      {"MW(CuSO4.5H0.0)", FailureKind::Calculation,
       "\"0.0\" in CuSO4.5H0.0 is a count of nothing: leave out the atom or group it counts"},
      {"MW(" + std::string(1001, '(') + "H" + std::string(1001, ')') + ")",
       FailureKind::Calculation,
       std::string(57, '(') + "... nests parentheses more than 1000 deep"},
      // An element that is not in the formula has 0 %, a symbol that is no element none.
      {"wt%(Xx,H2O)", FailureKind::Calculation, "wt%(Xx,H2O): \"Xx\" is not an element symbol"},
      {"mol%(X,H2O)", FailureKind::Calculation, "mol%(X,H2O): \"X\" is not an element symbol"},
      // The composition of all elements is several lines, no value for arithmetic.
      {"wt%(CuSO4)*2", FailureKind::Calculation,
       "wt%(CuSO4): the composition of all elements cannot be part of a calculation; write "
       "wt%(Element,CuSO4) for one element"},
      {"2+mol%(CuSO4)", FailureKind::Calculation,
       "mol%(CuSO4): the composition of all elements cannot be part of a calculation; write "
       "mol%(Element,CuSO4) for one element"},
      // A term inside another would reach it as a memory reference: refused as typed.
      {"wt%(O,MW(H2O))", FailureKind::Calculation,
       "wt%(O,MW(H2O)): MW(H2O) cannot stand inside wt%(...); write the formula itself"},
      {"MW(H2O+%(O,H2O))", FailureKind::Calculation,
       "MW(H2O+%(O,H2O)): %(O,H2O) cannot stand inside MW(...); write the formula itself"},
      {"MW(Ca(OH+H)2)", FailureKind::Calculation,
       "\"+\" in Ca(OH+H)2 cannot stand inside parentheses: write mixtures and hydrates outside "
       "them, as in NaCl+H2O or CuSO4.5H2O"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ExpandFailure(row.text, row.kind), row.message) << row.text;
    EXPECT_FALSE(s.formula.CountAtoms) << row.text;
    EXPECT_FALSE(s.formula.ElementFilterOn) << row.text;
  }
}

TEST_F(TermExpansionTest, ModesAreClearedAfterAFailure) {
  ExpandFailure("mol%(C,Xx2)", FailureKind::Calculation);
  EXPECT_FALSE(s.formula.CountAtoms);
  EXPECT_NEAR(Mass("H2O"), Sum({{"H", 2}, {"O", 1}}), 1e-12);
  EXPECT_NE(FailureOf([&] { ElementPercent(s, "H ", "H2Jk"); }), std::nullopt);
  EXPECT_FALSE(s.formula.ElementFilterOn);
  EXPECT_NEAR(Mass("H2O"), Sum({{"H", 2}, {"O", 1}}), 1e-12);
}

TEST_F(TermExpansionTest, ElementPercent) {
  s.calc.CalcKind = CalcKind::Form;
  EXPECT_NEAR(ElementPercent(s, "O ", "H2O"), 100 * W("O") / Sum({{"H", 2}, {"O", 1}}), 1e-9);
  EXPECT_EQ(ElementPercent(s, "Xx", "H2O"), 0);
  s.formula.CountAtoms = true;
  EXPECT_NEAR(ElementPercent(s, "C ", "CO2"), 100.0 / 3, 1e-9);
  s.formula.CountAtoms = false;
  EXPECT_THROW(ElementPercent(s, "O ", ""), RunFailure);
}

TEST_F(TermExpansionTest, MatchingParenthesis) {
  struct Row {
    const char* text;
    std::size_t open;
    std::size_t close;
  } rows[] = {
      {"MW(H2O)", 2, 6},
      {"MW(Ca(OH)2)*2", 2, 10},
      {"(a)(b)", 0, 2},
      {"((()))", 1, 4},
  };
  for (const Row& row : rows)
    EXPECT_EQ(MatchingParenthesis(s, row.text, row.open), row.close);
  EXPECT_THROW(MatchingParenthesis(s, "(()", 0), RunFailure);
  EXPECT_EQ(s.engine.EvalError, "unclosed parentheses");
  EXPECT_THROW(MatchingParenthesis(s, "x(", 1), RunFailure);
}

TEST_F(TermExpansionTest, HostileTextsEndCleanly) {
  std::string manyTerms;
  for (int i = 0; i < 20000; ++i)
    manyTerms += "MW(H2O)+";
  manyTerms += "1";
  Expand(manyTerms);
  EXPECT_EQ(s.calc.CalcKind, CalcKind::Calc);
  EXPECT_EQ(s.memory.MemoryCount, 1);
  EXPECT_EQ(s.calc.CalcText.size(), manyTerms.size());
  EXPECT_EQ(s.calc.CalcText.find("MW"), std::string::npos);

  std::string manyConstants;
  for (int i = 0; i < 20000; ++i)
    manyConstants += "<R>+";
  manyConstants += "1";
  s.memory = MemoryState();
  Expand(manyConstants);
  EXPECT_EQ(s.calc.CalcKind, CalcKind::Calc);
  EXPECT_EQ(s.memory.MemoryCount, 1);
  EXPECT_EQ(s.calc.CalcText.find('<'), std::string::npos);

  std::string manyPercents;
  for (int i = 0; i < 2000; ++i)
    manyPercents += "%(O,H2O)+";
  manyPercents += "1";
  s.memory = MemoryState();
  Expand(manyPercents);
  EXPECT_EQ(s.calc.CalcKind, CalcKind::Calc);
  EXPECT_EQ(s.memory.MemoryCount, 1);
  EXPECT_EQ(s.calc.CalcText.find('%'), std::string::npos);

  for (std::string text : {std::string("\x97\x98\x99"), std::string("a\0b", 3),
                           std::string(100000, '<') + ">", std::string(5000, '(')}) {
    s.memory = MemoryState();
    try {
      Expand(text);
    } catch (const RunFailure&) {
    }
    EXPECT_TRUE(s.calc.CalcKind == CalcKind::Calc || s.calc.CalcKind == CalcKind::Form ||
                s.calc.CalcKind == CalcKind::Error);
  }
}

}  // namespace
}  // namespace ostravel::testing
