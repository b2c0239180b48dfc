#include "solver/simplex.h"

#include <cctype>
#include <cmath>
#include <string>
#include <utility>

#include "runtime/conversions.h"
#include "runtime/text_case.h"
#include "session/engine_calls.h"
#include "session/session.h"
#include "solver/root_search.h"

namespace ostravel {
namespace {

// Evaluates the equation at XValue; the error lands in FxAbs.
void Evaluate(Session& s) {
  EvaluateExpression(s);
}

void Notify(Session& s) {
  s.ui.Changed(Control::SimplexWindow);
}

// The general number text of the number that follows option (e.g. "X0=") in options, or ""
// when options does not hold it.
bool OptionValue(const std::string& options, const std::string& option, std::string& text) {
  std::size_t at = options.find(option);
  if (at == std::string::npos) return false;
  text = GeneralNumberText(LeadingNumber(std::string_view(options).substr(at + option.size())));
  return true;
}

void Finish(Session& s) {
  SolverState& v = s.solver;
  EngineState& e = s.engine;
  if (v.SimplexEB < e.FxAbs) {
    e.XValue = v.SimplexXB;
    e.FxAbs = v.SimplexEB;
  }
  if (!SolverWithoutWindow(s) &&
      (v.SimplexXA == v.SimplexXB || e.FxAbs == v.LastError || e.FxAbs == 0)) {
    v.window.FocusRequest = SimplexControl::cmd_save;
  }
  v.LastError = e.FxAbs;
}

// B is the better of the two points: the smaller error.
void KeepBetterAsB(SolverState& v) {
  if (v.SimplexEA < v.SimplexEB) {
    std::swap(v.SimplexXA, v.SimplexXB);
    std::swap(v.SimplexEA, v.SimplexEB);
  }
}

void FreshStart(Session& s) {
  SolverState& v = s.solver;
  EngineState& e = s.engine;
  v.SimplexSteps = 0;
  v.LastError = kNoValue;
  e.XValue = LeadingNumber(v.window.entry_x0);
  e.SolverStep = LeadingNumber(v.window.entry_xinit);
  if (e.SolverStep == 0) e.SolverStep = kNoValue;
  v.window.label_x.clear();
  v.window.label_error.clear();
  v.window.label_step.clear();
  Notify(s);

  Evaluate(s);
  v.SimplexXA = e.XValue;
  v.SimplexEA = e.FxAbs;
  // No step given and none derived from the first evaluation's subtractions.
  if (e.SolverStep >= 1E+20) {
    e.SolverStep = e.XValue / 97;
    if (e.SolverStep == 0) e.SolverStep = 0.97531;
  }
  e.XValue = e.XValue + e.SolverStep;
  Evaluate(s);
  v.SimplexXB = e.XValue;
  v.SimplexEB = e.FxAbs;
  KeepBetterAsB(v);
}

void ShowProgress(Session& s) {
  SolverState& v = s.solver;
  v.window.label_x = "x =" + GeneralNumberText(v.SimplexXB);
  v.window.label_error = "error =" + GeneralNumberText(v.SimplexEB);
  v.window.label_step = "step =" + GeneralNumberText(std::fabs(v.SimplexXA - v.SimplexXB));
  Notify(s);
}

}  // namespace

bool SolverWithoutWindow(const Session& s) {
  return s.flags.QuickSimplex || s.flags.Unattended;
}

void RunSimplex(Session& s) {
  SolverState& v = s.solver;
  EngineState& e = s.engine;
  if (v.SimplexSteps == -1) FreshStart(s);
  v.SimplexSteps = 0;
  while (v.SimplexSteps != kStepsPerPass && e.XValue != kNoValue) {
    // Reflect the worse point through the better one.
    e.XValue = 2 * v.SimplexXB - v.SimplexXA;
    Evaluate(s);
    double error = e.FxAbs;
    if (error <= v.SimplexEB) {
      // Better than both: B moves on, A stays, so the next step goes twice as far.
      v.SimplexXB = e.XValue;
      v.SimplexEB = error;
    } else if (error >= v.SimplexEA) {
      // Worse than both: halve the interval.
      e.XValue = (v.SimplexXA + v.SimplexXB) / 2;
      Evaluate(s);
      v.SimplexXA = e.XValue;
      v.SimplexEA = e.FxAbs;
      KeepBetterAsB(v);
    } else {
      // Between the two: the next reflection goes back through B with the same step.
      v.SimplexXA = e.XValue;
      v.SimplexEA = error;
    }
    v.SimplexSteps += 1;
    if (std::fmod(v.SimplexSteps, 10) == 0) ShowProgress(s);
    if (std::fabs(e.XValue) >= kNoValue) e.XValue = kNoValue;  // the search ran away
  }
  Finish(s);
}

void FrmSimplex_Load(Session& s) {
  FrmSimplexModel& w = s.solver.window;
  w = FrmSimplexModel{};
  w.Loaded = true;
  // The window shows, and takes its options from, the calculation being solved: the entry
  // line itself may already show the name of a memory line stored by an earlier piece or
  // term, or the first of two equations on one line.
  w.label_formula = s.calc.ResultLabel;
  w.entry_x0 = "0";
  const std::string& piece = s.calc.ResultLabel;
  if (std::size_t comma = piece.find(','); comma != std::string::npos) {
    std::string options;
    for (char c : AsciiUpper(piece.substr(comma + 1)))
      if (c != ' ') options += c;
    OptionValue(options, "X0=", w.entry_x0);
    std::string step;
    if (OptionValue(options, "DX=", step) && step != "0") w.entry_xinit = step;
  }
  w.cmd_ok_Caption = "Go";
  Notify(s);
  if (SolverWithoutWindow(s)) SearchWithoutWindow(s);
}

void cmd_ok_Click(Session& s) {
  FrmSimplexModel& w = s.solver.window;
  const std::string caption = w.cmd_ok_Caption;
  try {
    if (caption == "Go") {
      w.cmd_ok_Caption = "Stop";
      w.cmd_ok_Visible = false;
      Notify(s);
      s.solver.SimplexSteps = -1;
      RunSimplex(s);
      w.cmd_ok_Caption = "Continue";
    } else if (caption == "Continue") {
      w.cmd_ok_Visible = false;
      w.cmd_ok_Caption = "Stop";
      Notify(s);
      RunSimplex(s);
      w.cmd_ok_Caption = "Continue";
    } else if (caption == "Stop") {
      w.cmd_ok_Caption = "Go";
    }
  } catch (const RunFailure& failure) {
    // Without the window the failure ends the calculation in the driver. In the window it is
    // shown, and the next press starts afresh from the fields.
    if (SolverWithoutWindow(s)) throw;
    ShowEvalError(s, failure.kind());
    w.cmd_ok_Caption = "Go";
  }
  w.cmd_ok_Visible = true;
  if (!SolverWithoutWindow(s)) {
    SimplexControl focused =
        w.FocusRequest != SimplexControl::None ? w.FocusRequest : w.ActiveControl;
    bool onButton = focused == SimplexControl::cmd_ok || focused == SimplexControl::cmd_save ||
                    focused == SimplexControl::cmd_cancel;
    if (!onButton) w.FocusRequest = SimplexControl::cmd_ok;
  }
  Notify(s);
}

void cmd_save_Click(Session& s) {
  s.solver.window.CloseRequested = true;
  Notify(s);
}

void cmd_cancel_Click(Session& s) {
  s.engine.XValue = kNoValue;
  s.solver.window.Cancelled = true;
  s.solver.window.CloseRequested = true;
  Notify(s);
}

void entry_Change(Session& s) {
  s.solver.window.cmd_ok_Caption = "Go";
  Notify(s);
}

void entry_x0_KeyPress(Session& s, int& key) {
  if (key != kEnterKey) return;
  key = 0;
  s.solver.window.FocusRequest = SimplexControl::entry_xinit;
  Notify(s);
}

void entry_xinit_KeyPress(Session& s, int& key) {
  if (key != kEnterKey) return;
  key = 0;
  s.solver.window.FocusRequest = SimplexControl::cmd_ok;
  Notify(s);
}

}  // namespace ostravel
