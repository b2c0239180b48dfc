// The variables of the expression engine (the module TOLVANE1). Callers set the inputs,
// call EvaluateExpression and read the outputs.
#pragma once

#include <array>
#include <chrono>
#include <string>

namespace ostravel {

inline constexpr int kStackSize = 51;  // slots 0..50 of both stacks

// How an expression is evaluated.
enum class EvalMode {
  Direct,  // "D": the value of the expression, into XValue
  Solver,  // "S": each "=" becomes a difference of its sides, |result| into FxAbs
};

// What the parser read last: an operator (also at the start) or a value.
enum class TokenKind { Operator, Value };

// The value of XValue that means "the solver produced no answer".
inline constexpr double kNoValue = 9.9E+99;

struct EngineState {
  // Inputs and outputs.
  std::string EvalText;
  ostravel::EvalMode EvalMode = ostravel::EvalMode::Direct;
  std::string EvalError;  // text of the operation under way, "" when none
  double XValue = 0;      // value of X on entry; the result after a direct evaluation
  double FxAbs = 0;       // |result| after a solver evaluation, 0 after a direct one
  double SolverStep = 0;  // the solver's step, lowered by subtractions
  // The size of the terms of the last evaluation, against which the solver judges whether
  // |f(x)| is small: the largest magnitude among the operands of the additions and
  // subtractions outside any parentheses (in solver mode: of each side, and the two sides
  // themselves), and among the operands of every addition and subtraction.
  double OuterTermScale = 0;
  double InnerTermScale = 0;

  // Parser state.
  std::string ParseText;
  std::size_t ParsePos = 0;  // the unread part of ParseText starts here
  std::string Token;
  double TokenValue = 0;
  int TokenOp = 0;
  TokenKind LastKind = TokenKind::Operator;
  std::array<int, kStackSize> OpStack{};
  int OpTop = 0;
  std::array<double, kStackSize> ValStack{};
  int ValTop = 0;

  // The time by which the run must end, and the message it then ends with (engine/time_limit.h);
  // no limit by default.
  using Clock = std::chrono::steady_clock;
  Clock::time_point Deadline = Clock::time_point::max();
  std::string DeadlineMessage;
};

}  // namespace ostravel
