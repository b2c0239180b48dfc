#include "gateway/gateway_requests.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "calc/calculation_driver.h"
#include "engine/time_limit.h"
#include "gateway/gateway_test_support.h"
#include "gateway/request_limits.h"
#include "runtime/file_io.h"

namespace ostravel::testing {
namespace {

// Every field of the answer on a line of its own, so that a test can read them back.
const char* const kAnswerTemplate =
    "scalc=%%scalc%%\r\nerr=%%err%%\r\nx=%%x%%\r\ne=%%e%%\r\nnsig=%%nsig%%\r\n"
    "nmem=%%nmem%%\r\nsmem=%%smem%%\r\nseq=%%seq%%\r\nsbal=%%sbal%%\r\n";

class Requests : public ::testing::Test {
 protected:
  void SetUp() override {
    g.Load("[Options]\nDefault Significant Digits=4\n[AtomicWeights]\nH=1.008\nHe=4.0026\n");
    g.dir.Write("tolvane.ht_", kAnswerTemplate);
    ASSERT_TRUE(OpenRegisterFolder(g.s, g.dir.File("register")));
  }

  // Queues the command and runs ticks until the queue is empty.
  void Run(const std::string& command) {
    Form_LinkExecute(g.s, command);
    for (int i = 0; i < 10 && g.s.window.Timer1Enabled; ++i)
      Timer1_Timer(g.s);
  }

  std::string Answer(int slot) {
    return g.dir.Read("register/linkr" + std::to_string(slot) + ".htm");
  }

  // The value of one "name=" line of the answer.
  static std::string Line(const std::string& answer, const std::string& name) {
    std::size_t p = answer.find(name + "=");
    if (p == std::string::npos) return "<missing>";
    p += name.size() + 1;
    return answer.substr(p, answer.find("\r\n", p) - p);
  }

  GatewaySession g;
};

TEST_F(Requests, ExecuteTable) {
  struct Row {
    const char* name;
    std::vector<const char*> commands;
    std::vector<const char*> queue;
    int linkCount;
    std::size_t labels;  // lnkWWW elements, 0 included
    bool timer;          // a reset leaves the timer to find the queue empty
  } rows[] = {
      {"slots create labels and queue in order",
       {"2 GET /calc?CALC=1", "5 GET /calc?CALC=2"},
       {"2 GET /calc?CALC=1", "5 GET /calc?CALC=2"},
       5,
       6,
       true},
      {"negative slot only creates labels", {"-4"}, {}, 4, 5, false},
      {"slot 0 empties the queue", {"3 GET /calc?CALC=1", "0"}, {}, 0, 4, true},
      {"slot beyond 16 bits is refused", {"70000 GET /calc?CALC=1"}, {}, 0, 1, false},
      {"negative slot beyond 16 bits is refused", {"-40000"}, {}, 0, 1, false},
      {"slot rounds to the nearest integer",
       {" 2.6 GET /calc?CALC=1"},
       {" 2.6 GET /calc?CALC=1"},
       3,
       4,
       true},
      {"huge number is refused", {"1E999 GET /calc?CALC=1"}, {}, 0, 1, false},
  };
  for (const Row& row : rows) {
    GatewaySession fresh;
    for (const char* command : row.commands)
      Form_LinkExecute(fresh.s, command);
    std::vector<std::string> queue(fresh.s.window.lstLink.begin(), fresh.s.window.lstLink.end());
    EXPECT_EQ(queue, std::vector<std::string>(row.queue.begin(), row.queue.end())) << row.name;
    EXPECT_EQ(fresh.s.gateway.LinkCount, row.linkCount) << row.name;
    EXPECT_EQ(fresh.s.window.lnkWWW.size(), row.labels) << row.name;
    EXPECT_EQ(fresh.s.window.Timer1Enabled, row.timer) << row.name;
  }
}

TEST_F(Requests, WithdrawTakesBackOnlyAWaitingCommandOfItsSlotAndId) {
  struct Row {
    const char* name;
    int slot;
    const char* id;
    bool busy;  // a tick is answering the oldest command
    bool withdrawn;
    std::size_t left;
  } rows[] = {
      {"the waiting command of slot and ID", 2, "21", false, true, 2},
      {"the oldest when no tick is at work", 2, "20", false, true, 2},
      {"not the one a tick is answering", 2, "20", true, false, 3},
      {"another slot's ID", 3, "21", false, false, 3},
      {"an ID no command has", 2, "99", false, false, 3},
  };
  for (const Row& row : rows) {
    GatewaySession fresh;
    for (const char* command :
         {"2 POST /calc?ID=20&MODIFY=a HTTP/1.1", "3 POST /calc?ID=30&CALC=1 HTTP/1.1",
          "2 POST /calc?ID=21&MODIFY=b HTTP/1.1"})
      Form_LinkExecute(fresh.s, command);
    fresh.s.gateway.LinkBusy = row.busy;
    EXPECT_EQ(Form_LinkWithdraw(fresh.s, row.slot, row.id), row.withdrawn) << row.name;
    EXPECT_EQ(fresh.s.window.lstLink.size(), row.left) << row.name;
  }
}

TEST_F(Requests, AnswersInArrivalOrderOnePerTick) {
  Form_LinkExecute(g.s, "2 GET /calc?CALC=1%2B1&ID=20 HTTP/1.0");
  Form_LinkExecute(g.s, "5 GET /calc?CALC=2%2B2&ID=50 HTTP/1.0");
  ASSERT_TRUE(g.s.window.Timer1Enabled);
  EXPECT_EQ(g.s.window.Timer1Interval, kLinkTimerInterval);

  Timer1_Timer(g.s);
  EXPECT_TRUE(std::regex_match(g.s.window.lnkWWW[2],
                               std::regex(".*/register/linkr2\\.htm,20,[0-9]+(\\.[0-9]+)?")))
      << g.s.window.lnkWWW[2];
  EXPECT_EQ(g.s.window.lnkWWW[5], "");
  EXPECT_EQ(Line(Answer(2), "x"), "2");
  EXPECT_TRUE(g.s.window.Timer1Enabled);

  Timer1_Timer(g.s);
  EXPECT_NE(g.s.window.lnkWWW[5].find("linkr5.htm,50,"), std::string::npos);
  EXPECT_EQ(Line(Answer(5), "x"), "4");
  Timer1_Timer(g.s);  // finds the queue empty and stays off
  EXPECT_FALSE(g.s.window.Timer1Enabled);
}

TEST_F(Requests, CalculationAnswerTable) {
  struct Row {
    const char* name;
    const char* query;
    const char* field;
    const char* expected;
  } rows[] = {
      {"nsig absent means 6 digits", "CALC=2/3", "smem",
       "M1: <input type=\"text\" name=\"M1\" value=\"0.666667\" size=20><input type=\"text\" "
       "name=\"N1\" value=\"2/3\" size=25><br>"},
      {"nsig empty means all digits", "CALC=2/3&nsig=", "nsig", "0"},
      {"nsig sent", "CALC=2/3&nsig=3", "nsig", "3"},
      {"x is read", "CALC=X*2&x=21", "x", "42"},
      {"memory lines are used", "NM=1&M1=5&N1=five&CALC=M1*2", "x", "10"},
      {"NM above 1000 counts as 1000", "NM=5000&CALC=", "nmem", "1000"},
      {"NM below 0 counts as 0", "NM=-3&CALC=1", "nmem", "1"},
      {"NM beyond 16 bits counts as 1000", "NM=99999&CALC=", "nmem", "1000"},
      {"the 1001st line is memory 1 again", "NM=1000&CALC=7", "nmem", "1"},
      {"empty name gives an empty input", "NM=1&M1=3&CALC=", "smem",
       "M1: <input type=\"text\" name=\"M1\" value=\"3.00000\" size=20><input type=\"text\" "
       "name=\"N1\" value=\"\" size=25><br>"},
      {"division by zero is reported", "CALC=1/0", "err", "Error: divide error<br>"},
      {"an equation without a root is reported, not answered", "CALC=x%5E2%3D-1", "err",
       "Error: no solution found near X0 = 0 (|f(x)| = 1.00 at x = -1.054E-8)<br>"},
      {"an equation without a root stores nothing", "CALC=x%5E2%3D-1", "nmem", "0"},
      {"a root is answered", "CALC=x%5E3-2*x-5%3D0", "x", "2.09455148154233"},
      {"unknown constant is reported as the console reports it", "CALC=1%3B2*%3CRx%3E", "err",
       "Error: constant &lt;RX&gt; not found<br>"},
      {"a dropped piece is reported though later pieces succeed", "CALC=2*%3CRx%3E%3B3", "err",
       "Error: constant &lt;RX&gt; not found<br>"},
      {"a dropped piece leaves x to the later pieces", "CALC=2*%3CRx%3E%3B3", "x", "3"},
      {"no error leaves err empty", "CALC=1", "err", ""},
      {"script in CALC is written as text", "CALC=%3Cscript%3Ealert(%22x%22)%3C/script%3E", "scalc",
       "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;"},
      {"HTTP inside data stays when percent-encoded", "CALC=%48TTP", "scalc", "HTTP"},
      {"Balance balances the equation", "CALC=M1*2&EQ=H%20%3D%20H2&BAL=1", "sbal", "2 H = H2"},
      {"Balance keeps the memory lines and calculates nothing",
       "NM=1&M1=5&N1=five&CALC=M1*2&EQ=H%20%3D%20H2&BAL=1", "nmem", "1"},
      {"the equation stays in its field", "CALC=&EQ=H%20%3D%20H2&BAL=1", "seq", "H = H2"},
      {"an equation that cannot be balanced says why", "CALC=&EQ=H%20%3D%20He&BAL=1", "err",
       "Error: The equation cannot be balanced: H occurs only on the left side.<br>"},
      {"Calculate leaves the equation alone", "CALC=2&EQ=H%20%3D%20H2", "sbal", ""},
  };
  std::string manyCalculations = "CALC=1";
  for (int i = 2; i <= limits::kCalculations; ++i)
    manyCalculations += "%3B" + std::to_string(i);
  const std::string overLimit = manyCalculations + "%3B0";
  struct LimitRow {
    const char* name;
    std::string query;
    const char* field;
    const char* expected;
  };
  const LimitRow limitRows[] = {
      {"a line of as many calculations as allowed is calculated", manyCalculations, "x", "1000"},
      {"one calculation more is refused and nothing calculated", overLimit, "err",
       "Error: This line holds 1001 calculations; the web calculator takes at most 1000 in one "
       "line. Nothing was calculated.<br>"},
      {"a refused line leaves the memory lines as sent", overLimit + "&NM=1&M1=4", "nmem", "1"},
      {"blank pieces and a comment do not count", manyCalculations + "%3B%3B %3B'%3B1%3B2", "err",
       ""},
  };
  for (const LimitRow& row : limitRows) {
    Run(std::string("7 POST /calc?ID=1&") + row.query + " HTTP/1.1");
    EXPECT_EQ(Line(Answer(7), row.field), row.expected) << row.name;
  }
  for (const Row& row : rows) {
    Run(std::string("7 POST /calc?ID=1&") + row.query + " HTTP/1.1");
    const std::string answer = Answer(7);
    ASSERT_FALSE(answer.empty()) << row.name;
    std::string value = Line(answer, row.field);
    if (std::string(row.field) == "smem") value = value.substr(0, std::string(row.expected).size());
    EXPECT_EQ(value, row.expected) << row.name;
  }
}

TEST_F(Requests, TimeLimitStopsTheRunWithItsMessage) {
  {
    const TimeLimit passed(g.s.engine, std::chrono::milliseconds(-1), "out of time");
    g.s.window.entryline.Text = "2+3; 4+5";
    DoCalculations(g.s);
    EXPECT_EQ(g.s.engine.EvalError, "out of time");
    EXPECT_EQ(g.s.memory.MemoryCount, 0);
  }
  DoCalculations(g.s);  // the limit ended with its scope
  EXPECT_EQ(g.s.engine.EvalError, "");
  EXPECT_EQ(g.s.memory.MemValues[g.s.memory.MemoryCount], 9);
}

TEST_F(Requests, ErrorTextIsEscaped) {
  Run("7 GET /calc?CALC=%3C1 HTTP/1.1");
  const std::string err = Line(Answer(7), "err");
  EXPECT_EQ(err.find('<', 0) == 0, false);
  EXPECT_EQ(err.find("<>"), std::string::npos) << err;
  EXPECT_NE(err.find("&lt;&gt;"), std::string::npos) << err;
}

TEST_F(Requests, NewestMemoryShownWithDigitsOfTheRun) {
  Run("4 GET /calc?nsig=3&NM=1&M1=1.23456&N1=old&CALC=2/3%20%235 HTTP/1.1");
  const std::string smem = Line(Answer(4), "smem");
  EXPECT_NE(smem.find("name=\"M2\" value=\"0.66667\""), std::string::npos) << smem;
  const std::string answer = Answer(4);
  EXPECT_NE(answer.find("name=\"M1\" value=\"1.23\""), std::string::npos) << answer;
  EXPECT_EQ(Line(answer, "nsig"), "3");
}

TEST_F(Requests, RequestsThatAreNoCalculationWriteNothing) {
  struct Row {
    const char* name;
    const char* command;
  } rows[] = {
      {"fields not introduced by ? or &", "6 CALC=1+1"},
      {"no known field", "6 GET /calc?foo=1 HTTP/1.1"},
  };
  for (const Row& row : rows) {
    g.dir.Write("register/linkr6.htm", "stale");
    Run(row.command);
    EXPECT_FALSE(std::filesystem::exists(g.dir.File("register/linkr6.htm"))) << row.name;
    EXPECT_NE(g.s.window.lnkWWW[6].find("linkr6.htm,0,"), std::string::npos) << row.name;
  }
}

TEST_F(Requests, ChangeRequestWinsOverCalculationAndIsAnswered) {
  g.dir.Write("tolvanep.ht_", "err=%%err%%\r\n");
  Run("6 POST /calc?MODIFY=a%3D1&user=x&CALC=1 HTTP/1.1");
  EXPECT_EQ(Answer(6), "err=Transmission difficulties. Try sending less data.\r\n\r\n");
  EXPECT_NE(g.s.window.lnkWWW[6].find("linkr6.htm,0,"), std::string::npos);
}

TEST_F(Requests, AnswerLeavesTheWindowShowingTheRequest) {
  Run("3 GET /calc?NM=2&M1=1&N1=a&M2=2&N2=b&CALC=M2%2B1 HTTP/1.1");
  EXPECT_EQ(g.s.window.entryline.Text, "M2+1");
  EXPECT_EQ(g.s.memory.MemoryCount, 3);
  EXPECT_EQ(g.s.window.memories.Items.size(), 3u);
  EXPECT_FALSE(g.s.flags.QuietMode);
  EXPECT_FALSE(g.s.flags.Unattended);
  EXPECT_TRUE(g.ui.messages.empty());
  EXPECT_EQ(g.ui.clipboardWrites, 0);
}

TEST_F(Requests, TickWaitsWhileTheWindowCalculates) {
  Form_LinkExecute(g.s, "2 GET /calc?CALC=1 HTTP/1.1");
  g.s.calc.Running = true;
  Timer1_Timer(g.s);
  EXPECT_EQ(g.s.window.lstLink.size(), 1u);
  EXPECT_TRUE(g.s.window.Timer1Enabled);
  g.s.calc.Running = false;
  Timer1_Timer(g.s);
  EXPECT_TRUE(g.s.window.lstLink.empty());
  EXPECT_FALSE(Answer(2).empty());
}

TEST_F(Requests, AFailureThrownThroughATickPutsEverySwitchBack) {
  Form_LinkExecute(g.s, "2 GET /calc?CALC=1%2B1 HTTP/1.1");
  g.ui.onYield = [] { throw 42; };  // not a failure of the calculation: nothing catches it
  EXPECT_THROW(Timer1_Timer(g.s), int);
  g.ui.onYield = nullptr;
  EXPECT_FALSE(g.s.flags.QuietMode);
  EXPECT_FALSE(g.s.flags.Unattended);
  EXPECT_FALSE(g.s.window.WaitCursor);
  EXPECT_FALSE(g.s.calc.Running);
  EXPECT_FALSE(g.s.gateway.LinkBusy);
  // The desktop's next line shows its messages again.
  g.s.window.entryline.Text = "1/0";
  DoCalculations(g.s);
  EXPECT_EQ(g.ui.messages.size(), 1u);
}

TEST_F(Requests, ResetDuringATickKeepsLaterCommands) {
  Form_LinkExecute(g.s, "2 GET /calc?CALC=1 HTTP/1.1");
  // A yield inside the calculation lets a reset and a new command in.
  g.ui.onYield = [&] {
    g.ui.onYield = nullptr;
    Form_LinkExecute(g.s, "0");
    Form_LinkExecute(g.s, "3 GET /calc?CALC=2 HTTP/1.1");
  };
  Timer1_Timer(g.s);
  ASSERT_EQ(g.s.window.lstLink.size(), 1u);
  EXPECT_EQ(g.s.window.lstLink.front(), "3 GET /calc?CALC=2 HTTP/1.1");
  Timer1_Timer(g.s);
  EXPECT_EQ(Line(Answer(3), "x"), "2");
}

TEST(ReplaceFileKeepingSpare, AnswerFilesTakeTurnsWithTheirSpare) {
  TempDir dir;
  const std::string file = dir.File("linkr1.htm"), spare = dir.File(".linkr1.htm.spare");
  const auto inode = [](const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
  };
  ASSERT_TRUE(ReplaceFileKeepingSpare(file, "first"));
  const auto first = inode(file);
  ASSERT_TRUE(ReplaceFileKeepingSpare(file, "second"));
  EXPECT_EQ(dir.Read("linkr1.htm"), "second");
  EXPECT_EQ(inode(spare), first) << "the old answer is the spare";
  ASSERT_TRUE(ReplaceFileKeepingSpare(file, "third"));
  EXPECT_EQ(dir.Read("linkr1.htm"), "third");
  EXPECT_EQ(inode(file), first) << "no new file for the third answer";
}

TEST(SinglePrecisionText, SevenSignificantDigits) {
  struct Row {
    double value;
    const char* text;
  } rows[] = {{45296.52, "45296.52"}, {45296.523456, "45296.52"},
              {0.5, "0.5"},           {12, "12"},
              {86399.99, "86399.99"}, {0, "0"}};
  for (const Row& row : rows)
    EXPECT_EQ(SinglePrecisionText(row.value), row.text) << row.value;
}

TEST(RegisterFolder, ConfiguredOrInProgramFolderCreatedOwnerOnly) {
  EXPECT_EQ(RegisterFolderPath("/opt/ostravel", ""), "/opt/ostravel/register");
  EXPECT_EQ(RegisterFolderPath("/opt/ostravel", "/srv/reg/"), "/srv/reg");
  TempDir dir;
  RecordingPlatform ui;
  Session s(ui);
  const std::string folder = dir.File("a/register");
  ASSERT_TRUE(OpenRegisterFolder(s, folder));
  struct stat info {};
  ASSERT_EQ(::stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_EQ(s.gateway.RegisterFolder, folder);
}

}  // namespace
}  // namespace ostravel::testing
