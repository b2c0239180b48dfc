#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "engine/engine_test_support.h"
#include "session/engine_calls.h"
#include "session/session.h"
#include "support/recording_platform.h"

namespace ostravel {
namespace {

using testing::Evaluate;
using testing::RecordingPlatform;

struct ValueRow {
  const char* name;
  const char* input;
  double expected;
};

void ExpectValues(Session& s, const ValueRow* rows, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const ValueRow& row = rows[i];
    s.engine.XValue = 5;  // the value of X in every row
    testing::Outcome outcome = Evaluate(s, row.input);
    ASSERT_FALSE(outcome.failure.has_value()) << row.name << ": " << row.input;
    EXPECT_NEAR(outcome.value, row.expected, 1E-12 * std::max(1.0, std::fabs(row.expected)))
        << row.name << ": " << row.input;
  }
}

TEST(EvaluateExpression, PrecedenceOutcomes) {
  const ValueRow rows[] = {
      {"product before sum", "2*3+4", 10},
      {"subtraction is left-associative", "2-3-4", -5},
      {"power is left-associative", "2^3^2", 64},
      {"leading minus subtracts from 0 after the power", "-2^2", -4},
      {"unary minus after an operator binds before the power", "3*-2^2", 12},
      {"unary minus inside parentheses binds before the power", "(-2^2)", 4},
      {"E notation binds more loosely than a following power", "2E3^2", 2000000},
      {"value before parenthesis is a product", "2(3+4)", 14},
      {"two values in a row are a product", "2 3", 6},
      {"value before X is a product", "2X", 10},
      {"two groups in a row are a product", "(2)(3)", 6},
      {"value before a function is a product", "2LOG100", 4},
      {"implied product binds before a sum", "1+2 3", 7},
      {"implied product before a group binds before a sum", "1+2(3)", 7},
      {"implied product before a function binds before a difference", "9-2LOG100", 5},
      {"implied product applies a stacked power first", "2^2 3", 12},
      {"logarithm acts before the power", "LOG 100^2", 4},
      {"factorial", "3!", 6},
      {"factorial binds before the power", "2^3!", 64},
      {"division before subtraction", "8-6/2", 5},
      {"division is left-associative", "8/4/2", 1},
      {"parentheses override priorities", "(2+3)*4", 20},
      {"percent sign has no effect", "50%", 50},
      {"unary plus after an operator", "2*+3", 6},
  };
  RecordingPlatform ui;
  Session s(ui);
  ExpectValues(s, rows, std::size(rows));
}

TEST(EvaluateExpression, ParserEdgeCases) {
  const ValueRow rows[] = {
      {"leading plus", "+5", 5},
      {"leading minus", "-5", -5},
      {"leading blanks before the sign", "   -5", -5},
      {"E notation", "1.5E2", 150},
      {"E notation in lower case", "1e2", 100},
      {"E notation with negative exponent", "2E-3", 0.002},
      {"EXP is not E notation", "EXP(1)", std::exp(1.0)},
      {"exp in lower case", "exp(1)", std::exp(1.0)},
      {"sqrt with a blank", "sqrt 16", 4},
      {"SQR with parentheses", "SQR(16)", 4},
      {"bare S", "S16", 4},
      {"LN of EXP", "LN EXP 1", 1},
      {"pH of a group", "PH(1E-7)", 7},
      {"pH acts on the 1 before the E-notation product", "PH 1E-7", 0},
      {"equals in direct mode multiplies", "2 = 3", 6},
      {"three values around equals", "1 = 2 = 3", 6},
      {"non-numeric tail ignored", "2A", 2},
      {"non-numeric token is 0", "A2", 0},
      {"trailing binary operator dropped", "2+", 2},
      {"X in lower case", "x^2", 25},
      {"X alone", "X", 5},
      {"trailing function acts on the value before it", "100 LOG", 2},
      {"open function is applied before a power is stacked", "1000 LOG ^ 2", 9},
      {"memory 0 recall", "M0", 0},
  };
  RecordingPlatform ui;
  Session s(ui);
  ExpectValues(s, rows, std::size(rows));
}

TEST(EvaluateExpression, DirectModeWritesXValueAndClearsFxAbs) {
  RecordingPlatform ui;
  Session s(ui);
  s.engine.FxAbs = 7;
  s.engine.XValue = 3;
  s.engine.EvalText = "X+1";
  s.engine.EvalMode = EvalMode::Direct;
  EvaluateExpression(s);
  EXPECT_EQ(s.engine.XValue, 4);
  EXPECT_EQ(s.engine.FxAbs, 0);
  EXPECT_EQ(s.engine.EvalText, "X+1");
  // The result becomes X of the next evaluation.
  EvaluateExpression(s);
  EXPECT_EQ(s.engine.XValue, 5);
  EXPECT_EQ(s.engine.EvalError, "");
}

struct SolverRow {
  const char* name;
  const char* input;
  double x;
  double fxAbs;
};

TEST(EvaluateExpression, SolverModeGivesTheAbsoluteDifferenceOfBothSides) {
  const SolverRow rows[] = {
      {"X^2 = 4 above the root", "X^2 = 4", 3, 5},
      {"X^2 = 4 below the root", "X^2 = 4", 1, 3},
      {"X^2 = 4 at the root", "X^2 = 4", -2, 0},
      {"sides are grouped", "X+1 = 2*3", 2, 3},
      {"no equals sign", "X-10", 4, 6},
      {"each equals sign rewritten", "X = 1 = 1", 5, 3},
      {"leading minus", "-X = 4", 1, 5},
      {"log of 0 is -25", "LOG 0 = -25", 0, 0},
      {"pH of 0 is 25", "PH 0 = 25", 0, 0},
  };
  RecordingPlatform ui;
  Session s(ui);
  for (const auto& row : rows) {
    s.engine.XValue = row.x;
    testing::Outcome outcome = Evaluate(s, row.input, EvalMode::Solver);
    ASSERT_FALSE(outcome.failure.has_value()) << row.name;
    EXPECT_NEAR(outcome.value, row.fxAbs, 1E-12) << row.name;
    EXPECT_EQ(s.engine.XValue, row.x) << row.name << ": X must stay as the caller set it";
  }
}

struct FailureRow {
  const char* name;
  const char* input;
  FailureKind kind;
};

TEST(EvaluateExpression, MalformedExpressionsFailCleanly) {
  auto repeat = [](const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
      text += piece;
    return text;
  };
  const std::string values51 = repeat("1=", 50) + "1";
  const std::string nested49 = repeat("(", 49) + "1" + repeat(")", 49);
  const std::string nested60 = repeat("(", 60) + "1" + repeat(")", 60);
  const std::string hugeNumber = "1" + std::string(400, '0');
  const FailureRow rows[] = {
      {"51 values", values51.c_str(), FailureKind::IndexOutOfRange},
      {"49 nested parentheses", nested49.c_str(), FailureKind::IndexOutOfRange},
      {"60 nested parentheses", nested60.c_str(), FailureKind::IndexOutOfRange},
      {"four values without operators", "1 = 2 = 3 = 4", FailureKind::IndexOutOfRange},
      {"empty parentheses", "()", FailureKind::IndexOutOfRange},
      {"empty text", "", FailureKind::IndexOutOfRange},
      {"blanks only", "   ", FailureKind::IndexOutOfRange},
      {"lone closing parenthesis", ")", FailureKind::IndexOutOfRange},
      {"unmatched closing parenthesis", "2)", FailureKind::IndexOutOfRange},
      {"unmatched closing parenthesis after a group", "(2+3))*4", FailureKind::IndexOutOfRange},
      {"function without operand", "LOG", FailureKind::IndexOutOfRange},
      {"factorial without operand", "!5", FailureKind::IndexOutOfRange},
      {"memory number above 1000", "M 1001", FailureKind::IndexOutOfRange},
      {"negative memory number", "M -1", FailureKind::IndexOutOfRange},
      {"number beyond the double range", hugeNumber.c_str(), FailureKind::Overflow},
      {"operator * at the start", "*5", FailureKind::Calculation},
  };
  RecordingPlatform ui;
  Session s(ui);
  for (const auto& row : rows) {
    testing::Outcome outcome = Evaluate(s, row.input);
    ASSERT_TRUE(outcome.failure.has_value()) << row.name;
    EXPECT_EQ(*outcome.failure, row.kind) << row.name;
    EXPECT_GE(s.engine.ValTop, 0) << row.name;
    EXPECT_LT(s.engine.ValTop, kStackSize) << row.name;
    EXPECT_LT(s.engine.OpTop, kStackSize) << row.name;
    // The next evaluation starts afresh.
    EXPECT_EQ(Evaluate(s, "2+2").value, 4) << row.name;
  }
}

TEST(EvaluateExpression, DeepestNestingThatFitsTheOperatorStack) {
  RecordingPlatform ui;
  Session s(ui);
  std::string text = std::string(48, '(') + "7" + std::string(48, ')');
  testing::Outcome outcome = Evaluate(s, text);
  ASSERT_FALSE(outcome.failure.has_value());
  EXPECT_EQ(outcome.value, 7);
}

struct LeadingOperatorRow {
  const char* input;
  const char* message;
};

TEST(EvaluateExpression, LeadingBinaryOperatorIsRejected) {
  const LeadingOperatorRow rows[] = {
      {"*5", "Operator * not allowed"},
      {"/5", "Operator / not allowed"},
      {"^2", "Operator ^ not allowed"},
      {"  *5", "Operator * not allowed"},
  };
  RecordingPlatform ui;
  Session s(ui);
  for (const auto& row : rows) {
    s.engine.XValue = 3;
    s.engine.FxAbs = 3;
    testing::Outcome outcome = Evaluate(s, row.input);
    ASSERT_TRUE(outcome.failure.has_value()) << row.input;
    EXPECT_EQ(s.engine.EvalError, row.message);
    EXPECT_EQ(s.engine.XValue, 0) << row.input;
    EXPECT_EQ(s.engine.FxAbs, 0) << row.input;
  }
}

TEST(EvaluateExpression, YieldsAfterEveryTokenAndOperator) {
  RecordingPlatform ui;
  Session s(ui);
  Evaluate(s, "2*3+4");
  // Five tokens; "*", "+" and the upper bottom marker are applied.
  EXPECT_EQ(ui.yields, 8);
  ui.yields = 0;
  Evaluate(s, "2*3+4" + std::string(100, ' ') + "+1");
  EXPECT_EQ(ui.yields, 11) << "blanks are no tokens";
}

TEST(GetToken, TakesTheNextBlankSeparatedToken) {
  RecordingPlatform ui;
  Session s(ui);
  s.engine.ParseText = "  12A   X (";
  s.engine.ParsePos = 0;
  s.engine.XValue = 4.5;
  struct Row {
    const char* token;
    double value;
  };
  const Row rows[] = {{"12A", 12}, {"--", 4.5}, {"(", 0}};
  for (const auto& row : rows) {
    GetToken(s);
    EXPECT_EQ(s.engine.Token, row.token);
    EXPECT_EQ(s.engine.TokenValue, row.value) << row.token;
  }
  EXPECT_EQ(s.engine.ParsePos, s.engine.ParseText.size());
}

// The scanning pass as the in-place rewrite of the upper-cased text describes it. The engine
// builds the same text in one pass; this slow version checks that the two agree.
std::string RewriteInPlace(std::string text, bool solver) {
  const std::string operators = "(+-*/)LNES@^M&_=!%P";
  auto at = [&](std::size_t i, const char* word) {
    return text.compare(i, std::strlen(word), word) == 0;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (solver && c == '=') {
      text = "( " + text.substr(0, i) + " ) - ( " + text.substr(i + 1) + " )";
      i += 8;
      c = ' ';
    }
    if (c == 'E' && !at(i, "EXP")) {
      text = text.substr(0, i) + " @ 10 ^ " + text.substr(i + 1);
      i += 7;
      c = ' ';
    }
    if (at(i, "LOG")) text.replace(i, 3, "L  ");
    if (at(i, "LN")) {
      text.replace(i, 2, " N");
      c = ' ';
    }
    if (at(i, "PH")) text.replace(i, 2, "P ");
    if (at(i, "EXP")) text.replace(i, 3, "E  ");
    if (at(i, "SQRT")) text.replace(i, 4, "S   ");
    if (at(i, "SQR")) text.replace(i, 3, "S  ");
    if (operators.find(c) != std::string::npos || c == 'X') {
      text.insert(i + 1, " ");
      text.insert(i, " ");
      i += 2;
    }
  }
  return text;
}

std::string ExpectedParseText(const std::string& input, bool solver) {
  std::string text = input.substr(std::min(input.find_first_not_of(' '), input.size()));
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) text = " 0 " + text;
  for (char& c : text)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return RewriteInPlace(text, solver);
}

TEST(EvaluateExpression, ScanningPassMatchesTheInPlaceRewrite) {
  const char* rows[] = {
      "2E5",      "2e-3",     "EXP(1)",  "expexp",   "LOG100",   "log ln lnx", "PH7",
      "SQRT16",   "sqr(9)",   "SQRSQRT", "X^2=4",    "a=b=c",    "-x=4",       "E",
      "EX",       "LNE",      "3!%",     "M12",      "2(3)",     "pHE-7",      "=",
      "LOGLOGLN", "SQRTEXPE", "1 E 2",   "ELNEXPPH", "  -EXP 1", "X=",
  };
  RecordingPlatform ui;
  Session s(ui);
  for (const char* row : rows) {
    for (EvalMode mode : {EvalMode::Direct, EvalMode::Solver}) {
      Evaluate(s, row, mode);
      EXPECT_EQ(s.engine.ParseText, ExpectedParseText(row, mode == EvalMode::Solver))
          << row << " in mode " << mode;
    }
  }
}

TEST(EvaluateExpression, ScanningPassMatchesTheInPlaceRewriteOnRandomTexts) {
  const std::string alphabet = "0123456789.+-()=!%^*/ EeLlOoGgNnPpHhSsQqRrTtXxMA";
  std::mt19937 random(20240601);
  std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 24);
  RecordingPlatform ui;
  Session s(ui);
  for (int n = 0; n < 3000; ++n) {
    std::string text;
    for (int i = length(random); i > 0; --i)
      text += alphabet[letter(random)];
    std::size_t first = text.find_first_not_of(' ');
    if (first != std::string::npos && std::string("*/^").find(text[first]) != std::string::npos) {
      continue;
    }
    const EvalMode mode = n % 2 ? EvalMode::Solver : EvalMode::Direct;
    Evaluate(s, text, mode);
    ASSERT_EQ(s.engine.ParseText, ExpectedParseText(text, mode == EvalMode::Solver))
        << "\"" << text << "\" in mode " << mode;
  }
}

}  // namespace
}  // namespace ostravel
