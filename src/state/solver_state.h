// The state of the simplex search and of its window FrmSimplex.
#pragma once

#include <string>

namespace ostravel {

enum class SimplexControl { None, entry_x0, entry_xinit, cmd_ok, cmd_save, cmd_cancel };

struct FrmSimplexModel {
  std::string Caption = "Simplex Calculation";
  std::string label_formula;
  std::string entry_x0;
  std::string entry_xinit;
  std::string label_x, label_error, label_step;
  std::string cmd_ok_Caption;
  bool cmd_ok_Visible = true;
  bool Loaded = false;
  // The control that has the focus (written by the front end before it calls a handler) and
  // the one the logic asks to focus next (None when it asks nothing).
  SimplexControl ActiveControl = SimplexControl::None;
  SimplexControl FocusRequest = SimplexControl::None;
  bool CloseRequested = false;  // Save or Cancel asked the window to close
  bool Cancelled = false;       // the user gave up: no answer, and no failure either
};

struct SolverState {
  double SimplexSteps = -1;             // steps of the current pass; -1 asks for a fresh start
  double SimplexXA = 0, SimplexEA = 0;  // point A (the worse) and its error
  double SimplexXB = 0, SimplexEB = 0;  // point B (the better) and its error
  double LastError = 0;                 // the error at the end of the previous pass
  FrmSimplexModel window;
};

}  // namespace ostravel
