// Prints the driver's and the engine's codes by name in test reports.
#pragma once

#include <ostream>

#include "state/calc_state.h"
#include "state/engine_state.h"

namespace ostravel {

inline std::ostream& operator<<(std::ostream& out, CalcKind kind) {
  const std::string_view name = CalcKindName(kind);
  return out << (name.empty() ? std::string_view("(none)") : name);
}

inline std::ostream& operator<<(std::ostream& out, EvalMode mode) {
  return out << (mode == EvalMode::Solver ? "solver" : "direct");
}

}  // namespace ostravel
