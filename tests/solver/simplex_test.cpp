#include "solver/simplex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calc/calculation_driver.h"
#include "runtime/failure.h"
#include "session/session.h"
#include "solver/root_search.h"
#include "state/calc_state.h"
#include "support/recording_platform.h"

namespace ostravel {
namespace {

class SimplexTest : public ::testing::Test {
 protected:
  // Prepares the engine for an equation typed as line (options after the first comma).
  void Prepare(const std::string& line, const std::string& equation) {
    s.window.entryline.Text = line;
    s.calc.ResultLabel = line;
    s.engine.EvalText = equation;
    s.engine.EvalMode = EvalMode::Solver;
    s.engine.XValue = 0;
    s.engine.FxAbs = 0;
  }

  testing::RecordingPlatform ui;
  Session s{ui};
};

struct QuickRow {
  const char* name;
  const char* line;      // as typed, with options
  const char* equation;  // as the driver hands it to the engine
  double root;
  double tolerance;
};

TEST_F(SimplexTest, QuickModeFindsRoots) {
  const QuickRow rows[] = {
      {"square root of two from 1", "x^2=2, X0=1", "X^2=2", std::sqrt(2.0), 1e-8},
      {"square root of four from 1", "x^2=4, X0=1", "X^2=4", 2, 1e-8},
      {"linear from 0", "3*x+1=7", "3*X+1=7", 2, 1e-8},
      {"negative root from -1", "x^3=-8, X0=-1", "X^3=-8", -2, 1e-6},
      {"with a step", "x^2=9, X0=1, DX=0.5", "X^2=9", 3, 1e-6},
      {"options in lower case with blanks", "x^2=2, x0 = 1", "X^2=2", std::sqrt(2.0), 1e-8},
  };
  for (const auto& row : rows) {
    Prepare(row.line, row.equation);
    s.flags.QuickSimplex = true;
    FrmSimplex_Load(s);
    EXPECT_NEAR(s.engine.XValue, row.root, row.tolerance) << row.name;
    EXPECT_LT(s.engine.FxAbs, 1e-6) << row.name;
  }
}

TEST_F(SimplexTest, OptionsFillTheStartFields) {
  const struct {
    const char* line;
    const char* x0;
    const char* step;
  } rows[] = {
      {"x^2=2", "0", ""},       {"x^2=2, X0=1", "1", ""},   {"x^2 = 2, X0=1, DX=0.1", "1", "0.1"},
      {"x^2=2, dx=0", "0", ""}, {"x^2=2, X0=abc", "0", ""}, {"x^2=2, X0=2.5E-3", "0.0025", ""},
  };
  s.flags.QuickSimplex = false;
  for (const auto& row : rows) {
    Prepare(row.line, "X^2=2");
    FrmSimplex_Load(s);
    EXPECT_EQ(s.solver.window.entry_x0, row.x0) << row.line;
    EXPECT_EQ(s.solver.window.entry_xinit, row.step) << row.line;
    EXPECT_EQ(s.solver.window.cmd_ok_Caption, "Go") << row.line;
    EXPECT_EQ(s.solver.window.label_formula, row.line);
  }
}

TEST_F(SimplexTest, OptionsComeFromThePieceNotFromTheEntryLine) {
  // A memory line stored before the solver runs has replaced the entry line's text.
  Prepare("<R>*x=16.628, X0=1, DX=0.5", "8.314*X=16.628");
  s.window.entryline.Text = "<R>";
  s.flags.QuickSimplex = false;
  FrmSimplex_Load(s);
  EXPECT_EQ(s.solver.window.entry_x0, "1");
  EXPECT_EQ(s.solver.window.entry_xinit, "0.5");
  EXPECT_EQ(s.solver.window.label_formula, "<R>*x=16.628, X0=1, DX=0.5");
}

TEST_F(SimplexTest, FurtherStartingPointsFindRootsTheFirstSearchMisses) {
  const QuickRow rows[] = {
      // From 0 the search settles in the local minimum of |f| at -0.8165, where f = -3.9.
      {"cubic from the default start", "x^3-2*x-5=0", "X^3-2*X-5=0", 2.0945514815423265, 1e-14},
      // Every term vanishes with x: the search creeps towards 0, and 0 itself is the root.
      {"root at zero from 1", "x=0, X0=1", "X=0", 0, 0},
      {"double root at zero from 1", "x^2=0, X0=1", "X^2=0", 0, 0},
      // Extra passes while |f| still falls reach the small root exactly.
      {"small root", "x^2=1E-30", "X^2=1E-30", 1e-15, 1e-29},
      // The start overflows EXP; other starting points do not.
      {"failing start skipped", "EXP(x)=1, X0=1000", "EXP(X)=1", 0, 1e-12},
  };
  for (const auto& row : rows) {
    Prepare(row.line, row.equation);
    FrmSimplex_Load(s);
    EXPECT_NEAR(s.engine.XValue, row.root, row.tolerance) << row.name;
    EXPECT_NO_THROW(RequireRoot(s)) << row.name;
  }
  // The start field is the user's own again, for a message that names it.
  Prepare("x^2=-1, X0=3", "X^2=-1");
  FrmSimplex_Load(s);
  EXPECT_EQ(s.solver.window.entry_x0, "3");
}

TEST_F(SimplexTest, AResultThatIsNoRootIsAFailure) {
  const struct {
    const char* name;
    const char* line;
    const char* equation;
    const char* message;
  } rows[] = {
      {"no real root", "x^2=-1", "X^2=-1",
       "no solution found near X0 = 0 (|f(x)| = 1.00 at x = -1.054E-8)"},
      {"no real root from 3", "x^2=-1, X0=3", "X^2=-1",
       "no solution found near X0 = 3 (|f(x)| = 1.00"},
      // Near 1E16 adding 1 is lost in rounding, so x = x+1 "holds" there: not a root either.
      {"contradiction", "x=x+1", "X=X+1", "no solution found near X0 = 0 (|f(x)| = 1.00"},
      {"exponential never negative", "EXP(x)=-1", "EXP(X)=-1",
       "no solution found near X0 = 0 (|f(x)| = 1.00"},
      {"search runs away", "1/x=0", "1/X=0", "no solution found near X0 = 0 (the search ran away)"},
      {"identity", "x-x=0", "X-X=0", "the equation does not depend on x near x = "},
  };
  for (const auto& row : rows) {
    Prepare(row.line, row.equation);
    FrmSimplex_Load(s);
    EXPECT_THROW(RequireRoot(s), RunFailure) << row.name;
    EXPECT_EQ(s.engine.EvalError.rfind(row.message, 0), 0u)
        << row.name << ": " << s.engine.EvalError;
  }
}

TEST_F(SimplexTest, RootsKeepTheirPrecision) {
  // |f| at the answer is rounding-sized next to the equation's terms.
  const struct {
    const char* equation;
    double root;
  } rows[] = {
      {"X^2=2", 1.4142135623730951},
      {"X^2/(0.1-X)=1.8E-5", 0.0013326709730779737},
      {"X*EXP(X)=5", 1.3267246652422002},
      {"LOG(X)=2", 100},
  };
  for (const auto& row : rows) {
    Prepare(row.equation, row.equation);
    FrmSimplex_Load(s);
    EXPECT_NEAR(s.engine.XValue, row.root, 4e-16 * std::fabs(row.root)) << row.equation;
    EXPECT_TRUE(IsRootAt(s, s.engine.XValue)) << row.equation;
  }
}

TEST_F(SimplexTest, EveryStartFailingReportsTheFirstFailure) {
  // A negative base with a fractional exponent fails wherever the search starts.
  Prepare("(x-x-1)^0.5=x", "(X-X-1)^0.5=X");
  EXPECT_THROW(FrmSimplex_Load(s), RunFailure);
  EXPECT_EQ(s.engine.EvalError, "exponentiation error");
}

TEST_F(SimplexTest, EquationsThatCannotBeSolvedAreRefused) {
  const struct {
    const char* equation;  // upper-cased, before the first comma
    const char* typed;
    const char* message;  // "" when accepted
  } rows[] = {
      {"2=3", "2=3", "there is no x in the equation 2=3"},
      {"=5", "=5", "there is no x in the equation =5"},
      {"X0=1", "X0=1",
       "there is no x in the equation X0=1 (the options X0= and DX= follow a comma: x^2=2, X0=1)"},
      {"EXP(2)=7", "EXP(2)=7", "there is no x in the equation EXP(2)=7"},
      {"X^2=2 X0=1", "x^2=2 X0=1",
       "more than one \"=\" in the equation x^2=2 X0=1 (the options X0= and DX= follow a comma: "
       "x^2=2, X0=1)"},
      {"X=1=2", "x=1=2", "more than one \"=\" in the equation x=1=2"},
      {"EXP(X)=7", "exp(x)=7", ""},
      {"2X=DX", "2x=dx", ""},
  };
  for (const auto& row : rows) {
    s.engine.EvalError.clear();
    if (*row.message == '\0') {
      EXPECT_NO_THROW(CheckEquation(s, row.equation, row.typed)) << row.typed;
    } else {
      EXPECT_THROW(CheckEquation(s, row.equation, row.typed), RunFailure) << row.typed;
    }
    EXPECT_EQ(s.engine.EvalError, row.message) << row.typed;
  }
}

TEST_F(SimplexTest, ExactRootStopsAfterTheFirstPass) {
  Prepare("x=4, X0=0, DX=2", "X=4");
  FrmSimplex_Load(s);
  EXPECT_EQ(s.engine.XValue, 4);
  EXPECT_EQ(s.engine.FxAbs, 0);
  EXPECT_EQ(s.solver.window.cmd_ok_Caption, "Continue");
}

TEST_F(SimplexTest, FirstStepRules) {
  // The second point of a fresh start lies one step from X0. With no step given the step is
  // derived from the first evaluation's subtraction (|d| / 97), else X0 / 97, else 0.97531;
  // a given step is lowered by the same subtraction rule.
  const struct {
    const char* name;
    const char* line;
    const char* equation;
    double expectedStep;
  } rows[] = {
      {"start at zero, no difference", "x=0", "X=0", 0.97531},
      {"no difference, derived from X0", "x=97, X0=97", "X=97", 1},
      {"derived from the difference", "x*x=2", "X*X=2", 2.0 / 97},
      {"given step lowered by the difference", "x*x=2, DX=5", "X*X=2", 2.0 / 97},
      {"given step kept", "x*x=2, DX=0.01", "X*X=2", 0.01},
  };
  for (const auto& row : rows) {
    Prepare(row.line, row.equation);
    std::vector<double> xs;
    ui.onYield = [&] {
      if (xs.empty() || xs.back() != s.engine.XValue) xs.push_back(s.engine.XValue);
    };
    FrmSimplex_Load(s);
    ui.onYield = nullptr;
    ASSERT_GE(xs.size(), 2u) << row.name;
    EXPECT_NEAR(xs[1] - xs[0], row.expectedStep, 1e-12) << row.name;
  }
}

TEST_F(SimplexTest, WindowButtonCycle) {
  Prepare("x^2=2, X0=1", "X^2=2");
  s.flags.QuickSimplex = false;
  FrmSimplex_Load(s);
  auto& w = s.solver.window;
  EXPECT_EQ(w.cmd_ok_Caption, "Go");
  w.ActiveControl = SimplexControl::entry_x0;
  cmd_ok_Click(s);
  EXPECT_EQ(w.cmd_ok_Caption, "Continue");
  EXPECT_TRUE(w.cmd_ok_Visible);
  EXPECT_EQ(s.solver.SimplexSteps, kStepsPerPass);
  double after_first = s.engine.FxAbs;
  cmd_ok_Click(s);
  EXPECT_EQ(w.cmd_ok_Caption, "Continue");
  EXPECT_LE(s.engine.FxAbs, after_first);
  EXPECT_NEAR(s.engine.XValue, std::sqrt(2.0), 1e-6);
  // Every 10 steps the labels show the best point.
  EXPECT_EQ(w.label_x.rfind("x =", 0), 0u);
  EXPECT_EQ(w.label_error.rfind("error =", 0), 0u);
  EXPECT_EQ(w.label_step.rfind("step =", 0), 0u);
  // An edit of a start field makes the next press start afresh.
  entry_Change(s);
  EXPECT_EQ(w.cmd_ok_Caption, "Go");
  w.cmd_ok_Caption = "Stop";
  cmd_ok_Click(s);
  EXPECT_EQ(w.cmd_ok_Caption, "Go");
}

TEST_F(SimplexTest, SettledSearchInvitesToSave) {
  Prepare("x=4, X0=0, DX=2", "X=4");
  s.flags.QuickSimplex = false;
  FrmSimplex_Load(s);
  s.solver.window.ActiveControl = SimplexControl::cmd_ok;
  cmd_ok_Click(s);
  EXPECT_EQ(s.solver.window.FocusRequest, SimplexControl::cmd_save);
}

TEST_F(SimplexTest, EnterMovesBetweenFieldsAndIsDropped) {
  int key = kEnterKey;
  entry_x0_KeyPress(s, key);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(s.solver.window.FocusRequest, SimplexControl::entry_xinit);
  key = kEnterKey;
  entry_xinit_KeyPress(s, key);
  EXPECT_EQ(s.solver.window.FocusRequest, SimplexControl::cmd_ok);
  key = 'a';
  entry_x0_KeyPress(s, key);
  EXPECT_EQ(key, 'a');
}

TEST_F(SimplexTest, CancelLeavesNoValueAndSaveKeepsTheAnswer) {
  Prepare("x^2=2, X0=1", "X^2=2");
  s.flags.QuickSimplex = false;
  FrmSimplex_Load(s);
  cmd_ok_Click(s);
  double answer = s.engine.XValue;
  cmd_save_Click(s);
  EXPECT_TRUE(s.solver.window.CloseRequested);
  EXPECT_EQ(s.engine.XValue, answer);
  cmd_cancel_Click(s);
  EXPECT_EQ(s.engine.XValue, kNoValue);
}

TEST_F(SimplexTest, FailureInTheWindowIsShownAndResetsTheButton) {
  Prepare("EXP(x)=1, X0=1000", "EXP(X)=1");
  s.flags.QuickSimplex = false;
  FrmSimplex_Load(s);
  cmd_ok_Click(s);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "exponentiation error");
  EXPECT_EQ(s.solver.window.cmd_ok_Caption, "Go");
  EXPECT_TRUE(s.solver.window.cmd_ok_Visible);
}

TEST_F(SimplexTest, ANoRootAcceptedInTheWindowIsMarked) {
  Prepare("x^2=2, X0=1", "X^2=2");
  s.flags.QuickSimplex = false;
  FrmSimplex_Load(s);
  cmd_ok_Click(s);  // one pass leaves |f| at about 3E-5
  cmd_save_Click(s);
  EXPECT_NO_THROW(RequireRoot(s));
  EXPECT_EQ(s.calc.ResultLabel.rfind("x^2=2, X0=1 ' not a root: |f(x)| = ", 0), 0u)
      << s.calc.ResultLabel;
  // A second pass reaches the root, which is stored under its own name.
  Prepare("x^2=2, X0=1", "X^2=2");
  FrmSimplex_Load(s);
  cmd_ok_Click(s);
  cmd_ok_Click(s);
  EXPECT_NO_THROW(RequireRoot(s));
  EXPECT_EQ(s.calc.ResultLabel, "x^2=2, X0=1");
  // Cancel is the user's own choice: no answer and no failure.
  cmd_cancel_Click(s);
  EXPECT_NO_THROW(RequireRoot(s));
}

}  // namespace
}  // namespace ostravel
