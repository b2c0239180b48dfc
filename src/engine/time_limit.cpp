#include "engine/time_limit.h"

#include "runtime/failure.h"
#include "session/session.h"

namespace ostravel {

void YieldToEvents(Session& s) {
  CalcState& c = s.calc;
  if (c.Deadline != CalcState::Clock::time_point::max() && CalcState::Clock::now() > c.Deadline) {
    s.engine.EvalError = c.DeadlineMessage;
    Fail(FailureKind::Calculation);
  }
  s.ui.YieldToEvents();
}

TimeLimit::TimeLimit(Session& s, std::chrono::milliseconds allowed, std::string message) : s_(s) {
  s.calc.Deadline = CalcState::Clock::now() + allowed;
  s.calc.DeadlineMessage = std::move(message);
}

TimeLimit::~TimeLimit() {
  s_.calc.Deadline = CalcState::Clock::time_point::max();
  s_.calc.DeadlineMessage.clear();
}

}  // namespace ostravel
