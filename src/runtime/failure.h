// Run-time failures: every failure of a calculation is one exception type carrying its kind.
#pragma once

#include <exception>
#include <string>

namespace ostravel {

enum class FailureKind {
  InvalidArgument,  // logarithm of a value <= 0, root of a negative value, ...
  Overflow,         // a result beyond the double range or a 16-bit conversion out of range
  IndexOutOfRange,  // a stack, memory or table index outside its bounds
  DivisionByZero,
  TypeMismatch,  // a text that should be a number is not
  Calculation,   // raised deliberately after the message was put into EvalError
};

// Short description of a failure kind, as shown after "Can't evaluate this expression: ".
const char* FailureDescription(FailureKind kind);

class RunFailure : public std::exception {
 public:
  explicit RunFailure(FailureKind kind) : kind_(kind) {}
  FailureKind kind() const noexcept { return kind_; }
  const char* what() const noexcept override { return FailureDescription(kind_); }

 private:
  FailureKind kind_;
};

[[noreturn]] inline void Fail(FailureKind kind) {
  throw RunFailure(kind);
}

// Runs one step of a sequence whose later steps run even when an earlier one failed: the
// loaders and handlers that skip a failing step and go on with the next one.
template <typename Step>
void RunStep(Step step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

}  // namespace ostravel
