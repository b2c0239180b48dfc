// The state of the simplex search and of its window FrmSimplex.
#pragma once

#include <string>

namespace ostravel {

struct FrmSimplexModel {
  std::string Caption = "Simplex Calculation";
  std::string label_formula;
  std::string entry_x0;
  std::string entry_xinit;
  std::string label_x, label_error, label_step;
  std::string cmd_ok_Caption;
  bool cmd_ok_Visible = true;
  bool Loaded = false;
};

struct SolverState {
  double SimplexSteps = -1;  // -1 asks for a fresh start
  double SimplexXA = 0, SimplexEA = 0;  // point A (the worse) and its error
  double SimplexXB = 0, SimplexEB = 0;  // point B (the better) and its error
  double LastError = 0;                 // the error at the end of the previous pass
  FrmSimplexModel window;
};

}  // namespace ostravel
