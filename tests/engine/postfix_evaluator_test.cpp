#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "engine/engine_test_support.h"
#include "session/engine_calls.h"
#include "session/session.h"
#include "support/recording_platform.h"

namespace ostravel {
namespace {

using testing::Evaluate;
using testing::RecordingPlatform;

struct TextRow {
  const char* name;
  const char* input;
  EvalMode mode;
  const char* shown;  // the message the user sees
};

TEST(ApplyOperator, EveryFailureShowsTheTextOfItsOperation) {
  const TextRow rows[] = {
      {"sum beyond range", "1E308+1E308", EvalMode::Direct, "overflow error"},
      {"difference beyond range", "-1E308-1E308", EvalMode::Direct, "overflow error"},
      {"product beyond range", "1E200*1E200", EvalMode::Direct, "overflow error"},
      {"division by zero", "7/0", EvalMode::Direct, "divide error"},
      {"zero by zero", "0/0", EvalMode::Direct, "divide error"},
      {"quotient beyond range", "1E300/1E-300", EvalMode::Direct, "divide error"},
      {"power beyond range", "10^400", EvalMode::Direct, "exponentiation error"},
      {"negative base, fractional exponent", "(-8)^(1/3)", EvalMode::Direct,
       "exponentiation error"},
      {"zero to a negative power", "0^-1", EvalMode::Direct, "exponentiation error"},
      {"E notation exponent beyond range", "1E309", EvalMode::Direct, "exponentiation error"},
      {"EXP beyond range", "EXP 710", EvalMode::Direct, "exponentiation error"},
      {"LOG of 0", "LOG 0", EvalMode::Direct, "log error"},
      {"LOG of a negative value", "LOG(-1)", EvalMode::Direct, "log error"},
      {"LN of 0", "LN 0", EvalMode::Direct, "log error"},
      {"PH of 0", "PH 0", EvalMode::Direct, "log error"},
      {"square root of a negative value", "SQR(-4)", EvalMode::Direct, "square root error"},
      {"factorial of a fraction", "2.5!", EvalMode::Direct, "factorial error"},
      {"factorial beyond range", "171!", EvalMode::Direct, "factorial error"},
      {"factorial beyond the 16-bit counter", "40000!", EvalMode::Direct, "factorial error"},
      {"negative factorial beyond the 16-bit counter", "(-40000)!", EvalMode::Direct,
       "factorial error"},
      {"leading operator", "*5", EvalMode::Direct, "Operator * not allowed"},
      {"memory number outside 0..1000", "M 1001", EvalMode::Direct,
       "Can't evaluate this expression: Subscript out of range"},
      {"E-notation product beyond range", "9E308", EvalMode::Direct,
       "Can't evaluate this expression: Overflow"},
      {"sum beyond range in solver mode", "X+1E308+1E308 = 0", EvalMode::Solver, "overflow error"},
      {"power beyond range in solver mode", "10^400 = X", EvalMode::Solver, "exponentiation error"},
  };
  for (const auto& row : rows) {
    RecordingPlatform ui;
    Session s(ui);
    testing::Outcome outcome = Evaluate(s, row.input, row.mode);
    ASSERT_TRUE(outcome.failure.has_value()) << row.name;
    ShowEvalError(s, *outcome.failure);
    ASSERT_EQ(ui.messages.size(), 1u) << row.name;
    EXPECT_EQ(ui.messages[0].text, row.shown) << row.name;
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(ui.messages[0].title, "Ostravel");
    EXPECT_EQ(s.engine.EvalError, row.shown) << row.name;
  }
}

struct ValueRow {
  const char* name;
  const char* input;
  EvalMode mode;
  double expected;
};

TEST(ApplyOperator, OperatorResults) {
  const ValueRow rows[] = {
      {"division by zero in solver mode", "7/0", EvalMode::Solver, 7E25},
      {"LOG 0 in solver mode", "LOG 0", EvalMode::Solver, 25},
      {"LN 0 in solver mode", "LN 0 + 100", EvalMode::Solver, 100 + std::log(1E-25)},
      {"PH 0 in solver mode", "PH 0", EvalMode::Solver, 25},
      {"square root of a negative value in solver mode", "SQR(-4)", EvalMode::Solver,
       std::sqrt(1E-25)},
      {"square root of 0", "SQR 0", EvalMode::Direct, 0},
      {"square root of 0 in solver mode", "SQR 0", EvalMode::Solver, 0},
      {"0 factorial", "0!", EvalMode::Direct, 1},
      {"1 factorial", "1!", EvalMode::Direct, 1},
      {"5 factorial", "5!", EvalMode::Direct, 120},
      {"negative whole factorial unchanged", "(-3)!", EvalMode::Direct, -3},
      {"170 factorial is finite", "170!", EvalMode::Direct, 7.257415615307994e306},
      {"EXP just below the limit", "EXP 709", EvalMode::Direct, std::exp(709.0)},
      {"zero to the power zero", "0^0", EvalMode::Direct, 1},
      {"negative base, whole exponent", "(-2)^3", EvalMode::Direct, -8},
      {"common logarithm", "LOG 1000", EvalMode::Direct, 3},
      {"pH", "PH 0.001", EvalMode::Direct, 3},
      {"unary minus", "2*-3", EvalMode::Direct, -6},
      {"tiny quotient underflows quietly", "1E-300/1E300", EvalMode::Direct, 0},
  };
  RecordingPlatform ui;
  Session s(ui);
  for (const auto& row : rows) {
    testing::Outcome outcome = Evaluate(s, row.input, row.mode);
    ASSERT_FALSE(outcome.failure.has_value()) << row.name;
    EXPECT_NEAR(outcome.value, row.expected, 1E-12 * std::max(1.0, std::fabs(row.expected)))
        << row.name;
  }
}

TEST(ApplyOperator, FailedOperationIsPoppedAndLeavesTheValuesUnchanged) {
  RecordingPlatform ui;
  Session s(ui);
  testing::Outcome outcome = Evaluate(s, "1/0");
  ASSERT_EQ(outcome.failure, FailureKind::DivisionByZero);
  EXPECT_EQ(s.engine.EvalError, "divide error");
  EXPECT_EQ(s.engine.ValTop, 2);
  EXPECT_EQ(s.engine.ValStack[1], 1);
  EXPECT_EQ(s.engine.ValStack[2], 0);
  EXPECT_EQ(s.engine.TokenOp, 5);
  EXPECT_EQ(s.engine.OpTop, 2) << "the division was popped";
}

TEST(ApplyOperator, MemoryRecallReadsTheMemoryValues) {
  RecordingPlatform ui;
  Session s(ui);
  s.memory.MemValues[3] = 18.015;
  s.memory.MemValues[1000] = -2;
  struct Row {
    const char* input;
    double expected;
  };
  const Row rows[] = {{"M 3", 18.015},   {"M3", 18.015}, {"2M3", 36.03},
                      {"M 3.9", 18.015}, {"M1000", -2},  {"M(1+2)", 18.015}};
  for (const auto& row : rows) {
    testing::Outcome outcome = Evaluate(s, row.input);
    ASSERT_FALSE(outcome.failure.has_value()) << row.input;
    EXPECT_DOUBLE_EQ(outcome.value, row.expected) << row.input;
  }
}

struct StepRow {
  const char* name;
  const char* input;
  double stepBefore;
  double stepAfter;
};

TEST(ApplyOperator, SubtractionLowersTheSolverStep) {
  const StepRow rows[] = {
      {"small difference lowers the step", "10-9.99", 1, (10 - 9.99) / 97},
      {"zero difference leaves it", "5-5", 1, 1},
      {"larger difference leaves it", "10-9.99", 1E-6, 1E-6},
      {"leading minus is a subtraction", "-5", 100, 5.0 / 97},
      {"addition leaves it", "10+0.01", 1, 1},
  };
  RecordingPlatform ui;
  Session s(ui);
  for (const auto& row : rows) {
    s.engine.SolverStep = row.stepBefore;
    ASSERT_FALSE(Evaluate(s, row.input).failure.has_value()) << row.name;
    EXPECT_DOUBLE_EQ(s.engine.SolverStep, row.stepAfter) << row.name;
  }
  s.engine.SolverStep = 1;
  s.engine.XValue = 10;
  Evaluate(s, "X = 9.99", EvalMode::Solver);
  EXPECT_NEAR(s.engine.SolverStep, 0.000103, 1E-6) << "also in solver mode";
}

TEST(ShowEvalError, GenericTextNamesTheFailureKind) {
  struct Row {
    FailureKind kind;
    const char* shown;
  };
  const Row rows[] = {
      {FailureKind::InvalidArgument,
       "Can't evaluate this expression: Invalid procedure call or argument"},
      {FailureKind::Overflow, "Can't evaluate this expression: Overflow"},
      {FailureKind::IndexOutOfRange, "Can't evaluate this expression: Subscript out of range"},
      {FailureKind::DivisionByZero, "Can't evaluate this expression: Division by zero"},
      {FailureKind::TypeMismatch, "Can't evaluate this expression: Type mismatch"},
  };
  for (const auto& row : rows) {
    RecordingPlatform ui;
    Session s(ui);
    ShowEvalError(s, row.kind);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, row.shown);
    EXPECT_EQ(s.engine.EvalError, row.shown);
  }
}

TEST(ShowEvalError, QuietModeShowsNothingAndKeepsTheText) {
  struct Row {
    const char* name;
    bool quiet;
    std::size_t messages;
  };
  const Row rows[] = {{"interactive", false, 1}, {"gateway request", true, 0}};
  for (const auto& row : rows) {
    RecordingPlatform ui;
    Session s(ui);
    s.flags.QuietMode = row.quiet;
    testing::Outcome outcome = Evaluate(s, "LOG 0");
    ASSERT_TRUE(outcome.failure.has_value());
    ShowEvalError(s, *outcome.failure);
    EXPECT_EQ(ui.messages.size(), row.messages) << row.name;
    EXPECT_EQ(s.engine.EvalError, "log error") << row.name;
  }
}

TEST(ShowEvalError, PlatformFailureIsIgnored) {
  struct ThrowingPlatform : RecordingPlatform {
    void MessageBox(const std::string&, MessageIcon, const std::string&) override {
      throw std::runtime_error("no display");
    }
  } throwing;
  Session quiet(throwing);
  quiet.engine.EvalError = "divide error";
  EXPECT_NO_THROW(ShowEvalError(quiet, FailureKind::DivisionByZero));
  EXPECT_EQ(quiet.engine.EvalError, "divide error");
}

TEST(StripSpaces, RemovesEveryBlank) {
  struct Row {
    const char* input;
    const char* expected;
  };
  const Row rows[] = {
      {"  2 * MW( H2O ) ", "2*MW(H2O)"}, {"", ""}, {"   ", ""}, {"a\tb", "a\tb"}, {"x", "x"}};
  for (const auto& row : rows)
    EXPECT_EQ(StripSpaces(row.input), row.expected) << row.input;
}

TEST(FindLast, PositionFromOneOfTheLastOccurrence) {
  struct Row {
    const char* text;
    char ch;
    int expected;
  };
  const Row rows[] = {
      {"CuSO4.5H2O", '.', 6}, {"a.b.c", '.', 4}, {"abc", '.', 0}, {"", '.', 0}, {".", '.', 1}};
  for (const auto& row : rows)
    EXPECT_EQ(FindLast(row.text, row.ch), row.expected) << row.text;
}

TEST(IsNumericText, WholeTextMustBeANumber) {
  struct Row {
    const char* text;
    bool numeric;
  };
  const Row rows[] = {{"8.314", true}, {" -1.5E-3 ", true}, {"1.00794(7)", false}, {"", false},
                      {"abc", false},  {"1E400", false},    {"2 3", false}};
  for (const auto& row : rows)
    EXPECT_EQ(IsNumericText(row.text), row.numeric) << row.text;
}

}  // namespace
}  // namespace ostravel
