// Whether the simplex search found a root, and the search without the window: it tries
// further starting points before it gives up, and a result that is no root is a failure.
#pragma once

#include <string>

namespace ostravel {

class Session;

// A result x is a root when |f(x)| = |left side - right side| is at most kRootTolerance times
// the size of the equation's terms at x, while 1% to either side of x it is not that small
// (so f depends on x there). The size of the terms is the largest magnitude added or
// subtracted while f(x) is computed: either outside parentheses (the sides and their terms)
// or anywhere. Rounding leaves about 1E-16 of the terms at a true root; the minima of |f|
// that are no root (x^2 = -1, x = x+1) leave a sizeable part of them.
inline constexpr double kRootTolerance = 1E-10;
// The largest power of ten by which the search scales X0 for its further starting points.
inline constexpr int kStartDecades = 6;
// Passes a search may add after its first three while each pass still halves |f(x)|.
inline constexpr int kPolishPasses = 20;

// Refuses an equation that cannot be solved for x: more than one "=", or no x at all.
// equation is the upper-cased text handed to the solver; typed is the calculation as the user
// wrote it, named in the message.
void CheckEquation(Session& s, const std::string& equation, const std::string& typed);

enum class RootVerdict {
  Root,
  NotRoot,
  Flat,  // f is 0 at x and 1% to either side: the equation does not depend on x there
};

// Evaluates the equation at x and judges it; leaves XValue = x and FxAbs = |f(x)|.
RootVerdict JudgeRoot(Session& s, double x);
// True when JudgeRoot finds a root at x.
bool IsRootAt(Session& s, double x);

// The search without the window: passes from X0 as the window's button would run them, then,
// while no root is found, from X0 = 0 when the search ended next to it, with more passes while
// they still improve, and from further starting points (-X0, X0 x 10^k, X0 x 10^-k and their
// negatives, with 1 in place of an X0 of 0). Leaves the root in XValue, or else the result of
// the search from the user's own X0 for RequireRoot to report.
void SearchWithoutWindow(Session& s);

// After the search: fails with "no solution found near X0 = ..." unless XValue is a root. A
// search that the user cancelled in the window is left alone (XValue is NoValue), and an x
// that the user accepted in the window without it being a root keeps a mark in ResultLabel.
void RequireRoot(Session& s);

}  // namespace ostravel
