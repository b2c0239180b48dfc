#include "database/key_lists.h"
#include "calc/key_list_click.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "chemistry/option_switches.h"
#include "database/ini_access.h"
#include "database/settings.h"
#include "session/session.h"
#include "support/recording_platform.h"
#include "support/temp_dir.h"
#include "support/test_database.h"

namespace ostravel {

namespace {

using namespace std::string_literals;

// The shared database with the constants and radicals whose lines the tests click, an example
// that uses a constant, and a contributed category with a value and a radical of its own.
testing::TestDatabase KeyListsDatabase() {
  return testing::TestDatabase()
      .Entry("Constants", "Physical", "c", "299792458|c")
      .Avogadro()
      .Radical("Me", "CH3")
      .Radical("Ph", "C6H5")
      .Entry("Examples", "Basics", "Molar volume", "<R>*273.15/101325|ideal gas at STP")
      .Category("Contributed", "Mine", "MY|user@example.org")
      .Entry("Contributed", "Mine", "X1", "42|the answer")
      .ContributedRadical("Tos", "CH3C6H4SO2");
}

class KeyLists : public ::testing::Test {
 protected:
  KeyLists() : s(ui) { KeyListsDatabase().Load(dir, s); }
  // Chooses a line of lstKey by its text, as the user's click does.
  void Click(const std::string& line) {
    const auto& items = s.window.lstKey.Items;
    const auto found = std::find(items.begin(), items.end(), line);
    ASSERT_NE(found, items.end()) << line;
    s.window.lstKey.ListIndex = static_cast<int>(found - items.begin());
    lstKey_Click(s);
  }

  testing::TempDir dir;
  testing::RecordingPlatform ui;
  Session s;
};

TEST_F(KeyLists, LoadListsReadsCategoriesAndRadicals) {
  EXPECT_EQ(s.lists.RadicalKeys, "\0Me\0Ph\0\0\0Tos\0\0"s);
  EXPECT_EQ(s.lists.RadicalSplit, 8);
  EXPECT_EQ(s.lists.ConstCategories, "Physical\0Ksp\0\0"s);
  EXPECT_EQ(s.lists.ExampleCategories, "Basics\0\0"s);
  EXPECT_EQ(s.lists.ContribCategories, "Mine\0\0"s);
  EXPECT_EQ(s.window.mnuConst.Captions, (std::vector<std::string>{"Physical", "Ksp"}));
  EXPECT_EQ(s.window.mnuExp.Captions, (std::vector<std::string>{"Basics"}));
  EXPECT_EQ(s.window.mnuMore.Captions, (std::vector<std::string>{"Mine"}));
  EXPECT_EQ(s.lists.ConstCount, 2);
  EXPECT_EQ(s.lists.ExampleCount, 1);
  EXPECT_EQ(s.lists.ContribCount, 1);
  EXPECT_FALSE(s.window.mnuConst.Element0Visible);
  EXPECT_EQ(s.db.IniFile, s.db.MainIniFile);
}

TEST_F(KeyLists, ReloadLeavesNoStaleMenuElement) {
  dir.Write("TOLVANE.INI", "[Constants]\r\nGases=\r\n");
  dir.Write("TOLVANEC.INI", "");
  LoadLists(s);
  EXPECT_EQ(s.window.mnuConst.Captions, (std::vector<std::string>{"Gases"}));
  EXPECT_EQ(s.lists.ConstCount, 1);
  EXPECT_TRUE(s.window.mnuExp.Captions.empty());
  EXPECT_TRUE(s.window.mnuExp.Element0Visible);
  EXPECT_EQ(s.lists.ExampleCount, 0);
  EXPECT_EQ(s.lists.ExampleCategories, kNul);
  EXPECT_EQ(s.lists.RadicalKeys, "\0\0\0\0"s);
  EXPECT_EQ(s.lists.RadicalSplit, 2);
}

struct CategoryRow {
  const char* name;
  void (*choose)(Session&, int);
  int index;
  const char* type;
  const char* category;
  std::string tag;
  std::vector<std::string> lines;
};

TEST_F(KeyLists, ShowCategoryListsTheEntriesSorted) {
  const CategoryRow rows[] = {
      {"unprefixed constants, description equal to the key left out",
       mnuConst_Click,
       1,
       "Constants",
       "Physical",
       "",
       {"c", "NA  (Avogadro constant)", "R  (gas constant)"}},
      {"prefixed constants",
       mnuConst_Click,
       2,
       "Constants",
       "Ksp",
       "KSP",
       {"KSP AGCL  (silver chloride)"}},
      {"examples",
       mnuExp_Click,
       1,
       "Examples",
       "Basics",
       "",
       {"Molar volume  (ideal gas at STP)", "Water  (molar mass of water)"}},
      {"contributed values from their own file",
       mnuMore_Click,
       1,
       "Contributed",
       "Mine",
       "MY",
       {"MY X1  (the answer)"}},
  };
  for (const auto& row : rows) {
    s.window.lstKey.Visible = false;
    row.choose(s, row.index);
    EXPECT_EQ(s.lists.CurType, row.type) << row.name;
    EXPECT_EQ(s.lists.CurCategory, row.category) << row.name;
    EXPECT_EQ(s.window.lstKey.Tag, row.tag) << row.name;
    EXPECT_EQ(s.window.lstKey.Items, row.lines) << row.name;
    EXPECT_TRUE(s.window.lstKey.Visible) << row.name;
    EXPECT_FALSE(s.window.WaitCursor) << row.name;
    EXPECT_EQ(s.db.IniFile, s.db.MainIniFile) << row.name;
  }
}

TEST_F(KeyLists, MenuIndexWithoutElementChangesNothing) {
  mnuConst_Click(s, 1);
  const auto before = s.window.lstKey.Items;
  mnuConst_Click(s, 3);
  mnuConst_Click(s, 0);  // element 0 is hidden while the type has categories
  mnuMore_Click(s, -1);
  EXPECT_EQ(s.lists.CurCategory, "Physical");
  EXPECT_EQ(s.window.lstKey.Items, before);
}

struct InsertRow {
  const char* name;
  int menu;  // index into mnuConst, or -1 for the contributed category
  std::string line;
  bool abbreviate;
  TextBoxModel entry;
  std::string expected;
};

TEST_F(KeyLists, ClickingAConstantInsertsItAtTheCaret) {
  const InsertRow rows[] = {
      {"abbreviation at the caret", 1, "R  (gas constant)", true, {"2*", 2, 0}, "2*<R>"},
      {"value in parentheses", 1, "R  (gas constant)", false, {"2*", 2, 0}, "2*(8.314)"},
      {"prefix goes into the abbreviation",
       2,
       "KSP AGCL  (silver chloride)",
       true,
       {"", 0, 0},
       "<KSPAGCL>"},
      {"selection replaced, not kept", 1, "R  (gas constant)", true, {"abcdef", 1, 3}, "a<R>ef"},
      {"caret in the middle", 1, "c", true, {"1+2", 1, 0}, "1<c>+2"},
      {"caret beyond the text", 1, "c", true, {"1", 9, 4}, "1<c>"},
      {"contributed value read from its file",
       -1,
       "MY X1  (the answer)",
       false,
       {"", 0, 0},
       "(42)"},
      {"contributed abbreviation", -1, "MY X1  (the answer)", true, {"", 0, 0}, "<MYX1>"},
  };
  for (const auto& row : rows) {
    if (row.menu < 0)
      mnuMore_Click(s, 1);
    else
      mnuConst_Click(s, row.menu);
    s.flags.AbbrevConstants = row.abbreviate;
    s.window.entryline = row.entry;
    ui.focus.clear();
    Click(row.line);
    EXPECT_EQ(s.window.entryline.Text, row.expected) << row.name;
    EXPECT_EQ(s.window.entryline.SelStart, static_cast<int>(row.expected.size())) << row.name;
    EXPECT_EQ(s.window.entryline.SelLength, 0) << row.name;
    EXPECT_EQ(ui.focus, std::vector<Control>{Control::EntryLine}) << row.name;
    EXPECT_EQ(s.db.IniFile, s.db.MainIniFile) << row.name;
    EXPECT_EQ(s.memory.MemoryCount, 0) << row.name << ": nothing was calculated";
  }
}

TEST_F(KeyLists, ClickingAnExampleRunsItInPlaceOfTheEntryLine) {
  mnuExp_Click(s, 1);
  s.window.entryline = TextBoxModel{"old text", 3, 2};
  Click("Molar volume  (ideal gas at STP)");
  // The example ran at once: <R> became memory 1, the result memory 2.
  ASSERT_EQ(s.memory.MemoryCount, 2);
  EXPECT_EQ(s.memory.MemNames[1], "<R>");
  EXPECT_EQ(s.memory.MemNames[2], "<R>*273.15/101325");
  EXPECT_NEAR(s.memory.MemValues[2], 8.314 * 273.15 / 101325, 1e-15);
  EXPECT_EQ(ui.focus.front(), Control::EntryLine);
}

TEST_F(KeyLists, ExampleWaitsWhileALineIsRunning) {
  mnuExp_Click(s, 1);
  s.window.entryline.Text = "1+1";
  s.calc.Running = true;
  Click("Molar volume  (ideal gas at STP)");
  EXPECT_EQ(s.memory.MemoryCount, 0);
  EXPECT_EQ(s.window.entryline.Text, "1+1");
}

TEST_F(KeyLists, ClickWithoutSelectedLineDoesNothing) {
  mnuConst_Click(s, 1);
  s.window.entryline.Text = "x";
  for (int index : {-1, 3, 100}) {
    s.window.lstKey.ListIndex = index;
    lstKey_Click(s);
  }
  EXPECT_EQ(s.window.entryline.Text, "x");
}

TEST(AddSortedItem, KeepsTheListSortedWithoutRegardToCase) {
  ListModel list;
  for (const char* item : {"beta", "Alpha", "gamma", "alpha", "\x07key", "Beta", "\xE9t\xE9"}) {
    AddSortedItem(list, item);
  }
  EXPECT_EQ(list.Items, (std::vector<std::string>{"\x07key", "Alpha", "alpha", "beta", "Beta",
                                                  "gamma", "\xE9t\xE9"}));
}

class OptionSwitches : public ::testing::Test {
 protected:
  OptionSwitches() : s(ui) {}
  testing::RecordingPlatform ui;
  Session s;
};

struct SwitchRow {
  const char* name;
  void (*click)(Session&);
  bool MainWindowModel::*mark;
  bool RunFlags::*flag;
};

TEST_F(OptionSwitches, EachClickInvertsMarkAndFlag) {
  const SwitchRow rows[] = {
      {"constants as abbreviations", optCodes_Click, &MainWindowModel::optCodesChecked,
       &RunFlags::AbbrevConstants},
      {"quick simplex", optQuick_Click, &MainWindowModel::optQuickChecked, &RunFlags::QuickSimplex},
      {"expand radicals", optRadicals_Click, &MainWindowModel::optRadicalsChecked,
       &RunFlags::ExpandRadicals},
  };
  for (const auto& row : rows) {
    row.click(s);
    EXPECT_FALSE(s.window.*row.mark) << row.name;
    EXPECT_FALSE(s.flags.*row.flag) << row.name;
    row.click(s);
    EXPECT_TRUE(s.window.*row.mark) << row.name;
    EXPECT_TRUE(s.flags.*row.flag) << row.name;
  }
}

TEST_F(OptionSwitches, OpeningTheMenuShowsTheFlags) {
  s.flags.AbbrevConstants = false;
  s.flags.ExpandRadicals = false;
  s.window.optQuickChecked = false;
  mnuOptions_Click(s);
  EXPECT_FALSE(s.window.optCodesChecked);
  EXPECT_TRUE(s.window.optQuickChecked);
  EXPECT_FALSE(s.window.optRadicalsChecked);
  EXPECT_EQ(ui.changed.back(), Control::Menus);
}

TEST_F(OptionSwitches, EveryStartBeginsWithAllSwitchesOn) {
  testing::TempDir dir;
  s.db.ProgramFolder = dir.path().string();
  optCodes_Click(s);
  optQuick_Click(s);
  optRadicals_Click(s);
  LoadSettings(s);
  mnuOptions_Click(s);
  EXPECT_TRUE(s.flags.AbbrevConstants && s.flags.QuickSimplex && s.flags.ExpandRadicals);
  EXPECT_TRUE(s.window.optCodesChecked && s.window.optQuickChecked && s.window.optRadicalsChecked);
}

}  // namespace
}  // namespace ostravel
