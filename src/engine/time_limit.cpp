#include "engine/time_limit.h"

#include "runtime/failure.h"

namespace ostravel {

void YieldToEvents(EngineState& e, Platform& ui) {
  if (e.Deadline != EngineState::Clock::time_point::max() &&
      EngineState::Clock::now() > e.Deadline) {
    e.EvalError = e.DeadlineMessage;
    Fail(FailureKind::Calculation);
  }
  ui.YieldToEvents();
}

TimeLimit::TimeLimit(EngineState& e, std::chrono::milliseconds allowed, std::string message)
    : e_(e) {
  e.Deadline = EngineState::Clock::now() + allowed;
  e.DeadlineMessage = std::move(message);
}

TimeLimit::~TimeLimit() {
  e_.Deadline = EngineState::Clock::time_point::max();
  e_.DeadlineMessage.clear();
}

}  // namespace ostravel
