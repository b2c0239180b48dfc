// EvaluateExpression and GetToken: a scanning pass that rewrites function names, E notation
// and (in solver mode) the equals sign and isolates every operator, then an operator-precedence
// conversion that applies each operator as soon as the priorities release it.
#include <algorithm>
#include <array>
#include <cmath>

#include "engine/engine.h"
#include "engine/operators.h"
#include "engine/time_limit.h"
#include "runtime/conversions.h"

namespace ostravel {
namespace {

// Operator index of every single-character token, 0 for a value. A typed "=" is operator 16,
// never one of the bottom markers that share its character.
constexpr std::array<int, 256> kOperatorIndex = [] {
  std::array<int, 256> table{};
  for (int k = static_cast<int>(kOperators.size()); k >= 1; --k) {
    table[static_cast<unsigned char>(kOperators[static_cast<std::size_t>(k - 1)].symbol)] = k;
  }
  return table;
}();

int OperatorIndex(std::string_view token) {
  if (token.size() != 1) return 0;
  return kOperatorIndex[static_cast<unsigned char>(token[0])];
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// True when the text at pos spells word, without regard to case.
bool WordAt(std::string_view text, std::size_t pos, std::string_view word) {
  if (text.size() - pos < word.size()) return false;
  for (std::size_t j = 0; j < word.size(); ++j) {
    if (Upper(text[pos + j]) != word[j]) return false;
  }
  return true;
}

// The scanning pass, built in one left-to-right pass into ParseText. It gives the same text as
// rewriting the upper-cased expression in place: in solver mode every "=" wraps everything
// before it in "( ... ) - (" and closes the group at the end; "E" not starting "EXP" becomes
// " @ 10 ^ "; the function names shrink to their letter padded with blanks; every operator
// character and "X" gets a blank on both sides.
void ScanExpression(EngineState& e, std::string_view text, bool leadingZero) {
  const bool solver = e.EvalMode == EvalMode::Solver;
  const std::size_t equals = solver ? std::count(text.begin(), text.end(), '=') : 0;
  std::string& out = e.ParseText;
  out.clear();
  out.reserve(2 * text.size() + 6 * equals + 8);
  for (std::size_t n = 0; n < equals; ++n) {
    out += "( ";
  }
  if (leadingZero) out += " 0 ";
  for (std::size_t i = 0; i < text.size();) {
    const char c = Upper(text[i]);
    if (solver && c == '=') {
      out += " ) - ( ";
      i += 1;
    } else if (c == 'E' && !WordAt(text, i, "EXP")) {
      out += " @ 10 ^ ";
      i += 1;
    } else if (c == 'L' && WordAt(text, i, "LOG")) {
      out += " L   ";
      i += 3;
    } else if (c == 'L' && WordAt(text, i, "LN")) {
      out += "  N ";
      i += 2;
    } else if (c == 'P' && WordAt(text, i, "PH")) {
      out += " P  ";
      i += 2;
    } else if (c == 'E') {  // "EXP"
      out += " E   ";
      i += 3;
    } else if (c == 'S' && WordAt(text, i, "SQRT")) {
      out += " S    ";
      i += 4;
    } else if (c == 'S' && WordAt(text, i, "SQR")) {
      out += " S   ";
      i += 3;
    } else if (kOperatorIndex[static_cast<unsigned char>(c)] != 0 || c == 'X') {
      out += ' ';
      out += c;
      out += ' ';
      i += 1;
    } else {
      out += c;
      i += 1;
    }
  }
  for (std::size_t n = 0; n < equals; ++n) {
    out += "  ) ";
  }
  e.ParsePos = 0;
}

void PushOperator(EngineState& e, int k) {
  if (e.OpTop + 1 >= kStackSize) Fail(FailureKind::IndexOutOfRange);
  e.OpStack[static_cast<std::size_t>(++e.OpTop)] = k;
}

void PushValue(EngineState& e, double value) {
  if (e.ValTop + 1 >= kStackSize) Fail(FailureKind::IndexOutOfRange);
  e.ValStack[static_cast<std::size_t>(++e.ValTop)] = value;
}

void ApplyOneOperandOperators(EngineState& e, const MemoryState& memory, Platform& ui) {
  while (OperatorAt(TopOperator(e)).arity == Arity::One) {
    ApplyOperator(e, memory, ui);
  }
}

// Two operands in a row imply a multiplication: first the stacked operators that bind at
// least as tightly as it are applied.
void ApplyBeforeImpliedTimes(EngineState& e, const MemoryState& memory, Platform& ui) {
  const int times = kOperators[kOpTimes - 1].precedence;
  while (times <= OperatorAt(TopOperator(e)).precedence && TopOperator(e) != kOpBottom) {
    ApplyOperator(e, memory, ui);
  }
}

void ReadValue(EngineState& e, const MemoryState& memory, Platform& ui) {
  const bool afterValue = e.LastKind == TokenKind::Value;
  if (afterValue) ApplyBeforeImpliedTimes(e, memory, ui);
  PushValue(e, e.TokenValue);
  ApplyOneOperandOperators(e, memory, ui);
  if (afterValue) PushOperator(e, kOpTimes);
  e.LastKind = TokenKind::Value;
}

void CloseGroup(EngineState& e, const MemoryState& memory, Platform& ui) {
  while (TopOperator(e) != kOpOpen) {
    ApplyOperator(e, memory, ui);
    // An unmatched ")": the rest of the text is dropped; popping past the bottom fails below.
    if (e.OpTop == 1) e.ParsePos = e.ParseText.size();
  }
  --e.OpTop;
  ApplyOneOperandOperators(e, memory, ui);
  e.LastKind = TokenKind::Value;
}

void ReadOperator(EngineState& e, const MemoryState& memory, Platform& ui) {
  const int k = e.TokenOp;
  const bool oneOperand = OperatorAt(k).arity == Arity::One;
  if (!oneOperand && k != kOpOpen) {
    // Left associativity: every stacked operator of the same or higher priority goes first.
    while (OperatorAt(k).precedence <= OperatorAt(TopOperator(e)).precedence &&
           TopOperator(e) != kOpBottom) {
      ApplyOperator(e, memory, ui);
    }
    ApplyOneOperandOperators(e, memory, ui);
  }
  // A function, memory recall, percent sign or "(" right after a value multiplies it.
  if ((oneOperand || k == kOpOpen) && e.LastKind == TokenKind::Value) {
    ApplyBeforeImpliedTimes(e, memory, ui);
    PushOperator(e, kOpTimes);
  }
  PushOperator(e, k);
  e.LastKind = TokenKind::Operator;
}

}  // namespace

void GetToken(EngineState& e) {
  const std::string& text = e.ParseText;
  std::size_t begin = std::min(e.ParsePos, text.size());
  while (begin < text.size() && text[begin] == ' ') {
    ++begin;
  }
  std::size_t end = text.find(' ', begin);
  if (end == std::string::npos) end = text.size();
  e.Token.assign(text, begin, end - begin);
  while (end < text.size() && text[end] == ' ') {
    ++end;
  }
  e.ParsePos = end;
  if (e.Token == "X") {
    e.TokenValue = e.XValue;
    e.Token = "--";  // no operator
  } else if (e.Token.size() == 1 && (e.Token[0] < '0' || e.Token[0] > '9')) {
    e.TokenValue = 0;  // an operator or a lone letter: no number to read
  } else {
    e.TokenValue = LeadingNumber(e.Token);
  }
}

void EvaluateExpression(EngineState& e, const MemoryState& memory, Platform& ui) {
  e.EvalError.clear();
  e.OuterTermScale = 0;
  e.InnerTermScale = 0;
  std::string_view text = e.EvalText;
  text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
  e.OpTop = 2;
  e.ValTop = 0;
  e.OpStack[0] = kOpOpen;
  e.OpStack[1] = kOpBottom;
  e.OpStack[2] = kOpBottom;
  e.LastKind = TokenKind::Operator;

  bool leadingZero = false;
  if (!text.empty() && std::string_view("+-*/^").find(text[0]) != std::string_view::npos) {
    if (text[0] == '+' || text[0] == '-') {
      leadingZero = true;  // a leading sign is an operation on 0
    } else {
      e.ParseText.assign(text);
      e.ParsePos = 0;
      e.EvalError = std::string("Operator ") + text[0] + " not allowed";
      e.XValue = 0;
      e.FxAbs = 0;
      Fail(FailureKind::Calculation);
    }
  }
  ScanExpression(e, text, leadingZero);

  while (e.ParsePos < e.ParseText.size()) {
    GetToken(e);
    if (e.LastKind == TokenKind::Operator && e.Token == "+") e.Token = "&";
    if (e.LastKind == TokenKind::Operator && e.Token == "-") e.Token = "_";
    e.TokenOp = OperatorIndex(e.Token);
    if (e.TokenOp == 0) {
      ReadValue(e, memory, ui);
    } else if (e.TokenOp == kOpFactorial) {
      PushOperator(e, kOpFactorial);
      ApplyOperator(e, memory, ui);
    } else if (e.TokenOp == kOpClose && e.OpTop > 1) {
      CloseGroup(e, memory, ui);
    } else {
      ReadOperator(e, memory, ui);
    }
    YieldToEvents(e, ui);  // also ends a run that outlasts its time limit
  }

  while (e.OpTop > 1) {
    ApplyOperator(e, memory, ui);
  }
  // Values left with no operator between them are multiplied; each pass turns the top slot
  // into a "*", so only three such values fit before the stack runs out.
  while (e.ValTop > 1) {
    OpSlot(e, e.OpTop) = kOpTimes;
    ApplyOperator(e, memory, ui);
  }
  // An expression without any value, such as "()", has no result.
  if (e.ValTop < 1) Fail(FailureKind::IndexOutOfRange);
  const double result = e.ValStack[1];
  if (e.EvalMode == EvalMode::Direct) {
    e.XValue = result;
    e.FxAbs = 0;
  } else {
    e.FxAbs = std::fabs(result);
  }
}

}  // namespace ostravel
