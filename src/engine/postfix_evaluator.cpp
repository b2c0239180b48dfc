// ApplyOperator: carries out the operator on top of the operator stack on the value stack.
// Doubles do not trap, so every operation checks its own result and raises the failure the
// arithmetic would have raised; the operation's text is in EvalError by then.
#include <cmath>

#include "engine/engine.h"
#include "engine/operators.h"
#include "engine/time_limit.h"
#include "runtime/conversions.h"

namespace ostravel {
namespace {

// Replaces an argument that would make a division, logarithm or root fail in solver mode.
constexpr double kSolverSubstitute = 1E-25;
const double kLn10 = std::log(10.0);

double Finite(double result, FailureKind kind) {
  if (!std::isfinite(result)) Fail(kind);
  return result;
}

bool IsBinary(int k) {
  switch (k) {
    case kOpPlus:
    case kOpMinus:
    case kOpTimes:
    case kOpDivide:
    case kOpENotation:
    case kOpPower:
      return true;
    default:
      return false;
  }
}

double Power(double a, double b) {
  if (a == 0 && b < 0) Fail(FailureKind::DivisionByZero);
  double r = std::pow(a, b);
  if (std::isnan(r)) Fail(FailureKind::InvalidArgument);  // negative base, fractional exponent
  return Finite(r, FailureKind::Overflow);
}

double Binary(EngineState& e, int k, double a, double b) {
  switch (k) {
    case kOpPlus:
      e.EvalError = "overflow error";
      return Finite(a + b, FailureKind::Overflow);
    case kOpMinus:
      e.EvalError = "overflow error";
      return Finite(a - b, FailureKind::Overflow);
    case kOpTimes:
      e.EvalError = "overflow error";
      return Finite(a * b, FailureKind::Overflow);
    case kOpDivide:
      e.EvalError = "divide error";
      if (b == 0) {
        if (e.EvalMode != EvalMode::Solver) Fail(FailureKind::DivisionByZero);
        b = kSolverSubstitute;
      }
      return Finite(a / b, FailureKind::Overflow);
    case kOpENotation:
      return Finite(a * b, FailureKind::Overflow);
    default:  // kOpPower
      e.EvalError = "exponentiation error";
      return Power(a, b);
  }
}

double Logarithm(const EngineState& e, double v) {
  if (v <= 0) {
    if (e.EvalMode != EvalMode::Solver) Fail(FailureKind::InvalidArgument);
    v = kSolverSubstitute;
  }
  return std::log(v);
}

double Factorial(double v) {
  if (v != std::floor(v)) Fail(FailureKind::InvalidArgument);
  if (v == 0) v = 1;
  // The loop counter is a 16-bit integer: a start beyond its range overflows.
  for (int i = ToInt16(v - 1); i >= 2; --i) {
    v = Finite(i * v, FailureKind::Overflow);
  }
  return v;
}

// The operators that act on the top value; every other one is only popped.
double OneOperand(EngineState& e, const MemoryState& memory, int k, double v) {
  switch (k) {
    case kOpPH:
      e.EvalError = "log error";
      return -(Logarithm(e, v) / kLn10);
    case kOpLog:
      e.EvalError = "log error";
      return Logarithm(e, v) / kLn10;
    case kOpLn:
      e.EvalError = "log error";
      return Logarithm(e, v);
    case kOpExp:
      e.EvalError = "exponentiation error";
      return Finite(std::exp(v), FailureKind::Overflow);
    case kOpSqrt:
      e.EvalError = "square root error";
      if (v < 0) {
        if (e.EvalMode != EvalMode::Solver) Fail(FailureKind::InvalidArgument);
        v = kSolverSubstitute;
      }
      return std::sqrt(v);
    case kOpMemory: {
      double n = std::floor(v);
      if (!(n >= 0 && n <= kMaxMemories)) Fail(FailureKind::IndexOutOfRange);
      return memory.MemValues[static_cast<std::size_t>(n)];
    }
    case kOpUnaryMinus:
      return -v;
    case kOpFactorial:
      e.EvalError = "factorial error";
      return Factorial(v);
    default:  // kOpUnaryPlus
      return v;
  }
}

bool ReadsOperand(int k) {
  switch (k) {
    case kOpPH:
    case kOpLog:
    case kOpLn:
    case kOpExp:
    case kOpSqrt:
    case kOpMemory:
    case kOpUnaryPlus:
    case kOpUnaryMinus:
    case kOpFactorial:
      return true;
    default:
      return false;
  }
}

// Records the size of the operands of an addition or subtraction. In solver mode each side
// of the equation is wrapped in one pair of parentheses, which does not make its terms inner.
void NoteTerms(EngineState& e, double size) {
  e.InnerTermScale = std::fmax(e.InnerTermScale, size);
  int open = 0;
  for (int i = 1; i <= e.OpTop; ++i)
    open += e.OpStack[static_cast<std::size_t>(i)] == kOpOpen;
  if (open <= (e.EvalMode == EvalMode::Solver ? 1 : 0))
    e.OuterTermScale = std::fmax(e.OuterTermScale, size);
}

}  // namespace

void ApplyOperator(EngineState& e, const MemoryState& memory, Platform& ui) {
  int& slot = OpSlot(e, e.OpTop);
  const int k = slot;
  e.TokenOp = k;
  slot = 0;
  --e.OpTop;

  if (e.ValTop > 1 && IsBinary(k)) {
    double& a = ValSlot(e, e.ValTop - 1);
    const double b = ValSlot(e, e.ValTop);
    if (k == kOpPlus || k == kOpMinus) NoteTerms(e, std::fmax(std::fabs(a), std::fabs(b)));
    a = Binary(e, k, a, b);
    --e.ValTop;
    if (k == kOpMinus && a != 0 && e.SolverStep > std::fabs(a)) {
      e.SolverStep = std::fabs(a) / 97;
    }
  } else if (ReadsOperand(k)) {
    // A one-operand operator with no value on the stack has no operand to act on.
    if (e.ValTop < 1) Fail(FailureKind::IndexOutOfRange);
    double& top = ValSlot(e, e.ValTop);
    top = OneOperand(e, memory, k, top);
  }

  e.EvalError.clear();
  YieldToEvents(e, ui);  // also ends a run that outlasts its time limit
}

}  // namespace ostravel
