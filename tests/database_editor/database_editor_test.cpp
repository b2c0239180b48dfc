#include "database/database_editor.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "calc/calculation_driver.h"
#include "database/ini_access.h"
#include "session/session.h"
#include "startup/modify_database.h"
#include "support/recording_platform.h"
#include "support/temp_dir.h"
#include "support/test_database.h"

namespace ostravel {
namespace {

using frmModify::cmbCategory_Click;
using frmModify::cmbCategory_KeyPress;
using frmModify::Command1_Click;
using frmModify::lstINFO_Click;
using frmModify::txtINFO_KeyPress;
using frmModify::txtINFO_LostFocus;

// The shared database with a constant without a description beside the gas constant.
testing::TestDatabase EditorDatabase() {
  return testing::TestDatabase().Entry("Constants", "Physical", "c", "299792458");
}

class DatabaseEditorTest : public ::testing::Test {
 protected:
  DatabaseEditorTest() {
    EditorDatabase().Write(dir);
    s.db.ProgramFolder = dir.path().string();
    s.db.MainIniFile = dir.File("TOLVANE.INI");
    s.db.ContribIniFile = dir.File("TOLVANEC.INI");
    s.db.PermIniFile = dir.File("TOLVANEP.INI");
    s.db.IniFile = s.db.MainIniFile;
    // The menus as the key lists left them.
    s.window.mnuConst.Captions = {"Physical", "Ksp"};
    s.window.mnuConst.Element0Visible = false;
    s.lists.ConstCount = 2;
    s.window.mnuExp.Captions = {"Basics"};
    s.window.mnuExp.Element0Visible = false;
    s.lists.ExampleCount = 1;
  }

  // The entry text (value, "|", description) of key as the main file holds it now.
  std::string Stored(const std::string& type, const std::string& category, const std::string& key) {
    const std::string saved = s.db.IniFile;
    s.db.IniFile = s.db.MainIniFile;
    std::string description;
    std::string value = IniGetEntry(s, type, category, key, &description);
    s.db.IniFile = saved;
    return description.empty() ? value : value + "|" + description;
  }

  std::vector<std::string> Keys(const std::string& section) {
    const std::string saved = s.db.IniFile;
    s.db.IniFile = s.db.MainIniFile;
    std::string list = IniGetKeys(s, section) + kNul;
    s.db.IniFile = saved;
    std::vector<std::string> keys;
    for (std::string key = PopListItem(list); !key.empty(); key = PopListItem(list))
      keys.push_back(key);
    return keys;
  }

  const std::vector<std::string>& Lines() const { return s.modify.lstINFO.Items; }

  int LineOf(const std::string& key) const {
    for (std::size_t i = 0; i < Lines().size(); ++i)
      if (Lines()[i].substr(0, Lines()[i].find('\t')) == key) return static_cast<int>(i);
    return -1;
  }

  void Select(const std::string& key) {
    s.modify.lstINFO.ListIndex = LineOf(key);
    ASSERT_GE(s.modify.lstINFO.ListIndex, 0) << key;
    lstINFO_Click(s);
  }

  // The user types into the three fields and leaves the field index.
  void Commit(const std::string& key, const std::string& value, const std::string& description,
              int index = 1) {
    s.modify.txtINFO = {key, value, description};
    txtINFO_LostFocus(s, index);
  }

  void ChooseCategory(const std::string& text) {
    s.modify.cmbCategory[1].Text = text;
    int key = kEnterKey;
    cmbCategory_KeyPress(s, 1, key);
  }

  void ChooseType(int item) {
    ComboModel& type = s.modify.cmbCategory[0];
    type.ListIndex = item;
    type.Text = type.Items[item];
    cmbCategory_Click(s, 0);
  }

  testing::TempDir dir;
  testing::RecordingPlatform ui;
  Session s{ui};
};

TEST_F(DatabaseEditorTest, OpeningCopiesTheDatabaseAndShowsTheFirstConstantCategory) {
  frmModify::Form_Load(s);
  EXPECT_EQ(dir.Read("TOLVANE.IN_"), EditorDatabase().Main());
  EXPECT_EQ(s.db.IniFile, dir.File("TOLVANE.IN_"));
  EXPECT_EQ(s.modify.SavedIniFile, s.db.MainIniFile);
  EXPECT_EQ(s.modify.cmbCategory[0].Items, (std::vector<std::string>{"Examples", "Constants"}));
  EXPECT_EQ(s.modify.cmbCategory[0].ListIndex, 1);
  EXPECT_EQ(s.modify.cmbCategory[1].Items, (std::vector<std::string>{"<NEW>", "Physical", "Ksp"}));
  EXPECT_EQ(s.modify.cmbCategory[1].ListIndex, 1);
  EXPECT_TRUE(s.modify.cmbCategory[1].Visible);
  EXPECT_EQ(s.lists.CurType, "Constants");
  EXPECT_EQ(s.lists.CurCategory, "Physical");
  // Sorted without regard to case, the empty line first and selected.
  EXPECT_EQ(Lines(), (std::vector<std::string>{"", "c\t299792458\t", "R\t8.314\tgas constant"}));
  EXPECT_EQ(s.modify.lstINFO.ListIndex, 0);
  EXPECT_EQ(s.modify.txtINFO, (std::array<std::string, 3>{"", "", ""}));
  EXPECT_EQ(s.modify.lstINFO.TabStops, (std::vector<int>{85, 160, 250, 300, 400}));

  frmModify::Form_Unload(s);
  EXPECT_EQ(s.db.IniFile, s.db.MainIniFile);
}

TEST_F(DatabaseEditorTest, ExamplesHaveTheirOwnCategoriesAndTabStops) {
  frmModify::Form_Load(s);
  ChooseType(0);
  EXPECT_EQ(s.modify.cmbCategory[1].Items, (std::vector<std::string>{"<NEW>", "Basics"}));
  EXPECT_EQ(s.lists.CurType, "Examples");
  EXPECT_EQ(s.lists.CurCategory, "Basics");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"", "Water\tMW(H2O)\tmolar mass of water"}));
  EXPECT_EQ(s.modify.lstINFO.TabStops, (std::vector<int>{85, 159, 160, 250, 400}));
}

TEST_F(DatabaseEditorTest, ATypeWithoutCategoriesShowsTheNewItem) {
  s.window.mnuExp.Captions.clear();
  s.lists.ExampleCount = 0;
  frmModify::Form_Load(s);
  ChooseType(0);
  EXPECT_EQ(s.modify.cmbCategory[1].ListIndex, 0);
  EXPECT_EQ(s.lists.CurCategory, "<NEW>");
  EXPECT_EQ(Lines(), (std::vector<std::string>{""}));
}

TEST_F(DatabaseEditorTest, ClickingALineLoadsItsFields) {
  frmModify::Form_Load(s);
  Select("R");
  EXPECT_EQ(s.modify.txtINFO, (std::array<std::string, 3>{"R", "8.314", "gas constant"}));
  EXPECT_EQ(s.modify.txtINFO0_Tag, LineOf("R"));
  Select("c");
  EXPECT_EQ(s.modify.txtINFO, (std::array<std::string, 3>{"c", "299792458", ""}));
}

TEST_F(DatabaseEditorTest, TypingAKeyAndAValueWithEnterWritesANewEntry) {
  frmModify::Form_Load(s);
  s.modify.txtINFO = {"k", "", ""};
  int key = kEnterKey;
  txtINFO_KeyPress(s, 0, key);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(s.modify.FocusRequest, ModifyControl::txtINFO1);
  // Leaving the key field with no value yet writes nothing.
  txtINFO_LostFocus(s, 0);
  EXPECT_FALSE(s.db.DbChanged);

  s.modify.txtINFO = {"k", "1.380649E-23", ""};
  key = kEnterKey;
  txtINFO_KeyPress(s, 1, key);
  EXPECT_EQ(key, 0);
  EXPECT_TRUE(s.db.DbChanged);
  EXPECT_EQ(Stored("Constants", "Physical", "k"), "1.380649E-23");
  EXPECT_EQ(s.db.IniFile, s.db.MainIniFile);  // from the first write on, the main file is shown
  EXPECT_EQ(Lines()[0], "");
  EXPECT_EQ(s.modify.lstINFO.ListIndex, LineOf("k"));
  EXPECT_EQ(s.modify.txtINFO, (std::array<std::string, 3>{"k", "1.380649E-23", ""}));
  EXPECT_EQ(s.modify.FocusRequest, ModifyControl::txtINFO0);
  EXPECT_TRUE(ui.questions.empty());
  // The second commit that the focus move causes writes nothing more.
  s.db.DbChanged = false;
  txtINFO_LostFocus(s, 1);
  EXPECT_FALSE(s.db.DbChanged);
}

TEST_F(DatabaseEditorTest, FieldsAreTrimmedAndIncompleteEntriesAreNotWritten) {
  const struct {
    const char* name;
    const char* key;
    const char* value;
  } rows[] = {
      {"empty key", "", "1"},
      {"blank key", "   ", "1"},
      {"empty value", "x", ""},
      {"blank value", "x", "  "},
  };
  for (const auto& row : rows) {
    frmModify::Form_Load(s);
    s.db.DbChanged = false;
    Commit(row.key, row.value, "");
    EXPECT_FALSE(s.db.DbChanged) << row.name;
    EXPECT_EQ(dir.Read("TOLVANE.INI"), EditorDatabase().Main()) << row.name;
    EXPECT_EQ(Lines().size(), 3u) << row.name;
    frmModify::Form_Unload(s);
  }
  frmModify::Form_Load(s);
  Commit("  mu  ", " 1.2566E-6 ", " permeability ");
  EXPECT_EQ(s.modify.txtINFO, (std::array<std::string, 3>{"mu", "1.2566E-6", "permeability"}));
  EXPECT_EQ(Stored("Constants", "Physical", "mu"), "1.2566E-6|permeability");
}

TEST_F(DatabaseEditorTest, ChangingTheDescriptionRewritesWithoutAQuestion) {
  frmModify::Form_Load(s);
  Select("c");
  Commit("c", "299792458", "speed of light");
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(Stored("Constants", "Physical", "c"), "299792458|speed of light");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"", "c\t299792458\tspeed of light",
                                               "R\t8.314\tgas constant"}));
  EXPECT_EQ(s.modify.lstINFO.ListIndex, 1);
}

TEST_F(DatabaseEditorTest, AnUnchangedLineIsNotWritten) {
  frmModify::Form_Load(s);
  Select("R");
  s.db.DbChanged = false;
  Commit("R", "8.314", "gas constant");
  EXPECT_FALSE(s.db.DbChanged);
  EXPECT_TRUE(ui.questions.empty());
}

TEST_F(DatabaseEditorTest, RenamingAKeyAsksAndYesReplacesNoKeepsBoth) {
  const struct {
    const char* name;
    const char* newKey;
    bool answer;
    bool oldKeptInFile;
    bool oldLineKept;
  } rows[] = {
      {"yes replaces", "Rgas", true, false, false},
      {"no keeps both", "Rgas", false, true, true},
      // A change of case names the same key: Yes writes the new spelling, No keeps the old.
      {"yes with a change of case respells the key", "r", true, false, false},
      {"no with a change of case keeps the spelling", "r", false, true, true},
  };
  for (const auto& row : rows) {
    EditorDatabase().Write(dir);
    ui.questions.clear();
    frmModify::Form_Load(s);
    Select("R");
    ui.yesNoAnswers = {row.answer};
    Commit(row.newKey, "8.314", "gas constant", 0);
    ASSERT_EQ(ui.questions.size(), 1u) << row.name;
    EXPECT_EQ(ui.questions[0], std::string("Do you want to replace R with ") + row.newKey + "?")
        << row.name;
    EXPECT_EQ(Stored("Constants", "Physical", row.newKey), "8.314|gas constant") << row.name;
    const auto keys = Keys("Constants-Physical");
    const bool oldInFile = std::find(keys.begin(), keys.end(), "R") != keys.end();
    const bool newInFile = std::find(keys.begin(), keys.end(), row.newKey) != keys.end();
    EXPECT_EQ(oldInFile, row.oldKeptInFile) << row.name;
    EXPECT_EQ(LineOf("R") >= 0, row.oldLineKept) << row.name;
    // The list shows each key as the file spells it, once.
    for (const std::string& key : keys)
      EXPECT_EQ(
          std::count_if(Lines().begin(), Lines().end(),
                        [&](const std::string& line) { return line.rfind(key + "\t", 0) == 0; }),
          1)
          << row.name << ": " << key;
    EXPECT_EQ(Lines().size(), keys.size() + 1) << row.name;
    if (newInFile) {
      EXPECT_EQ(s.modify.txtINFO[0], row.newKey) << row.name;
    }
    frmModify::Form_Unload(s);
  }
}

TEST_F(DatabaseEditorTest, ANewEntryOverAnExistingKeyAsksAndTheListShowsTheFile) {
  const struct {
    const char* name;
    const char* key;
    bool answer;
    const char* stored;
    std::vector<std::string> lines;
  } rows[] = {
      {"yes replaces the entry and its line",
       "R",
       true,
       "8.3145",
       {"", "c\t299792458\t", "R\t8.3145\t"}},
      {"keys match without regard to case",
       "r",
       true,
       "8.3145",
       {"", "c\t299792458\t", "r\t8.3145\t"}},
      {"no writes nothing and keeps the typing",
       "R",
       false,
       "8.314|gas constant",
       {"", "c\t299792458\t", "R\t8.314\tgas constant"}},
  };
  for (const auto& row : rows) {
    EditorDatabase().Write(dir);
    ui.questions.clear();
    frmModify::Form_Load(s);
    ui.yesNoAnswers = {row.answer};
    Commit(row.key, "8.3145", "");
    EXPECT_EQ(ui.questions, std::vector<std::string>{"R is in this category already. Do you "
                                                     "want to replace it?"})
        << row.name;
    EXPECT_EQ(Stored("Constants", "Physical", "R"), row.stored) << row.name;
    EXPECT_EQ(Lines(), row.lines) << row.name;
    EXPECT_EQ(s.modify.txtINFO[1], "8.3145") << row.name;
    // Shown again, the category lists what the list showed.
    cmbCategory_Click(s, 1);
    EXPECT_EQ(Lines(), row.lines) << row.name;
    frmModify::Form_Unload(s);
  }
}

TEST_F(DatabaseEditorTest, DeleteRemovesTheSelectedEntryAndNothingOnTheEmptyLine) {
  frmModify::Form_Load(s);
  Command1_Click(s, ModifyButton::Delete);  // the empty line is selected
  EXPECT_FALSE(s.db.DbChanged);
  EXPECT_EQ(Lines().size(), 3u);

  Select("R");
  Command1_Click(s, ModifyButton::Delete);
  EXPECT_EQ(Keys("Constants-Physical"), (std::vector<std::string>{"c"}));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"", "c\t299792458\t"}));
  EXPECT_EQ(s.db.IniFile, s.db.MainIniFile);
  // The fields no longer show the deleted entry, so leaving them cannot bring it back over the
  // line that took its place.
  EXPECT_EQ(s.modify.lstINFO.ListIndex, 0);
  EXPECT_EQ(s.modify.txtINFO0_Tag, 0);
  EXPECT_EQ(s.modify.txtINFO, (std::array<std::string, 3>{"", "", ""}));
  txtINFO_LostFocus(s, 0);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(Keys("Constants-Physical"), (std::vector<std::string>{"c"}));
}

TEST_F(DatabaseEditorTest, DeleteRemovesTheKeyOfTheSelectedLineEvenWhenTheFieldWasEdited) {
  frmModify::Form_Load(s);
  Select("R");
  s.modify.txtINFO = {"Rx", "", ""};  // an edit that cannot be committed (no value)
  txtINFO_LostFocus(s, 0);
  Command1_Click(s, ModifyButton::Delete);
  EXPECT_EQ(Keys("Constants-Physical"), (std::vector<std::string>{"c"}));
  EXPECT_EQ(LineOf("R"), -1);
}

TEST_F(DatabaseEditorTest, OkStartsANewEntryAndSaveOrCancelClose) {
  frmModify::Form_Load(s);
  Select("R");
  Command1_Click(s, ModifyButton::OK);
  EXPECT_EQ(s.modify.lstINFO.ListIndex, 0);
  EXPECT_EQ(s.modify.txtINFO, (std::array<std::string, 3>{"", "", ""}));
  EXPECT_EQ(s.modify.FocusRequest, ModifyControl::txtINFO0);
  EXPECT_FALSE(s.modify.CloseRequested);
  for (ModifyButton button : {ModifyButton::Save, ModifyButton::Cancel}) {
    s.modify.CloseRequested = false;
    Command1_Click(s, button);
    EXPECT_TRUE(s.modify.CloseRequested) << static_cast<int>(button);
  }
  frmModify::mnuCancel_Click(s);
  EXPECT_TRUE(s.modify.CloseRequested);
}

TEST_F(DatabaseEditorTest, TypedCategoryNamesSelectExistingCategoriesWithoutAQuestion) {
  const struct {
    const char* typed;
    const char* category;
  } rows[] = {{"ksp", "Ksp"}, {" physical ", "Physical"}, {"KSP", "Ksp"}};
  for (const auto& row : rows) {
    frmModify::Form_Load(s);
    ChooseCategory(row.typed);
    EXPECT_TRUE(ui.questions.empty()) << row.typed;
    EXPECT_EQ(s.lists.CurCategory, row.category) << row.typed;
    EXPECT_EQ(s.modify.cmbCategory[1].Text, row.category) << row.typed;
    frmModify::Form_Unload(s);
  }
  EXPECT_EQ(Lines(), (std::vector<std::string>{"", "AGCL\t1.8E-10\tsilver chloride"}));
}

TEST_F(DatabaseEditorTest, EnterOnTheSelectedCategoryDoesNothing) {
  frmModify::Form_Load(s);
  Select("R");
  ChooseCategory("Physical");
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(s.modify.lstINFO.ListIndex, LineOf("R"));  // not shown afresh
}

TEST_F(DatabaseEditorTest, ANewCategoryIsCreatedOnYesAndListedWithItsFirstEntry) {
  frmModify::Form_Load(s);
  ui.yesNoAnswers = {false};
  ChooseCategory("Metals");
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0], "Do you want to create a new category of Constants?");
  EXPECT_EQ(s.modify.cmbCategory[1].Items.size(), 3u);
  EXPECT_EQ(s.lists.CurCategory, "Physical");

  ui.yesNoAnswers = {true};
  ChooseCategory("Metals");
  EXPECT_EQ(s.modify.cmbCategory[1].Items.back(), "Metals");
  EXPECT_EQ(s.lists.CurCategory, "Metals");
  EXPECT_EQ(Lines(), (std::vector<std::string>{""}));
  EXPECT_FALSE(s.db.DbChanged);  // nothing is written before the first entry

  Commit("Fe", "55.845", "iron");
  EXPECT_EQ(Stored("Constants", "Metals", "Fe"), "55.845|iron");
  // The category is listed in the type section, so the menus and the search find it.
  EXPECT_EQ(Keys("Constants"), (std::vector<std::string>{"Physical", "Ksp", "Metals"}));
  EXPECT_EQ(Stored("Constants", "", "Metals"), "");
  Command1_Click(s, ModifyButton::OK);
  Commit("Cu", "63.546", "copper");
  EXPECT_EQ(Keys("Constants"), (std::vector<std::string>{"Physical", "Ksp", "Metals"}));
}

TEST_F(DatabaseEditorTest, AnEntryUnderTheNewItemDoesNotMakeACategory) {
  frmModify::Form_Load(s);
  s.modify.cmbCategory[1].ListIndex = 0;
  s.modify.cmbCategory[1].Text = "<NEW>";
  cmbCategory_Click(s, 1);
  Commit("x", "1", "");
  EXPECT_EQ(Stored("Constants", "<NEW>", "x"), "1");
  EXPECT_EQ(Keys("Constants"), (std::vector<std::string>{"Physical", "Ksp"}));
}

TEST_F(DatabaseEditorTest, CategoryNamesThatCannotBeSectionsAreRefused) {
  for (const char* typed : {"", "   ", "a]b", "a=b", "[x"}) {
    frmModify::Form_Load(s);
    ui.messages.clear();
    ChooseCategory(typed);
    EXPECT_TRUE(ui.questions.empty()) << typed;
    EXPECT_EQ(ui.messages.size(), 1u) << typed;
    EXPECT_EQ(s.modify.cmbCategory[1].Items.size(), 3u) << typed;
    frmModify::Form_Unload(s);
  }
}

TEST_F(DatabaseEditorTest, AfterTheFirstWriteTheListsComeFromTheMainFile) {
  frmModify::Form_Load(s);
  Commit("k", "1.38E-23", "");
  ChooseCategory("Ksp");
  ChooseCategory("Physical");
  EXPECT_GE(LineOf("k"), 0);
  // The copy keeps the database as it was when the editor opened.
  EXPECT_EQ(dir.Read("TOLVANE.IN_"), EditorDatabase().Main());
}

TEST_F(DatabaseEditorTest, TheListIgnoresKeys) {
  int key = 'a';
  frmModify::lstINFO_KeyDown(s, key);
  EXPECT_EQ(key, 0);
}

TEST_F(DatabaseEditorTest, ModifyDatabaseReloadsTheMenusOnlyAfterAWrite) {
  s.window.lstKey.Visible = true;
  s.ui.Changed(Control::KeyList);
  ui.onShowModal = [&](Dialog dialog) {
    ASSERT_EQ(dialog, Dialog::ModifyDatabase);
    ui.yesNoAnswers = {true};
    ChooseCategory("Metals");
    Commit("Fe", "55.845", "");
    Command1_Click(s, ModifyButton::Save);
  };
  mnuModify_Click(s);
  EXPECT_FALSE(s.window.lstKey.Visible);
  EXPECT_EQ(s.db.IniFile, s.db.MainIniFile);
  EXPECT_TRUE(s.db.DbChanged);
  EXPECT_EQ(s.window.mnuConst.Captions, (std::vector<std::string>{"Physical", "Ksp", "Metals"}));

  // Without a write the menus are left as they are.
  s.window.mnuConst.Captions = {"unchanged"};
  ui.onShowModal = [&](Dialog) { Command1_Click(s, ModifyButton::Cancel); };
  mnuModify_Click(s);
  EXPECT_FALSE(s.db.DbChanged);
  EXPECT_EQ(s.window.mnuConst.Captions, (std::vector<std::string>{"unchanged"}));
}

TEST_F(DatabaseEditorTest, ModifyDatabaseRewritesThePagesWhereTheWebVersionIsServed) {
  const struct {
    const char* name;
    bool served;  // the gateway's answer template lies in the program folder
    const char* value;
  } rows[] = {{"desktop only", false, "55.845"},
              {"web version served", true, "55.845"},
              {"a second change in the same run reaches the page too", true, "55.8452"}};
  for (const auto& row : rows) {
    std::filesystem::remove(dir.File("tolvanec.htm"));
    if (row.served) {
      dir.Write("tolvane.ht_", "%%scalc%%\r\n");
      dir.Write("tolvanes.ht_", "<html>\r\n");
      dir.Write("tolvane1.ht_", "%%refs%%\r\n");
    }
    ui.yesNoAnswers = {true};  // the second change replaces the entry of the first
    ui.onShowModal = [&](Dialog) {
      ChooseCategory("Physical");
      Commit("Fe", row.value, "iron");
      Command1_Click(s, ModifyButton::Save);
    };
    mnuModify_Click(s);
    const std::string page = dir.Read("tolvanec.htm");
    if (row.served) {
      EXPECT_NE(page.find(std::string(row.value) + "|Fe"), std::string::npos) << row.name;
    } else {
      EXPECT_EQ(page, "") << row.name;
    }
  }
}

TEST_F(DatabaseEditorTest, KeysThatCannotBeStoredOrTypedAreRefusedByName) {
  const struct {
    const char* type;  // "Constants" or "Examples"
    const char* key;
    const char* because;  // "" when the key is taken
  } rows[] = {
      {"Constants", "a=b", "\"=\" separates a key from its value"},
      {"Constants", ";semi", "a line starting with \";\" is a comment"},
      {"Constants", "[br", "a line starting with \"[\" opens a section"},
      {"Constants", "ok key", "blanks are dropped from calculations"},
      {"Constants", "K;2", "\";\" separates calculations"},
      {"Constants", "K'1", "\"'\" starts a comment"},
      {"Constants", "K#4", "\"#\" sets the significant digits"},
      {"Constants", "<K>", "\"<\" and \">\" enclose the name"},
      {"Constants", "K{1}", "braces are read as parentheses"},
      {"Constants", "Kw(25)", ""},
      {"Examples", "a=b", "\"=\" separates a key from its value"},
      {"Examples", "ok key", ""},
      {"Examples", "K;2", ""},
  };
  for (const auto& row : rows) {
    EditorDatabase().Write(dir);
    ui.messages.clear();
    frmModify::Form_Load(s);
    if (std::string(row.type) == "Examples") ChooseType(0);
    s.db.DbChanged = false;
    Commit(row.key, "1", "");
    const std::string name = std::string(row.type) + " " + row.key;
    if (*row.because == '\0') {
      EXPECT_TRUE(ui.messages.empty()) << name;
      EXPECT_GE(LineOf(row.key), 0) << name;
      EXPECT_EQ(Stored(row.type, s.lists.CurCategory, row.key), "1") << name;
      continue;
    }
    ASSERT_EQ(ui.messages.size(), 1u) << name;
    EXPECT_NE(ui.messages[0].text.find("\"" + std::string(row.key) + "\""), std::string::npos)
        << name << ": " << ui.messages[0].text;
    EXPECT_NE(ui.messages[0].text.find(row.because), std::string::npos)
        << name << ": " << ui.messages[0].text;
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation) << name;
    EXPECT_EQ(dir.Read("TOLVANE.INI"), EditorDatabase().Main()) << name;
    EXPECT_EQ(LineOf(row.key), -1) << name;
    // The typing stays for the user to mend, and no click on the list loses it.
    EXPECT_EQ(s.modify.txtINFO[0], row.key) << name;
    EXPECT_EQ(s.modify.FocusRequest, ModifyControl::txtINFO0) << name;
    s.modify.lstINFO.ListIndex = 1;
    lstINFO_Click(s);
    EXPECT_EQ(s.modify.txtINFO[0], row.key) << name;
    frmModify::Form_Unload(s);
  }
}

TEST_F(DatabaseEditorTest, ValuesThatWouldNotReadBackAreRefused) {
  const std::string longest(kMaxEntryLength, '7');
  const struct {
    const char* name;
    std::string value;
    std::string description;
    const char* because;  // "" when the entry is written
  } rows[] = {
      {"a bar would split off a description", "1|2", "", "cannot contain \"|\""},
      {"longer than the reader takes", longest, "x", "at most 499"},
      {"value and description up to the limit", longest.substr(2), "x", ""},
      {"a bar in the description is kept", "1", "a|b", ""},
  };
  for (const auto& row : rows) {
    EditorDatabase().Write(dir);
    ui.messages.clear();
    frmModify::Form_Load(s);
    Commit("K", row.value, row.description);
    const std::string entry = row.value + "|" + row.description;
    if (*row.because == '\0') {
      EXPECT_TRUE(ui.messages.empty()) << row.name;
      EXPECT_EQ(Stored("Constants", "Physical", "K"), entry) << row.name;
    } else {
      ASSERT_EQ(ui.messages.size(), 1u) << row.name;
      EXPECT_NE(ui.messages[0].text.find(row.because), std::string::npos)
          << row.name << ": " << ui.messages[0].text;
      EXPECT_EQ(dir.Read("TOLVANE.INI"), EditorDatabase().Main()) << row.name;
      EXPECT_EQ(s.modify.txtINFO[1], row.value) << row.name;
    }
    frmModify::Form_Unload(s);
  }
}

TEST_F(DatabaseEditorTest, AValueLongerThanTheReaderTakesIsNeverShortened) {
  const std::string value(600, '9');
  EditorDatabase().Entry("Constants", "Long", "big", value).Write(dir);
  s.window.mnuConst.Captions.push_back("Long");
  s.lists.ConstCount = 3;
  frmModify::Form_Load(s);
  ChooseCategory("Long");
  Select("big");
  EXPECT_EQ(s.modify.txtINFO[1], value);  // shown whole
  Commit("big", value, "a description");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("at most 499"), std::string::npos);
  EXPECT_NE(dir.Read("TOLVANE.INI").find("big=" + value + "\r\n"), std::string::npos);
}

TEST_F(DatabaseEditorTest, ADatabaseThatCannotBeWrittenIsShownAndSaysWhy) {
  namespace fs = std::filesystem;
  const struct {
    const char* name;
    bool folder;  // the folder, not the file, is marked read-only
    const char* because;
  } rows[] = {
      {"file marked read-only", false, "TOLVANE.INI is marked read-only"},
      {"folder marked read-only", true, "TOLVANE.INI cannot be replaced: its folder "},
  };
  for (const auto& row : rows) {
    EditorDatabase().Write(dir);
    // A working copy of an older state lies there; it must not be shown.
    dir.Write("TOLVANE.IN_", "[Constants-Physical]\r\nstale=1\r\n");
    const fs::path locked = row.folder ? dir.path() : fs::path(dir.File("TOLVANE.INI"));
    const fs::perms before = fs::status(locked).permissions();
    fs::permissions(locked, row.folder ? fs::perms(0555) : fs::perms(0444));
    ui.messages.clear();

    frmModify::Form_Load(s);
    ASSERT_EQ(ui.messages.size(), 1u) << row.name;
    const std::string& text = ui.messages[0].text;
    EXPECT_EQ(text.rfind("The database cannot be changed: ", 0), 0u) << row.name << ": " << text;
    EXPECT_NE(text.find(row.because), std::string::npos) << row.name << ": " << text;
    // The message names the file, and the folder where that is what cannot be written.
    EXPECT_NE(text.find(dir.File("TOLVANE.INI")), std::string::npos) << row.name << ": " << text;
    if (row.folder) {
      EXPECT_NE(text.find("its folder " + dir.path().string() + " is marked read-only"),
                std::string::npos)
          << row.name << ": " << text;
    }
    EXPECT_TRUE(s.modify.ReadOnly) << row.name;
    EXPECT_EQ(s.modify.Caption, "Modify Database (read-only)") << row.name;
    EXPECT_EQ(Lines(), (std::vector<std::string>{"", "c\t299792458\t", "R\t8.314\tgas constant"}))
        << row.name;

    // Nothing is shown as saved, nor deleted.
    Commit("k", "1", "");
    EXPECT_EQ(ui.messages.size(), 2u) << row.name;
    EXPECT_EQ(LineOf("k"), -1) << row.name;
    int key = frmModify::kEscapeKey;
    txtINFO_KeyPress(s, 0, key);
    Select("R");
    Command1_Click(s, ModifyButton::Delete);
    EXPECT_EQ(ui.messages.size(), 3u) << row.name;
    EXPECT_GE(LineOf("R"), 0) << row.name;
    fs::permissions(locked, before);
    EXPECT_EQ(dir.Read("TOLVANE.INI"), EditorDatabase().Main()) << row.name;
    frmModify::Form_Unload(s);
  }
}

TEST_F(DatabaseEditorTest, AWriteThatFailsIsNotShownAsSaved) {
  namespace fs = std::filesystem;
  frmModify::Form_Load(s);
  // Another program marks the file read-only while the editor is open.
  fs::permissions(dir.File("TOLVANE.INI"), fs::perms(0444));
  Select("R");
  Commit("R", "8.3145", "gas constant");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "The entry could not be saved: " + dir.File("TOLVANE.INI") + " is marked read-only.");
  EXPECT_GE(LineOf("R"), 0);
  EXPECT_EQ(Lines()[static_cast<std::size_t>(LineOf("R"))], "R\t8.314\tgas constant");
  EXPECT_EQ(s.modify.txtINFO[1], "8.3145");
  fs::permissions(dir.File("TOLVANE.INI"), fs::perms(0644));
  EXPECT_EQ(dir.Read("TOLVANE.INI"), EditorDatabase().Main());
}

TEST_F(DatabaseEditorTest, EscapeGivesUpTheEditAndOnlyThen) {
  const struct {
    const char* name;
    const char* select;  // "" for the empty line
    std::array<std::string, 3> typed;
    std::array<std::string, 3> after;
    int key;  // the key code left for the window: 0 when the edit was given up
  } rows[] = {
      {"a new entry is emptied", "", {"junk", "1", ""}, {"", "", ""}, 0},
      {"an edited line shows its entry again",
       "R",
       {"Rx", "8", "y"},
       {"R", "8.314", "gas constant"},
       0},
      {"with nothing to give up the key goes on",
       "R",
       {"R", "8.314", "gas constant"},
       {"R", "8.314", "gas constant"},
       frmModify::kEscapeKey},
  };
  for (const auto& row : rows) {
    frmModify::Form_Load(s);
    if (*row.select != '\0') Select(row.select);
    s.modify.txtINFO = row.typed;
    int key = frmModify::kEscapeKey;
    txtINFO_KeyPress(s, 1, key);
    EXPECT_EQ(key, row.key) << row.name;
    EXPECT_EQ(s.modify.txtINFO, row.after) << row.name;
    // Leaving the field afterwards writes nothing.
    txtINFO_LostFocus(s, 1);
    EXPECT_EQ(dir.Read("TOLVANE.INI"), EditorDatabase().Main()) << row.name;
    frmModify::Form_Unload(s);
  }
}

}  // namespace
}  // namespace ostravel
