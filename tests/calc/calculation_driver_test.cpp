// The calculation path end to end: an entry line in, memory lines, clipboard and messages out.
#include "calc/calculation_driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "database/ini_access.h"
#include "memory/memories.h"
#include "session/session.h"
#include "startup/startup.h"
#include "support/recording_platform.h"
#include "support/temp_dir.h"

namespace ostravel {
namespace {

std::string Delivered(const std::string& name) {
  return testing::ReadFileBytes(std::string(OSTRAVEL_DATA_DIR) + "/" + name);
}

class Driver : public ::testing::Test {
 protected:
  Driver() : s(ui) {
    dir.Write("TOLVANE.INI", Delivered("TOLVANE.INI"));
    dir.Write("TOLVANEC.INI", Delivered("TOLVANEC.INI"));
    dir.Write("ISOTOPES.TXT", Delivered("ISOTOPES.TXT"));
    s.db.ProgramFolder = dir.path().string();
    EXPECT_TRUE(Form_Load(s, "").ShowWindow);
  }

  // Types a line and presses Enter.
  void Run(const std::string& line) {
    s.window.entryline.Text = line;
    int key = kEnterKey;
    entryline_KeyPress(s, key);
    EXPECT_EQ(key, 0);
  }

  // The memory lines as listed, newest first.
  const std::vector<std::string>& Lines() const { return s.window.memories.Items; }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& m : ui.messages)
      texts.push_back(m.text);
    return texts;
  }

  testing::TempDir dir;
  testing::RecordingPlatform ui;
  Session s;
};

struct LineRow {
  const char* name;
  const char* line;
  std::vector<std::string> lines;  // memory lines expected, newest first
};

TEST_F(Driver, EntryLinesGiveMemoryLines) {
  const LineRow rows[] = {
      {"plain arithmetic", "2*3+4", {"M1: 10.00\t2*3+4"}},
      {"alternative brackets and double star",
       "[2+3]*{4}; 2**3",
       {"M3: 8.000\t(2+3)*(4); 2^3", "M2: 8.000\t2^3", "M1: 20.00\t(2+3)*(4)"}},
      {"two pieces store the last once more",
       "1+1; 2+2",
       {"M3: 4.000\t1+1; 2+2", "M2: 4.000\t2+2", "M1: 2.000\t1+1"}},
      {"comment dropped", "5 ' five", {"M1: 5.000\t5"}},
      {"equals at the end is ignored", "2+3=", {"M1: 5.000\t2+3="}},
      {"x 10 form", "1.5 x 10-3", {"M1: 1.500E-3\t1.5 E-3"}},
      {"x between numbers is the multiplication sign",
       "2 x 3; (1+2)x4",
       {"M3: 12.00\t2 * 3; (1+2)*4", "M2: 12.00\t(1+2)*4", "M1: 6.000\t2 * 3"}},
      {"value and description pasted", "8.314|gas constant", {"M1: 8.314\t8.314|gas constant"}},
      {"memory line pasted", "5\tM1: 5", {"M1: 5.000\t5\tM1: 5"}},
      {"E notation taken for a formula first", "2E5", {"M1: 2.000E+5\t2E5"}},
      {"molar mass of a hydrate", "CuSO4.5H2O", {"M1: 249.7\tMW(CuSO4.5H2O)"}},
      {"lone MW term stores one line", "MW(H2O)", {"M1: 18.02\tMW(H2O)"}},
      {"constant and arithmetic", "<R>*298.15", {"M2: 2479\t<R>*298.15", "M1: 8.314\t<R>"}},
      {"weight percent", "wt%(Cu,CuSO4)", {"M1: 39.82\twt%(Cu,CuSO4)"}},
      {"empty pieces skipped", ";;3;", {"M2: 3.000\t;;3;", "M1: 3.000\t3"}},
  };
  for (const auto& row : rows) {
    ResetMemories(s);
    Run(row.line);
    EXPECT_EQ(Lines(), row.lines) << row.name;
    EXPECT_EQ(Messages(), std::vector<std::string>{}) << row.name;
    ui.messages.clear();
  }
}

TEST_F(Driver, EquationsAreSolvedWithTheirOptions) {
  const struct {
    const char* line;
    double root;
  } rows[] = {
      {"x^2=4, X0=1", 2},
      {"x^2=9, X0=1", 3},
      {"x^2=2, X0=1", std::sqrt(2.0)},
      {"<R>*x=16.6289252363065, X0=1", 2},
      {"x^3-2*x-5=0", 2.0945514815423265},
  };
  for (const auto& row : rows) {
    ResetMemories(s);
    Run(row.line);
    ASSERT_GE(s.memory.MemoryCount, 1) << row.line;
    EXPECT_NEAR(s.memory.MemValues[s.memory.MemoryCount], row.root, 1e-7) << row.line;
    EXPECT_EQ(s.memory.MemNames[s.memory.MemoryCount], row.line);
  }
  EXPECT_TRUE(s.window.txtE.Visible);
}

TEST_F(Driver, FailuresStopTheLineAndKeepEarlierResults) {
  const struct {
    const char* name;
    const char* line;
    const char* message;
    int stored;
  } rows[] = {
      {"division by zero", "1+1; 1/0; 3+3", "divide error", 1},
      {"log of zero", "LOG(0)", "log error", 0},
      {"unbalanced opening", "(2+3", "Unmatched parentheses ()", 0},
      {"unbalanced closing", "2+3)", "Unmatched parentheses ()", 0},
      {"nested constant brackets", "<<R>>", "Unmatched constant brackets <>", 0},
      {"open constant bracket", "2*<R", "Unmatched constant brackets <>", 0},
      {"bad capitalisation", "nacl",
       "\"nacl\" is not an element symbol: to avoid any ambiguity, correct capitalization for "
       "elements is required.",
       0},
      {"unknown element", "Q2", "\"Q\" in Q2 is not an element symbol.", 0},
      {"formula inside arithmetic", "1+1; 2*H2O; 3",
       "2*H2O: a formula inside a calculation is written MW(H2O)", 1},
      {"memory out of range", "2*M 1001",
       "2*M 1001: M1001 names no memory line (there are none yet)", 0},
      {"memory line not made yet", "1+1; M2*2", "M2*2: M2 names no memory line (there is only M1)",
       1},
      {"recall of a line not made yet", "1; 2; M5",
       "M5: M5 names no memory line (the lines are M1 to M2)", 2},
      {"capital X between numbers", "2X3",
       "2X3: \"X\" between two numbers: write 2*3 for a product, or 2*X*3 with the unknown", 0},
      {"equation without x", "1+1; 2=3", "there is no x in the equation 2=3", 1},
      {"equation without a left side", "=5", "=5: a number is missing before \"=\"", 0},
      {"solver options alone", "X0=1",
       "there is no x in the equation X0=1 (the options X0= and DX= follow a comma: x^2=2, X0=1)",
       0},
      {"comma before the options forgotten", "x^2=2 X0=1",
       "more than one \"=\" in the equation x^2=2 X0=1 (the options X0= and DX= follow a comma: "
       "x^2=2, X0=1)",
       0},
      {"no real root", "x^2=-1; 3+3",
       "no solution found near X0 = 0 (|f(x)| = 1.00 at x = -1.054E-8)", 0},
  };
  for (const auto& row : rows) {
    ResetMemories(s);
    ui.messages.clear();
    Run(row.line);
    EXPECT_EQ(Messages(), std::vector<std::string>{row.message}) << row.name;
    EXPECT_EQ(s.memory.MemoryCount, row.stored) << row.name;
    EXPECT_TRUE(s.window.CalculateEnabled) << row.name;
    EXPECT_FALSE(s.window.WaitCursor) << row.name;
  }
}

TEST_F(Driver, UnbalancedParenthesesPutTheCaretAtTheFault) {
  const struct {
    const char* line;
    int caret;
  } rows[] = {{"2+3)*4", 4}, {"(2+3", 4}, {"((1)", 4}, {"1+<R", 4}, {"<R>>", 4}, {"<<R>", 2}};
  for (const auto& row : rows) {
    s.window.entryline = TextBoxModel{row.line, 0, 0};
    DoCalculations(s);
    EXPECT_EQ(s.window.entryline.SelStart, row.caret) << row.line;
    EXPECT_EQ(s.window.entryline.SelLength, 0) << row.line;
  }
}

TEST_F(Driver, UnknownConstantSkipsOnlyItsPiece) {
  Run("<NOPE>; 2+2");
  EXPECT_EQ(Messages(), std::vector<std::string>{"constant <NOPE> not found"});
  EXPECT_EQ(s.memory.MemNames[1], "2+2");
  // The line as a whole has no result when one of its pieces was dropped.
  EXPECT_EQ(s.memory.MemoryCount, 1);
}

TEST_F(Driver, DigitDirective) {
  Run("#3");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("with 3 significant digits"), std::string::npos);
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(s.window.entryline.Text, "");
  EXPECT_EQ(s.memory.MemoryCount, 0);
  Run("2/3");
  EXPECT_EQ(Lines().front(), "M1: 0.667\t2/3");

  Run("#");  // all digits
  EXPECT_NE(ui.messages.back().text.find("with all significant digits"), std::string::npos);
  Run("1/3");
  EXPECT_EQ(Lines().front(), "M2: 0.333333333333333\t1/3");

  Run("#12");  // only the first digit counts
  Run("2/3");
  EXPECT_EQ(Lines().front(), "M3: 7.E-1\t2/3");

  Run("2/3 #4");  // later in the line: for this run only
  EXPECT_EQ(Lines().front(), "M4: 0.6667\t2/3");
  EXPECT_EQ(s.calc.RunSigDigits, 4);
  Run("1/3");
  EXPECT_EQ(Lines().front(), "M5: 3.E-1\t1/3");
}

TEST_F(Driver, XStandsForTheLastResultShown) {
  Run("x+1");
  EXPECT_EQ(s.memory.MemValues[1], 1);
  Run("x*10");
  EXPECT_EQ(s.memory.MemValues[2], 10);
  Run("MW(H2O)");  // a molar mass alone is the last result listed
  Run("x+1");
  EXPECT_EQ(s.memory.MemValues[4], 18.015 + 1);
}

TEST_F(Driver, BareMemoryReferenceRecallsWithoutANewLine) {
  Run("10; 20; 30");
  ASSERT_EQ(s.memory.MemoryCount, 4);
  ui.clipboard.clear();
  Run("M2");
  EXPECT_EQ(s.memory.MemoryCount, 4);
  EXPECT_EQ(ui.clipboard, "20.00");
  EXPECT_EQ(s.window.memories.TopIndex, 2);
  EXPECT_EQ(s.window.lblClip.Caption, "Clipboard now: 20.00");
}

TEST_F(Driver, ResultGoesToClipboardAndX) {
  Run("2*MW(CuSO4.5H2O)");
  EXPECT_EQ(ui.clipboard, "499.4");
  EXPECT_EQ(s.window.txtX.Caption, "499.354");
  EXPECT_TRUE(s.window.txtX.Visible);
  Run("x/2");
  EXPECT_EQ(ui.clipboard, "249.7");
}

TEST_F(Driver, TraceDirectiveOpensAndClosesItsFile) {
  std::string log = dir.File("trace.log");
  ui.inputAnswers.push_back(log);
  Run("testing");
  EXPECT_TRUE(s.calc.TraceFlag);
  EXPECT_EQ(ui.questions, std::vector<std::string>{"Enter a log file name"});
  EXPECT_TRUE(std::filesystem::exists(log));
  EXPECT_EQ(s.window.entryline.Text, "");
  Run("testing");
  EXPECT_FALSE(s.calc.TraceFlag);
  EXPECT_EQ(Messages(), std::vector<std::string>{"file " + log + " closed"});
  EXPECT_EQ(s.memory.MemoryCount, 0);
}

TEST_F(Driver, QuietModeShowsNoMessagesAndTakesNoTraceDirective) {
  s.flags.QuietMode = true;
  Run("1/0 ' testing");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(s.calc.TraceFlag);
  EXPECT_EQ(s.engine.EvalError, "divide error");
  Run("#3");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Driver, ASecondLineCannotStartWhileOneRuns) {
  int reentries = 0;
  ui.onYield = [&] {
    if (reentries++ == 0) {
      s.window.entryline.Text = "100+1";
      int key = kEnterKey;
      entryline_KeyPress(s, key);
    }
  };
  Run("2+3");
  ui.onYield = nullptr;
  EXPECT_EQ(ui.beeps, 1);
  ASSERT_EQ(s.memory.MemoryCount, 1);
  EXPECT_EQ(s.memory.MemValues[1], 5);
}

TEST_F(Driver, AFailureThrownThroughALinePutsTheWindowBack) {
  const int digits = s.format.SigDigits;
  ui.onYield = [] { throw 42; };       // not a failure of the calculation: nothing catches it
  s.window.entryline.Text = "2+3 #2";  // two digits for this line only
  EXPECT_THROW(DoCalculations(s), int);
  ui.onYield = nullptr;
  EXPECT_FALSE(s.calc.Running);
  EXPECT_FALSE(s.window.WaitCursor);
  EXPECT_TRUE(s.window.CalculateEnabled);
  EXPECT_EQ(s.format.SigDigits, digits);
  Run("2+3");
  EXPECT_EQ(ui.beeps, 0);
  EXPECT_EQ(s.memory.MemValues[s.memory.MemoryCount], 5);
}

TEST_F(Driver, CalculateSelectsTheEntryLineUnlessParenthesesAreUnbalanced) {
  const struct {
    const char* line;
    int selStart, selLength;
  } rows[] = {{"1+2", 0, 3}, {"1/0", 0, 3}, {"(1+2", 4, 0}, {"1+<R", 0, 4}};
  for (const auto& row : rows) {
    s.window.entryline = TextBoxModel{row.line, 0, 0};
    Calculate_Click(s);
    EXPECT_EQ(s.window.entryline.SelStart, row.selStart) << row.line;
    EXPECT_EQ(s.window.entryline.SelLength, row.selLength) << row.line;
  }
}

TEST_F(Driver, EveryDeliveredExampleRunsWithoutAnError) {
  int examples = 0;
  std::string categories = s.lists.ExampleCategories;
  for (std::string category = PopListItem(categories); !category.empty();
       category = PopListItem(categories)) {
    std::string keys = IniGetKeys(s, "Examples-" + category) + kNul;
    for (std::string key = PopListItem(keys); !key.empty(); key = PopListItem(keys)) {
      ResetMemories(s);
      ui.messages.clear();
      Run(IniGetEntry(s, "Examples", category, key));
      ++examples;
      EXPECT_EQ(s.calc.RunErrors, 0) << category << ": " << key;
      EXPECT_GE(s.memory.MemoryCount, 1) << category << ": " << key;
      for (const auto& message : ui.messages)
        EXPECT_NE(message.icon, MessageIcon::Exclamation) << key << ": " << message.text;
    }
  }
  EXPECT_GT(examples, 50);
}

class OneShot : public ::testing::Test {
 protected:
  OneShot() : s(ui) {
    dir.Write("TOLVANE.INI", Delivered("TOLVANE.INI"));
    s.db.ProgramFolder = dir.path().string();
  }
  testing::TempDir dir;
  testing::RecordingPlatform ui;
  Session s;
};

TEST_F(OneShot, CommandLineCalculationAnswersAndEnds) {
  const struct {
    const char* name;
    const char* commandLine;
    std::vector<std::string> messages;
    const char* clipboard;
    int exitCode;
  } rows[] = {
      {"arithmetic", "2+3", {"5"}, "5.000", 0},
      {"molar mass shows the mass, not a stale x", "CuSO4.5H2O", {"249.677"}, "249.7", 0},
      {"several pieces", "1+1; 2*MW(H2O)", {"36.03"}, "36.03", 0},
      {"lower-case html is a calculation",
       "html",
       {"\"html\" is not an element symbol: to avoid any ambiguity, correct "
        "capitalization for elements is required."},
       "",
       1},
      // A result after the message would be a number the run never computed.
      {"failure shows its message and no result", "1/0", {"divide error"}, "", 1},
      {"failure after a result shows no result either", "2+3; 1/0", {"divide error"}, "5.000", 1},
      {"equation without a root",
       "x^2=-1",
       {"no solution found near X0 = 0 (|f(x)| = 1.00 at x = -1.054E-8)"},
       "",
       1},
  };
  for (const auto& row : rows) {
    testing::RecordingPlatform platform;
    Session session(platform);
    session.db.ProgramFolder = dir.path().string();
    StartResult result = Form_Load(session, row.commandLine);
    EXPECT_FALSE(result.ShowWindow) << row.name;
    EXPECT_EQ(result.ExitCode, row.exitCode) << row.name;
    std::vector<std::string> texts;
    for (const auto& m : platform.messages)
      texts.push_back(m.text);
    EXPECT_EQ(texts, row.messages) << row.name;
    EXPECT_EQ(platform.clipboard, row.clipboard) << row.name;
    EXPECT_EQ(session.window.Caption, "Ostravel 4.0");
  }
}

TEST_F(OneShot, ClipboardModeCalculatesTheClipboardSilently) {
  ui.clipboard = "2*3";
  StartResult result = Form_Load(s, "clipboard");
  EXPECT_FALSE(result.ShowWindow);
  EXPECT_EQ(ui.clipboard, "6.000");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OneShot, PagesThatCannotBeWrittenEndWithExitCodeOne) {
  dir.Write("tolvane1.ht_", "<html>%%refs%%</html>");
  dir.Write("tolvanes.ht_", "<html>");
  EXPECT_EQ(Form_Load(s, "HTML").ExitCode, 0);
  // A folder where a page should go: the page cannot replace it.
  std::filesystem::remove(dir.path() / "tolvanem.htm");
  std::filesystem::create_directory(dir.path() / "tolvanem.htm");
  testing::RecordingPlatform platform;
  Session session(platform);
  session.db.ProgramFolder = dir.path().string();
  const StartResult result = Form_Load(session, "HTML");
  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_TRUE(result.ShowWindow);  // the window opens after the pages, as it always does
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].text.find("tolvanem.htm"), std::string::npos);
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Exclamation);
}

TEST_F(OneShot, WindowModesOpenTheWindow) {
  for (const char* mode : {"", "DDE"}) {
    testing::RecordingPlatform platform;
    Session session(platform);
    session.db.ProgramFolder = dir.path().string();
    EXPECT_TRUE(Form_Load(session, mode).ShowWindow) << mode;
    EXPECT_FALSE(session.flags.Unattended) << mode;
  }
}

}  // namespace
}  // namespace ostravel
