// The calculation driver: runs the entry line calculation by calculation.
#pragma once

namespace ostravel {

class Session;

// Runs everything typed into the entry line: directives, checks, then each piece through term
// expansion and the engine or the solver. Refuses to start while a line is running.
void DoCalculations(Session& s);
// The button Calculate: runs the line, then selects the entry line.
void Calculate_Click(Session& s);
// A key typed into the entry line: Enter (13) is swallowed (set to 0) and runs the line.
void entryline_KeyPress(Session& s, int& key);
// Selects the whole entry line and gives it the focus.
void SelectEntryLine(Session& s);
// Loads the solver window for the equation in EvalText: runs it at once without the window in
// quick or unattended use, else shows the window modally.
void ShowSolver(Session& s);

}  // namespace ostravel
