#include "database/ini_access.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/session.h"
#include "support/recording_platform.h"
#include "support/temp_dir.h"
#include "support/test_database.h"

namespace ostravel {
namespace {

using namespace std::string_literals;

class IniAccess : public ::testing::Test {
 protected:
  IniAccess() : s(ui) {
    s.db.MainIniFile = dir.File("TOLVANE.INI");
    s.db.ContribIniFile = dir.File("TOLVANEC.INI");
    s.db.IniFile = s.db.MainIniFile;
  }
  void WriteMain(const std::string& bytes) { dir.Write("TOLVANE.INI", bytes); }

  testing::TempDir dir;
  testing::RecordingPlatform ui;
  Session s;
};

struct EntryRow {
  const char* name;
  std::string text;  // as written after "K=" in the file
  std::string value;
  std::string description;
};

TEST_F(IniAccess, IniGetEntrySplitsValueAndDescription) {
  const EntryRow rows[] = {
      {"value keeps its blank before the bar", "1.008 | hydrogen", "1.008 ", "hydrogen"},
      {"blanks before ( removed everywhere", "12.0 (approx)|carbon  (C)", "12.0(approx)",
       "carbon(C)"},
      {"no bar: empty description", "abc", "abc", ""},
      {"only the first bar splits", "a|b|c", "a", "b|c"},
      {"a run of blanks before ( goes", "x   (y)", "x(y)", ""},
      {"empty value", "|only a description", "", "only a description"},
      {"quotes removed before the split", "\"  q | d  \"", "  q ", "d"},
      {"value cut at 499 characters", std::string(600, 'v'), std::string(499, 'v'), ""},
      {"a bar beyond the cut is not seen", std::string(520, 'v') + "|d", std::string(499, 'v'), ""},
  };
  for (const auto& row : rows) {
    WriteMain("[Constants-Test]\r\nK=" + row.text + "\r\n");
    std::string description = "stale";
    EXPECT_EQ(IniGetEntry(s, "Constants", "Test", "k", &description), row.value) << row.name;
    EXPECT_EQ(description, row.description) << row.name;
  }
}

TEST_F(IniAccess, IniGetEntryReadsMissingAsEmpty) {
  std::string description = "stale";
  EXPECT_EQ(IniGetEntry(s, "Options", "", "QUICKURL", &description), "");
  EXPECT_EQ(description, "");
  WriteMain("[Options]\nQUICKURL=q\n[Constants-A]\nx=1\n");
  EXPECT_EQ(IniGetEntry(s, "options", "", "quickurl"), "q");
  EXPECT_EQ(IniGetEntry(s, "Constants", "B", "x"), "");
  EXPECT_EQ(IniGetEntry(s, "Constants", "A", "y"), "");
  EXPECT_EQ(IniGetEntry(s, "Constants", "", "x"), "");
}

TEST_F(IniAccess, IniGetKeysListsKeysEachFollowedByNul) {
  WriteMain("[Constants]\nPhysical=\nKsp=KSP\n");
  EXPECT_EQ(IniGetKeys(s, "constants"), "Physical\0Ksp\0"s);
  std::string missing = IniGetKeys(s, "Examples") + kNul;
  EXPECT_EQ(missing, kNul);
  EXPECT_EQ(PopListItem(missing), "");
}

TEST_F(IniAccess, IniGetKeysListsEveryKeyOfALongSection) {
  std::string bytes = "[Big]\n";
  for (int i = 0; i < 3000; ++i)
    bytes += "K" + std::to_string(1000000000 + i) + "=1\n";
  WriteMain(bytes);
  const std::string list = IniGetKeys(s, "Big");
  EXPECT_EQ(list.size(), 3000u * 12);  // every key has 11 characters and its NUL
  EXPECT_TRUE(list.ends_with("K1000002999"s + kNul));
}

struct PopRow {
  const char* name;
  std::string list;
  std::string item;
  std::string rest;
};

TEST(PopListItem, TakesTheFirstItem) {
  const PopRow rows[] = {
      {"first of two", "a\0b\0"s, "a", "b\0"s},
      {"empty first item", "\0b\0"s, "", "b\0"s},
      {"no NUL: empty item, list unchanged", "abc", "", "abc"},
      {"empty list", "", "", ""},
  };
  for (const auto& row : rows) {
    std::string list = row.list;
    EXPECT_EQ(PopListItem(list), row.item) << row.name;
    EXPECT_EQ(list, row.rest) << row.name;
  }
}

TEST_F(IniAccess, IniPutEntryWritesDeletesAndMarksTheChange) {
  s.memory.MemoryCount = 7;
  s.memory.NameSearchStart = 1;
  WriteMain("; database\r\n[Constants-Acids]\r\nK1=1\r\nK2=2\r\n[Constants-Other]\r\nX=1\r\n");
  EXPECT_TRUE(IniPutEntry(s, "Constants", "Acids", "K3", "3|third"));
  EXPECT_TRUE(s.db.DbChanged);
  EXPECT_EQ(s.memory.NameSearchStart, 7);
  EXPECT_EQ(IniGetEntry(s, "Constants", "Acids", "K3"), "3");

  EXPECT_TRUE(IniPutEntry(s, "Constants", "Acids", "K1", kNul));
  EXPECT_EQ(
      dir.Read("TOLVANE.INI"),
      "; database\r\n[Constants-Acids]\r\nK2=2\r\nK3=3|third\r\n[Constants-Other]\r\nX=1\r\n");
  EXPECT_TRUE(IniPutEntry(s, "Constants", "Acids", kNul, kNul));
  EXPECT_EQ(dir.Read("TOLVANE.INI"), "; database\r\n[Constants-Other]\r\nX=1\r\n");

  EXPECT_TRUE(IniPutEntry(s, "Options", "", "QUICKURL", ""));
  EXPECT_EQ(dir.Read("TOLVANE.INI"),
            "; database\r\n[Constants-Other]\r\nX=1\r\n\r\n[Options]\r\nQUICKURL=\r\n");
}

TEST_F(IniAccess, IniPutEntryWritesTheFileNamedByIniFile) {
  s.db.IniFile = s.db.ContribIniFile;
  EXPECT_TRUE(IniPutEntry(s, "Contributed", "Mine", "X", "1"));
  EXPECT_EQ(dir.Read("TOLVANEC.INI"), "[Contributed-Mine]\r\nX=1\r\n");
  EXPECT_EQ(dir.Read("TOLVANE.INI"), "");
}

TEST_F(IniAccess, IniPutEntryRefusesKeysThatWouldAddEntries) {
  WriteMain("[Contributed-Acids]\r\nKA=1\r\n");
  EXPECT_FALSE(IniPutEntry(s, "Contributed", "Acids", "X\r\n[Permissions]\r\nme=pw", "1"));
  EXPECT_FALSE(IniPutEntry(s, "Contributed", "Acids]\r\n[Permissions", "me", "pw"));
  EXPECT_TRUE(IniPutEntry(s, "Contributed", "Acids", "KB", "2\r\n[Permissions]\r\nme=pw"));
  EXPECT_EQ(IniGetKeys(s, "Permissions"), "");
  EXPECT_EQ(IniGetKeys(s, "Contributed-Acids"), "KA\0KB\0"s);
  EXPECT_EQ(IniGetEntry(s, "Contributed", "Acids", "KB"), "2  [Permissions]  me=pw");
}

struct FindRow {
  const char* name;
  std::string category, lookFor;
  std::string value, categoryAfter, nameAfter;
};

TEST_F(IniAccess, FindEntryHonoursCategoryPrefixes) {
  // A category whose prefix is written in lower case, and a key of an unprefixed category that
  // begins with another category's prefix.
  WriteMain(testing::TestDatabase()
                .Category("Constants", "Acids", "ka")
                .Entry("Constants", "Acids", "HAC", "1.75E-5")
                .Entry("Constants", "Physical", "KSPX", "1")
                .Main());
  const std::string categories = "Physical\0Ksp\0Acids\0"s;
  const FindRow rows[] = {
      {"prefix selects the category", "", "KSPAGCL", "1.8E-10", "KSP", "AGCL"},
      {"lower-case prefix in the file matches", "", "KAHAC", "1.75E-5", "ACIDS", "HAC"},
      {"unprefixed category found first", "", "R", "8.314", "", "R"},
      {"unprefixed category listed first wins over a prefix", "", "KSPX", "1", "", "KSPX"},
      {"prefix compares by character code", "", "kspagcl", "", "", "kspagcl"},
      {"unknown name", "", "XYZ", "", "", "XYZ"},
      {"prefix without the rest", "", "KSPZZ", "", "KSP", "ZZ"},
      {"category given: no search", "Physical", "R", "8.314", "Physical", "R"},
  };
  for (const auto& row : rows) {
    std::string category = row.category, name = row.lookFor;
    EXPECT_EQ(FindEntry(s, "Constants", categories, category, name), row.value) << row.name;
    EXPECT_EQ(category, row.categoryAfter) << row.name;
    EXPECT_EQ(name, row.nameAfter) << row.name;
  }
}

struct TabRow {
  const char* name;
  std::string stops;
  std::vector<int> expected;
};

TEST_F(IniAccess, SetListTabsSetsTheStops) {
  std::string many;
  std::vector<int> first21;
  for (int i = 1; i <= 25; ++i) {
    many += std::to_string(i * 10) + ",";
    if (i <= 21) first21.push_back(i * 10);
  }
  const TabRow rows[] = {
      {"five stops", "85, 160, 250, 300, 400", {85, 160, 250, 300, 400}},
      {"memories list", "70, 75, 80, 85, 90", {70, 75, 80, 85, 90}},
      {"no stops", "", {}},
      {"at most 21 stops", many, first21},
  };
  for (const auto& row : rows) {
    ListModel list;
    ui.changed.clear();
    SetListTabs(s, list, Control::KeyList, row.stops);
    EXPECT_EQ(list.TabStops, row.expected) << row.name;
    EXPECT_EQ(ui.changed, std::vector<Control>{Control::KeyList}) << row.name;
  }
}

struct NumberRow {
  const char* name;
  std::string list, separator;
  int number;
  std::string rest;
};

TEST(PopNumber, TakesTheLeadingNumberRounded) {
  const NumberRow rows[] = {
      {"first of a list", "85, 160", ",", 85, " 160"},
      {"last of a list", " 160", ",", 160, ""},
      {"half rounds to even, down", "2.5,x", ",", 2, "x"},
      {"half rounds to even, up", "3.5,x", ",", 4, "x"},
      {"no number gives 0", "abc,1", ",", 0, "1"},
      {"beyond the double range gives 0", "1E400,2", ",", 0, "2"},
      {"beyond the integer range is clamped", "1E20", ",", 2147483647, ""},
      {"other separator", "7;8", ";", 7, "8"},
      {"separator of two characters", "1ab2", "ab", 1, "2"},
  };
  for (const auto& row : rows) {
    std::string list = row.list;
    EXPECT_EQ(PopNumber(list, row.separator), row.number) << row.name;
    EXPECT_EQ(list, row.rest) << row.name;
  }
}

}  // namespace
}  // namespace ostravel
