#include "solver/simplex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calc/calc_state.h"
#include "calc/calculation_driver.h"
#include "runtime/failure.h"
#include "session/session.h"
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
    s.engine.EvalMode = "S";
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

TEST_F(SimplexTest, NoRealRootEndsWithinSixtyStepsAndReportsItsError) {
  Prepare("x^2=-1, X0=3", "X^2=-1");
  FrmSimplex_Load(s);
  // The smallest |x^2 + 1| is 1 at x = 0.
  EXPECT_NEAR(s.engine.FxAbs, 1, 1e-3);
  EXPECT_NEAR(s.engine.XValue, 0, 0.05);
  EXPECT_LE(s.solver.SimplexSteps, kStepsPerPass);
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

TEST_F(SimplexTest, FailureWithoutTheWindowReachesTheCaller) {
  Prepare("EXP(x)=1, X0=1000", "EXP(X)=1");
  s.flags.QuickSimplex = true;
  EXPECT_THROW(FrmSimplex_Load(s), RunFailure);
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace ostravel
