#include "solver/root_search.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/number_format.h"
#include "session/engine_calls.h"
#include "session/session.h"
#include "solver/simplex.h"

namespace ostravel {
namespace {

// How far on either side of a root the equation is looked at, to see that it depends on x
// there: x = x+1 "holds" near 1E16, where adding 1 is lost in rounding.
constexpr double kFlatOffset = 0.01;

// A search that ends this close to 0 (relative to its start, or absolutely) may be creeping
// towards a root at 0 itself, where every term of x^2 = 0 vanishes with x.
constexpr double kNearZero = 1E-6;

[[noreturn]] void Refuse(Session& s, std::string message) {
  s.engine.EvalError = std::move(message);
  Fail(FailureKind::Calculation);
}

// The option words of the solver, which belong after a comma.
bool HasOptionWord(const std::string& equation) {
  return equation.find("X0=") != std::string::npos || equation.find("DX=") != std::string::npos;
}

// True when the equation holds an x of its own: EXP and the option words do not count.
bool HasUnknown(std::string equation) {
  for (const char* word : {"EXP", "X0=", "DX="}) {
    for (std::size_t at = equation.find(word); at != std::string::npos; at = equation.find(word))
      equation.erase(at, std::char_traits<char>::length(word));
  }
  return equation.find('X') != std::string::npos;
}

// |f| and the two sizes of the equation's terms at x.
struct Reading {
  double error, outer, inner;
};

Reading ReadAt(Session& s, double x) {
  EngineState& e = s.engine;
  e.XValue = x;
  EvaluateExpression(s);
  return {e.FxAbs, e.OuterTermScale, e.InnerTermScale};
}

std::string WithDigits(double value, int digits) {
  NumberFormat format;
  format.SigDigits = digits;
  SetSigFormat(format);
  return FormatSig(format, value);
}

// X0, -X0, then X0 (1 when X0 is 0) times 10, 0.1, 100, 0.01, ... with their negatives.
std::vector<double> StartingPoints(double x0) {
  std::vector<double> starts{x0};
  if (x0 != 0) starts.push_back(-x0);
  const double base = x0 != 0 ? x0 : 1;
  if (x0 == 0) {
    starts.push_back(base);
    starts.push_back(-base);
  }
  for (int k = 1; k <= kStartDecades; ++k) {
    for (double factor : {std::pow(10.0, k), std::pow(10.0, -k)}) {
      // A start beyond the range the search can work in is no start.
      if (std::fabs(base * factor) >= kNoValue) continue;
      starts.push_back(base * factor);
      starts.push_back(-base * factor);
    }
  }
  return starts;
}

// One search as the window's button runs it: up to three passes, fewer when |f(x)| is 0.
void RunPasses(Session& s) {
  s.solver.window.cmd_ok_Caption = "Go";
  for (int press = 0; press < kQuickPasses; ++press) {
    cmd_ok_Click(s);
    if (s.engine.FxAbs == 0) break;
  }
}

// Completes a search that ended without a root: x = 0 when it crept towards it, then more
// passes while each still halves |f(x)|. True when a root was found.
bool FinishSearch(Session& s, double start) {
  EngineState& e = s.engine;
  if (e.XValue == kNoValue) return false;
  const double x = e.XValue;
  if (IsRootAt(s, x)) return true;
  if (std::fabs(x) <= kNearZero * std::max(1.0, std::fabs(start))) {
    if (IsRootAt(s, 0)) return true;
    IsRootAt(s, x);
  }
  for (int pass = 0; pass < kPolishPasses; ++pass) {
    const double before = e.FxAbs;
    cmd_ok_Click(s);
    if (e.XValue == kNoValue) return false;
    if (IsRootAt(s, e.XValue)) return true;
    if (!(e.FxAbs < before / 2)) return false;
  }
  return false;
}

}  // namespace

void CheckEquation(Session& s, const std::string& equation, const std::string& typed) {
  const std::string hint =
      HasOptionWord(equation) ? " (the options X0= and DX= follow a comma: x^2=2, X0=1)" : "";
  if (std::count(equation.begin(), equation.end(), '=') > 1)
    Refuse(s, "more than one \"=\" in the equation " + typed + hint);
  if (!HasUnknown(equation)) Refuse(s, "there is no x in the equation " + typed + hint);
}

RootVerdict JudgeRoot(Session& s, double x) {
  EngineState& e = s.engine;
  const Reading at = ReadAt(s, x);
  if (!(at.error <= kRootTolerance * at.inner)) return RootVerdict::NotRoot;
  const EngineState atX = e;
  const double offset = kFlatOffset * (x != 0 ? std::fabs(x) : 1);
  const Reading below = ReadAt(s, x - offset);
  const Reading above = ReadAt(s, x + offset);
  e = atX;
  // x is a root next to either size of the terms where f, 1% to either side, is not as small.
  // The outer terms judge x*(0.01+2*x)^2 = 5.6E-12, whose inner 0.01 would take a 1% error
  // for a root; the inner ones judge (x-1)^3 = 0, whose only outer term is f itself.
  for (double size : {at.outer, at.inner}) {
    const double small = kRootTolerance * size;
    if (at.error <= small && (below.error > small || above.error > small)) return RootVerdict::Root;
  }
  if (at.error == 0 && below.error == 0 && above.error == 0) return RootVerdict::Flat;
  return RootVerdict::NotRoot;
}

bool IsRootAt(Session& s, double x) {
  return JudgeRoot(s, x) == RootVerdict::Root;
}

void SearchWithoutWindow(Session& s) {
  FrmSimplexModel& w = s.solver.window;
  EngineState& e = s.engine;
  const std::string userStart = w.entry_x0;
  // The search from the user's own X0 (or the first one that did not fail) is what a failure
  // reports; a failure of the arithmetic is reported only when every search failed so.
  std::optional<double> reportedX, reportedError;
  std::optional<FailureKind> firstFailure;
  std::string firstFailureText;
  bool first = true;
  for (double start : StartingPoints(LeadingNumber(userStart))) {
    if (!first) w.entry_x0 = GeneralNumberText(start);
    first = false;
    try {
      RunPasses(s);
      if (FinishSearch(s, start)) {
        w.entry_x0 = userStart;
        return;
      }
      if (!reportedX) {
        reportedX = e.XValue;
        reportedError = e.FxAbs;
      }
    } catch (const RunFailure& failure) {
      if (!firstFailure) {
        firstFailure = failure.kind();
        firstFailureText = e.EvalError;
      }
    }
  }
  w.entry_x0 = userStart;
  if (!reportedX) {
    e.EvalError = firstFailureText;
    Fail(*firstFailure);
  }
  e.XValue = *reportedX;
  e.FxAbs = *reportedError;
}

void RequireRoot(Session& s) {
  EngineState& e = s.engine;
  if (s.solver.window.Cancelled) return;
  const std::string near = "no solution found near X0 = " + s.solver.window.entry_x0;
  if (e.XValue == kNoValue) Refuse(s, near + " (the search ran away)");
  const double x = e.XValue;
  const RootVerdict verdict = JudgeRoot(s, x);
  if (verdict == RootVerdict::Root) return;
  const std::string measure = "|f(x)| = " + WithDigits(e.FxAbs, 3);
  if (!SolverWithoutWindow(s)) {
    // The user accepted this x in the solver window, having seen its error: it is stored, and
    // its name says that it is no root (as a comment, so the line can still be run again).
    s.calc.ResultLabel += " ' not a root: " + measure;
    return;
  }
  if (verdict == RootVerdict::Flat) {
    Refuse(s, "the equation does not depend on x near x = " + WithDigits(x, 4) +
                  ": every x there satisfies it as well");
  }
  Refuse(s, near + " (" + measure + " at x = " + WithDigits(x, 4) + ")");
}

}  // namespace ostravel
