// The operator table of the expression engine and checked access to its two stacks.
#pragma once

#include <array>
#include <cstddef>

#include "runtime/failure.h"
#include "state/engine_state.h"

namespace ostravel {

// What an operator does to the value stack.
enum class Arity {
  None,  // computes nothing: "(", ")", "=" and the bottom markers
  One,   // one operand, applied as soon as its operand is there
  Two,   // binary
};

struct OperatorInfo {
  char symbol;     // its character in the scanned text
  int precedence;  // a higher one binds more tightly
  Arity arity;
};

// Operator k (from 1) is kOperators[k - 1]. Operators 20 to 27 are the bottom markers of the
// operator stack; they share the character of "=" but are never read from the text.
inline constexpr std::array<OperatorInfo, 27> kOperators = {{
    {'(', 1, Arity::None}, {'+', 2, Arity::Two},  {'-', 2, Arity::Two},  {'*', 3, Arity::Two},
    {'/', 3, Arity::Two},  {')', 4, Arity::None}, {'L', 5, Arity::One},  {'N', 5, Arity::One},
    {'E', 5, Arity::One},  {'S', 5, Arity::One},  {'@', 6, Arity::Two},  {'^', 7, Arity::Two},
    {'M', 8, Arity::One},  {'&', 9, Arity::One},  {'_', 9, Arity::One},  {'=', 10, Arity::None},
    {'!', 11, Arity::One}, {'%', 5, Arity::One},  {'P', 5, Arity::One},  {'=', 0, Arity::None},
    {'=', 0, Arity::None}, {'=', 0, Arity::None}, {'=', 0, Arity::None}, {'=', 0, Arity::None},
    {'=', 0, Arity::None}, {'=', 0, Arity::None}, {'=', 0, Arity::None},
}};

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

// The entry of operator k; an index outside the table is an index failure.
inline const OperatorInfo& OperatorAt(int k) {
  if (k < 1 || k > static_cast<int>(kOperators.size())) Fail(FailureKind::IndexOutOfRange);
  return kOperators[static_cast<std::size_t>(k - 1)];
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
