#include "database/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "session/session.h"
#include "support/recording_platform.h"
#include "support/temp_dir.h"

namespace ostravel {
namespace {

class Settings : public ::testing::Test {
 protected:
  Settings() : s(ui) { s.db.ProgramFolder = dir.path().string(); }
  void Load(const std::string& mainFile) {
    dir.Write("TOLVANE.INI", mainFile);
    LoadSettings(s);
  }

  testing::TempDir dir;
  testing::RecordingPlatform ui;
  Session s;
};

TEST_F(Settings, BuildsThePathsAndResetsTheRunState) {
  s.db.ProgramFolder += "/";
  s.flags = RunFlags{false, true, false, false, false};
  s.window.optCodesChecked = false;
  s.calc.TraceFlag = true;
  s.memory.MemoryCount = 12;
  s.window.entryline = TextBoxModel{"1+1", 1, 2};
  Load("[Options]\r\nDefault Significant Digits=4\r\n");

  const std::string folder = dir.path().string();
  EXPECT_EQ(s.db.ProgramFolder, folder);
  EXPECT_EQ(s.db.MainIniFile, folder + "/TOLVANE.INI");
  EXPECT_EQ(s.db.PermIniFile, folder + "/TOLVANEP.INI");
  EXPECT_EQ(s.db.ContribIniFile, folder + "/TOLVANEC.INI");
  EXPECT_EQ(s.db.IniFile, s.db.MainIniFile);
  EXPECT_TRUE(s.flags.QuickSimplex);
  EXPECT_TRUE(s.flags.AbbrevConstants);
  EXPECT_TRUE(s.flags.ExpandRadicals);
  EXPECT_FALSE(s.flags.Unattended);
  EXPECT_FALSE(s.window.optCodesChecked);  // the marks belong to the Options menu
  EXPECT_FALSE(s.calc.TraceFlag);
  EXPECT_EQ(s.memory.MemoryCount, 0);
  EXPECT_EQ(s.window.entryline.Text, "");
  EXPECT_EQ(s.window.entryline.SelStart, 0);
  EXPECT_EQ(s.window.memories.TabStops, (std::vector<int>{70, 75, 80, 85, 90}));
  EXPECT_EQ(s.format.SigDigits, 4);
}

struct UrlRow {
  const char* name;
  std::string value;
  std::string expected;  // "@" stands for the program folder
};

TEST_F(Settings, QuickUrlStartingWithTwoDotsIsInTheProgramFolder) {
  const UrlRow rows[] = {
      {"relative path", "..\\web\\quick.htm", "@/..\\web\\quick.htm"},
      {"two dots alone", "..", "@/.."},
      {"other value unchanged", "http://localhost/quick.htm", "http://localhost/quick.htm"},
      {"one dot unchanged", ".\\quick.htm", ".\\quick.htm"},
      {"empty stays empty", "", ""},
  };
  for (const auto& row : rows) {
    Load("[Options]\nQUICKURL=" + row.value + "\n");
    std::string expected = row.expected;
    if (expected.starts_with("@")) expected = dir.path().string() + expected.substr(1);
    EXPECT_EQ(s.db.QuickUrl, expected) << row.name;
  }
}

struct DigitsRow {
  const char* name;
  std::optional<std::string> option;
  int expected;
};

TEST_F(Settings, SignificantDigitsComeFromTheOption) {
  const DigitsRow rows[] = {
      {"four", "4", 4},
      {"reduced modulo 10", "14", 4},
      {"zero", "0", 0},
      {"missing", std::nullopt, 0},
      {"leading number of the text", "6 digits", 6},
      {"not a number", "many", 0},
      {"beyond any range", "1E400", 0},
  };
  for (const auto& row : rows) {
    Load(row.option ? "[Options]\nDefault Significant Digits=" + *row.option + "\n" : "");
    EXPECT_EQ(s.format.SigDigits, row.expected) << row.name;
  }
}

TEST_F(Settings, AtomicWeightsFillTheElementTable) {
  Load("[AtomicWeights]\nH=1.00794(7)\nHe=4.002602\nLi=6.941|lithium\nUuq=289\nX=1E400\n");
  EXPECT_EQ(s.elements.ElementSymbols, " H HeLiUuX ");
  EXPECT_DOUBLE_EQ(s.elements.AtomWeight[0], 0);
  EXPECT_DOUBLE_EQ(s.elements.AtomWeight[1], 1.00794);
  EXPECT_DOUBLE_EQ(s.elements.AtomWeight[2], 4.002602);
  EXPECT_DOUBLE_EQ(s.elements.AtomWeight[3], 6.941);
  EXPECT_DOUBLE_EQ(s.elements.AtomWeight[4], 289);
  EXPECT_DOUBLE_EQ(s.elements.AtomWeight[5], 0);

  // A later load with a shorter table leaves nothing of the longer one.
  Load("[AtomicWeights]\nC=12.011\n");
  EXPECT_EQ(s.elements.ElementSymbols, " C ");
  EXPECT_DOUBLE_EQ(s.elements.AtomWeight[2], 0);
}

TEST_F(Settings, KeysBeyond150ElementsAreIgnored) {
  std::string bytes = "[AtomicWeights]\n";
  for (int z = 1; z <= 160; ++z)
    bytes += "E" + std::to_string(z) + "=" + std::to_string(z) + "\n";
  Load(bytes);
  EXPECT_EQ(s.elements.ElementSymbols.size(), 1u + 2 * kMaxElements);
  EXPECT_DOUBLE_EQ(s.elements.AtomWeight[150], 150);
}

TEST_F(Settings, MissingMainFileGivesEmptySettings) {
  LoadSettings(s);
  EXPECT_EQ(s.db.QuickUrl, "");
  EXPECT_EQ(s.format.SigDigits, 0);
  EXPECT_EQ(s.elements.ElementSymbols, " ");
  EXPECT_DOUBLE_EQ(s.elements.AtomWeight[1], 0);
  EXPECT_TRUE(ui.messages.empty());
}

// Sets or clears environment variables for the length of a test.
class EnvironmentGuard {
 public:
  void Set(const char* name, const std::string& value) {
    Save(name);
    ::setenv(name, value.c_str(), 1);
  }
  void Clear(const char* name) {
    Save(name);
    ::unsetenv(name);
  }
  ~EnvironmentGuard() {
    for (const auto& [name, value] : saved_) {
      if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
      else
        ::unsetenv(name.c_str());
    }
  }

 private:
  void Save(const char* name) {
    const char* value = std::getenv(name);
    saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

class ProgramFolder : public ::testing::Test {
 protected:
  ProgramFolder() {
    std::filesystem::create_directories(dir.path() / "exe");
    std::filesystem::create_directories(dir.path() / "defaults" / "sub");
    dir.Write("defaults/TOLVANE.INI", "[Options]\r\n");
    dir.Write("defaults/tolvane1.ht_", "<html>");
    dir.Write("defaults/sub/x", "x");
    env.Clear("OSTRAVEL_HOME");
    env.Set("XDG_DATA_HOME", (dir.path() / "xdg").string());
    env.Set("HOME", (dir.path() / "home").string());
  }
  std::string Resolve() {
    return ResolveProgramFolder((dir.path() / "exe").string(), (dir.path() / "defaults").string());
  }

  testing::TempDir dir;
  EnvironmentGuard env;
};

TEST_F(ProgramFolder, OstravelHomeComesFirst) {
  env.Set("OSTRAVEL_HOME", "/srv/ostravel/");
  dir.Write("exe/TOLVANE.INI", "");
  EXPECT_EQ(Resolve(), "/srv/ostravel");
}

TEST_F(ProgramFolder, ExecutableFolderHoldingTheDatabaseIsUsed) {
  dir.Write("exe/TOLVANE.INI", "");
  EXPECT_EQ(Resolve(), (dir.path() / "exe").string());
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "xdg"));
}

TEST_F(ProgramFolder, DataFolderIsCreatedAndSeededWithoutOverwriting) {
  const std::string expected = (dir.path() / "xdg" / "ostravel").string();
  EXPECT_EQ(Resolve(), expected);
  EXPECT_EQ(dir.Read("xdg/ostravel/TOLVANE.INI"), "[Options]\r\n");
  EXPECT_EQ(dir.Read("xdg/ostravel/tolvane1.ht_"), "<html>");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "xdg" / "ostravel" / "sub"));
  struct stat info;
  ASSERT_EQ(::stat(expected.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  dir.Write("xdg/ostravel/TOLVANE.INI", "[Mine]\r\n");
  std::filesystem::remove(dir.path() / "xdg" / "ostravel" / "tolvane1.ht_");
  EXPECT_EQ(Resolve(), expected);
  EXPECT_EQ(dir.Read("xdg/ostravel/TOLVANE.INI"), "[Mine]\r\n");
  EXPECT_EQ(dir.Read("xdg/ostravel/tolvane1.ht_"), "<html>");
  int files = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator(dir.path() / "xdg" / "ostravel")) {
    ++files;
  }
  EXPECT_EQ(files, 2);  // no temporary copies left behind
}

// The isotope table is program data: a delivered table of a higher edition replaces the copy
// in the data folder; any other copy stays as it is.
TEST_F(ProgramFolder, ANewerDeliveredIsotopeTableReplacesAnOlderCopy) {
  const std::string kEdition1 = "# table\n[Edition]\n1\n[Isotopes]\nH\t1\t1.0078\t1\n";
  const std::string kEdition2 = "[Edition]\r\n2\r\n[Isotopes]\r\nH\t1\t1.00783\t1\r\n";
  const std::string kNoEdition = "[Isotopes]\nH\t1\t1.0\t1\n";
  struct Row {
    const char* name;
    std::string copy;  // "" for none
    std::string delivered;
    std::string after;
  } rows[] = {
      {"no copy yet", "", kEdition1, kEdition1},
      {"a copy without an edition is older", kNoEdition, kEdition1, kEdition1},
      {"an older edition", kEdition1, kEdition2, kEdition2},
      {"the same edition stays", kEdition1 + "# mine\n", kEdition1, kEdition1 + "# mine\n"},
      {"a newer edition stays", kEdition2, kEdition1, kEdition2},
      {"a delivered table without an edition replaces nothing", kEdition1, kNoEdition, kEdition1},
  };
  for (const Row& row : rows) {
    std::filesystem::remove_all(dir.path() / "xdg");
    if (!row.copy.empty()) {
      std::filesystem::create_directories(dir.path() / "xdg" / "ostravel");
      dir.Write("xdg/ostravel/ISOTOPES.TXT", row.copy);
    }
    dir.Write("defaults/ISOTOPES.TXT", row.delivered);
    Resolve();
    EXPECT_EQ(dir.Read("xdg/ostravel/ISOTOPES.TXT"), row.after) << row.name;
  }
}

TEST_F(ProgramFolder, RelativeOrMissingDataHomeFallsBackToTheHomeFolder) {
  env.Set("XDG_DATA_HOME", "relative/path");
  EXPECT_EQ(Resolve(), (dir.path() / "home" / ".local" / "share" / "ostravel").string());
  env.Clear("XDG_DATA_HOME");
  EXPECT_EQ(Resolve(), (dir.path() / "home" / ".local" / "share" / "ostravel").string());
  EXPECT_EQ(dir.Read("home/.local/share/ostravel/TOLVANE.INI"), "[Options]\r\n");
}

TEST_F(ProgramFolder, AnUnusableDatabaseIsReportedOnceWithTheFoldersLookedIn) {
  const struct {
    const char* name;
    const char* main;     // the bytes of the main file; nullptr: none, "/": a folder
    const char* problem;  // "" when the database can be used
  } rows[] = {
      {"missing", nullptr, "is missing."},
      {"empty", " \r\n", "is empty."},
      {"not an INI file",
       "\x7f"
       "ELF\x01\x02",
       "holds no atomic weights (no [AtomicWeights] section): it is not Ostravel's database."},
      {"an INI file without atomic weights", "[Options]\r\nQUICKURL=\r\n",
       "holds no atomic weights"},
      {"a folder", "/", "is a folder, not a file."},
      {"usable", "[AtomicWeights]\r\nH=1.008\r\n", ""},
  };
  for (const auto& row : rows) {
    const std::filesystem::path folder = dir.path() / "home" / row.name;
    std::filesystem::create_directories(folder);
    if (row.main != nullptr && std::string(row.main) == "/") {
      std::filesystem::create_directory(folder / "TOLVANE.INI");
    } else if (row.main != nullptr) {
      dir.Write("home/" + std::string(row.name) + "/TOLVANE.INI", row.main);
    }
    env.Set("OSTRAVEL_HOME", folder.string());
    testing::RecordingPlatform ui;
    Session s(ui);
    s.db.ProgramFolder = folder.string();
    LoadSettings(s);
    ReportUnusableDatabase(s);
    if (*row.problem == '\0') {
      EXPECT_TRUE(ui.messages.empty()) << row.name;
      continue;
    }
    ASSERT_EQ(ui.messages.size(), 1u) << row.name;
    const std::string& text = ui.messages[0].text;
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation) << row.name;
    EXPECT_EQ(
        text.rfind("The database " + (folder / "TOLVANE.INI").string() + " " + row.problem, 0), 0u)
        << text;
    EXPECT_NE(
        text.find("Ostravel looked in " + folder.string() + ", the folder OSTRAVEL_HOME names"),
        std::string::npos)
        << text;
  }
  // Without OSTRAVEL_HOME both folders of the search are named.
  env.Clear("OSTRAVEL_HOME");
  testing::RecordingPlatform ui;
  Session s(ui);
  s.db.ProgramFolder = (dir.path() / "home" / "missing").string();
  LoadSettings(s);
  ReportUnusableDatabase(s);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("the folder of the program file ("), std::string::npos);
  EXPECT_NE(ui.messages[0].text.find((dir.path() / "xdg" / "ostravel").string()),
            std::string::npos);
}

}  // namespace
}  // namespace ostravel
