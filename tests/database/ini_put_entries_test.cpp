#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/ini_access.h"
#include "session/session.h"
#include "support/recording_platform.h"
#include "support/temp_dir.h"

namespace ostravel {
namespace {

class IniPutEntriesTest : public ::testing::Test {
 protected:
  IniPutEntriesTest() : s(ui) {
    s.db.IniFile = dir.Write("TOLVANEC.INI", "[Contributed]\r\nMine=MY|a@example.org\r\n");
  }
  testing::TempDir dir;
  testing::RecordingPlatform ui;
  Session s;
};

TEST_F(IniPutEntriesTest, MakesEveryEditInOrderInOneWrite) {
  s.memory.MemoryCount = 7;
  const std::vector<IniEdit> edits = {
      {"Contributed-Mine", "K1", "1"},
      {"Contributed-Mine", "K2", "2"},
      {"Contributed-Mine", "K1", kNul},  // deleted again
      {"Contributed-Mine", "k2", "3"},   // replaces K2, keys match without regard to case
      {"Contributed", "Mine", "NEW|a@example.org"},
  };
  ASSERT_TRUE(IniPutEntries(s, edits));
  EXPECT_EQ(dir.Read("TOLVANEC.INI"),
            "[Contributed]\r\nMine=NEW|a@example.org\r\n\r\n[Contributed-Mine]\r\nK2=3\r\n");
  EXPECT_TRUE(s.db.DbChanged);
  EXPECT_EQ(s.memory.NameSearchStart, 7);
}

TEST_F(IniPutEntriesTest, OneRefusedEditLeavesTheFileAsItWas) {
  const std::string before = dir.Read("TOLVANEC.INI");
  struct Row {
    const char* name;
    IniEdit bad;
  };
  const Row rows[] = {
      {"key opening a section", {"Contributed-Mine", "[Permissions]", "1"}},
      {"key with '='", {"Contributed-Mine", "a=b", "1"}},
      {"section closing early", {"Contributed-Mine]", "K1", "1"}},
  };
  for (const Row& row : rows) {
    EXPECT_FALSE(IniPutEntries(s, {{"Contributed-Mine", "K1", "1"}, row.bad})) << row.name;
    EXPECT_EQ(dir.Read("TOLVANEC.INI"), before) << row.name;
  }
}

}  // namespace
}  // namespace ostravel
