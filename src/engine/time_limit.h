// A limit on the time a run of calculations may take, for a caller that must answer promptly
// whatever it is sent (the web gateway). It is checked where a long evaluation yields to
// pending events, after every token and operator.
#pragma once

#include <chrono>
#include <string>

namespace ostravel {

class Session;

// Lets pending events run, as the platform's YieldToEvents does, and stops the run when the
// session's time limit has passed: EvalError names the limit and the calculation fails.
void YieldToEvents(Session& s);

// Limits the runs made while it exists to the time allowed; message is the error they end with.
class TimeLimit {
 public:
  TimeLimit(Session& s, std::chrono::milliseconds allowed, std::string message);
  ~TimeLimit();
  TimeLimit(const TimeLimit&) = delete;
  TimeLimit& operator=(const TimeLimit&) = delete;

 private:
  Session& s_;
};

}  // namespace ostravel
