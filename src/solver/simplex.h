// The one-variable two-point simplex search for an equation in x, and the logic of its window
// FrmSimplex. The equation is in s.engine.EvalText, in solver mode.
#pragma once

namespace ostravel {

class Session;

inline constexpr int kStepsPerPass = 20;
inline constexpr int kQuickPasses = 3;

// True when the solver runs without its window (quick or unattended use).
bool SolverWithoutWindow(const Session& s);
// Loads the window: start fields from the options after the first comma of the entry line
// ("X0=", "DX="); in quick or unattended use runs up to three passes at once.
void FrmSimplex_Load(Session& s);
// The button "Go" / "Stop" / "Continue".
void cmd_ok_Click(Session& s);
// Accepts the answer (XValue as the search left it) and closes the window.
void cmd_save_Click(Session& s);
// Gives up: XValue becomes NoValue, and the window closes.
void cmd_cancel_Click(Session& s);
// An edit of entry_x0 or entry_xinit: the next press starts afresh from the fields.
void entry_Change(Session& s);
// Enter in a start field moves the focus on (entry_x0 -> entry_xinit -> cmd_ok); the key
// itself is dropped.
void entry_x0_KeyPress(Session& s, int& key);
void entry_xinit_KeyPress(Session& s, int& key);
// One pass of at most 20 steps.
void RunSimplex(Session& s);

}  // namespace ostravel
