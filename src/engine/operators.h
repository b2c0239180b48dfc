// The operator table of the expression engine and checked access to its two stacks.
#pragma once

#include <string_view>

#include "engine/engine_state.h"
#include "runtime/failure.h"

namespace ostravel {

// Position k (from 1) of each string belongs to operator k.
inline constexpr std::string_view OperatorChars = "(+-*/)LNES@^M&_=!%P========";
// Precedence, compared by character code: "0" < ... < "9" < "A" < "B".
inline constexpr std::string_view OpPriority = "122334555567899AB5500000000";
// "2" binary, "1" one-operand (applied as soon as its operand is there), "0" computes nothing.
inline constexpr std::string_view OpClass = "022220111122111011100000000";
static_assert(OperatorChars.size() == 27 && OpPriority.size() == 27 && OpClass.size() == 27);

enum Operator : int {
  kOpOpen = 1,
  kOpPlus = 2,
  kOpMinus = 3,
  kOpTimes = 4,
  kOpDivide = 5,
  kOpClose = 6,
  kOpLog = 7,
  kOpLn = 8,
  kOpExp = 9,
  kOpSqrt = 10,
  kOpENotation = 11,
  kOpPower = 12,
  kOpMemory = 13,
  kOpUnaryPlus = 14,
  kOpUnaryMinus = 15,
  kOpEquals = 16,
  kOpFactorial = 17,
  kOpPercent = 18,
  kOpPH = 19,
  kOpBottom = 20,
};

inline constexpr char kClassOneOperand = '1';
inline constexpr char kTimesPriority = '3';

inline char OperatorPriority(int k) {
  if (k < 1 || k > static_cast<int>(OpPriority.size())) Fail(FailureKind::IndexOutOfRange);
  return OpPriority[k - 1];
}

inline char OperatorClass(int k) {
  if (k < 1 || k > static_cast<int>(OpClass.size())) Fail(FailureKind::IndexOutOfRange);
  return OpClass[k - 1];
}

// Every stack access goes through these: an index outside 0..50 is an index failure.
inline int& OpSlot(EngineState& e, int index) {
  if (index < 0 || index >= kStackSize) Fail(FailureKind::IndexOutOfRange);
  return e.OpStack[static_cast<std::size_t>(index)];
}

inline double& ValSlot(EngineState& e, int index) {
  if (index < 0 || index >= kStackSize) Fail(FailureKind::IndexOutOfRange);
  return e.ValStack[static_cast<std::size_t>(index)];
}

inline int TopOperator(EngineState& e) {
  return OpSlot(e, e.OpTop);
}

}  // namespace ostravel
