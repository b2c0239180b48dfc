// A limit on the time a run of calculations may take, for a caller that must answer promptly
// whatever it is sent (the web gateway). It is checked where a long evaluation yields to
// pending events, after every token and operator.
#pragma once

#include <chrono>
#include <string>

#include "platform/platform.h"
#include "state/engine_state.h"

namespace ostravel {

// Lets pending events run, as the platform's YieldToEvents does, and stops the run when the
// engine's time limit has passed: EvalError names the limit and the calculation fails.
void YieldToEvents(EngineState& e, Platform& ui);

// Limits the runs made while it exists to the time allowed; message is the error they end with.
class TimeLimit {
 public:
  TimeLimit(EngineState& e, std::chrono::milliseconds allowed, std::string message);
  ~TimeLimit();
  TimeLimit(const TimeLimit&) = delete;
  TimeLimit& operator=(const TimeLimit&) = delete;

 private:
  EngineState& e_;
};

}  // namespace ostravel
