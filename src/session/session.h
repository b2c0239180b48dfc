// One run of Ostravel: the state of every subsystem, owned in one place. The routines of the
// subsystems are free functions that take the session.
#pragma once

#include "platform/platform.h"
#include "platform/window_model.h"
#include "runtime/number_format.h"
#include "state/calc_state.h"
#include "state/chemistry_state.h"
#include "state/database_state.h"
#include "state/engine_state.h"
#include "state/frm_modify_model.h"
#include "state/gateway_state.h"
#include "state/isotope_table.h"
#include "state/key_list_state.h"
#include "state/memory_state.h"
#include "state/run_flags.h"
#include "state/solver_state.h"

namespace ostravel {

class Session {
 public:
  explicit Session(Platform& platform) : ui(platform) {}
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Platform& ui;
  MainWindowModel window;  // the main window dravik
  RunFlags flags;
  EngineState engine;
  NumberFormat format;
  MemoryState memory;
  CalcState calc;
  DatabaseState db;
  KeyListState lists;
  ElementTable elements;
  FormulaState formula;
  IsotopeTable isotopes;  // loaded when a calculation first needs it
  SolverState solver;
  FrmModifyModel modify;  // the database editor frmModify
  GatewayState gateway;
};

}  // namespace ostravel
