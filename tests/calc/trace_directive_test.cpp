// The "testing" directive: a calculation of its own, and a trace file that is always new.
#include "calc/trace_directive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "calc/calculation_driver.h"
#include "session/session.h"
#include "startup/startup.h"
#include "support/recording_platform.h"
#include "support/temp_dir.h"

namespace ostravel {
namespace {

namespace fs = std::filesystem;

class TraceDirective : public ::testing::Test {
 protected:
  TraceDirective() : s(ui) {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr) savedState_ = state;
    ::setenv("XDG_STATE_HOME", (dir.path() / "state").c_str(), 1);
    dir.Write("TOLVANE.INI", "[AtomicWeights]\r\nH=1.008\r\n");
    s.db.ProgramFolder = dir.path().string();
    Form_Load(s, "");
  }
  ~TraceDirective() override {
    if (savedState_) {
      ::setenv("XDG_STATE_HOME", savedState_->c_str(), 1);
    } else {
      ::unsetenv("XDG_STATE_HOME");
    }
  }
  void Run(const std::string& line) {
    ui.messages.clear();
    s.window.entryline.Text = line;
    DoCalculations(s);
  }
  std::string Folder() const { return (dir.path() / "state" / "ostravel").string(); }

  testing::TempDir dir;
  testing::RecordingPlatform ui;
  Session s;

 private:
  std::optional<std::string> savedState_;
};

TEST_F(TraceDirective, OnlyAPieceThatIsExactlyTestingIsTheDirective) {
  const struct {
    const char* line;
    bool directive;
  } rows[] = {
      {"testing", true},          {" testing ", true},
      {"2+3; testing", true},     {"testing ' with a comment", true},
      {"2+3 ' retesting", false}, {"2+3 ' testing", false},
      {"Testing", false},
  };
  for (const auto& row : rows) {
    s.calc.TraceFlag = false;
    const int before = s.memory.MemoryCount;
    Run(row.line);
    EXPECT_EQ(s.calc.TraceFlag, row.directive) << row.line;
    if (row.directive) {
      EXPECT_EQ(s.memory.MemoryCount, before) << row.line;  // the line is dropped
      EXPECT_TRUE(fs::exists(s.calc.LogFileName)) << row.line;
      fs::remove(s.calc.LogFileName);
    }
  }
  Run("2+3 ' retesting");
  EXPECT_EQ(s.memory.MemNames[s.memory.MemoryCount], "2+3");
}

TEST_F(TraceDirective, TheDefaultFileIsNewInTheUsersStateFolder) {
  Run("testing");
  const std::string first = Folder() + "/mf.log";
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(s.calc.LogFileName, first);
  struct stat info;
  ASSERT_EQ(::stat(Folder().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  ASSERT_EQ(::stat(first.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  Run("testing");
  EXPECT_FALSE(s.calc.TraceFlag);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "file " + first + " closed");

  // mf.log is taken now: the next default is a name of its own.
  Run("testing");
  EXPECT_EQ(s.calc.LogFileName, Folder() + "/mf-2.log");
  EXPECT_TRUE(fs::exists(Folder() + "/mf-2.log"));
}

TEST_F(TraceDirective, AnExistingFileOrLinkIsNeverReplacedNorFollowed) {
  const std::string victim = dir.Write("victim.txt", "keep me");
  const std::string existing = dir.Write("existing.log", "old trace");
  const std::string link = (dir.path() / "planted.log").string();
  fs::create_symlink(victim, link);
  for (const std::string& name : {existing, link}) {
    s.calc.TraceFlag = false;
    s.calc.RunErrors = 0;
    ui.inputAnswers.push_back(name);
    Run("testing");
    EXPECT_FALSE(s.calc.TraceFlag) << name;
    EXPECT_EQ(s.calc.LogFileName, "") << name;
    EXPECT_EQ(s.calc.RunErrors, 1) << name;
    ASSERT_EQ(ui.messages.size(), 1u) << name;
    EXPECT_EQ(ui.messages[0].text, "The trace file " + name +
                                       " cannot be created (File exists): an existing file is "
                                       "never replaced.");
  }
  EXPECT_EQ(testing::ReadFileBytes(existing), "old trace");
  EXPECT_EQ(testing::ReadFileBytes(victim), "keep me");
}

TEST_F(TraceDirective, AWebRequestNeverSwitchesTheTrace) {
  s.flags.QuietMode = true;
  Run("testing");
  EXPECT_FALSE(s.calc.TraceFlag);
  EXPECT_TRUE(ui.questions.empty());
}

}  // namespace
}  // namespace ostravel
