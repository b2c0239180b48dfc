// The delivered database read and written through the access routines.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "database/ini_access.h"
#include "database/key_lists.h"
#include "database/settings.h"
#include "session/session.h"
#include "support/recording_platform.h"
#include "support/temp_dir.h"

namespace ostravel {
namespace {

class DeliveredData : public ::testing::Test {
 protected:
  DeliveredData() : s(ui) {
    for (const char* name : {"TOLVANE.INI", "TOLVANEC.INI"}) {
      dir.Write(name, testing::ReadFileBytes(std::string(OSTRAVEL_DATA_DIR) + "/" + name));
    }
    s.db.ProgramFolder = dir.path().string();
    LoadSettings(s);
    LoadLists(s);
  }

  testing::TempDir dir;
  testing::RecordingPlatform ui;
  Session s;
};

TEST_F(DeliveredData, LoadsOptionsElementsAndCategories) {
  EXPECT_EQ(s.format.SigDigits, 4);
  EXPECT_EQ(s.db.QuickUrl, "");
  EXPECT_EQ(s.elements.ElementSymbols.substr(0, 7), " H HeLi");
  EXPECT_EQ(s.elements.ElementSymbols.size(), 1u + 2 * 118);
  EXPECT_GT(s.lists.ConstCount, 5);
  EXPECT_GT(s.lists.ExampleCount, 5);
  EXPECT_EQ(s.lists.ContribCount, 0);
  EXPECT_NE(s.lists.RadicalKeys.find(std::string("\0Ph\0", 4)), std::string::npos);
}

TEST_F(DeliveredData, EveryCategoryShowsAllItsEntries) {
  for (int i = 1; i <= s.lists.ConstCount; ++i) {
    mnuConst_Click(s, i);
    const std::string keys = IniGetKeys(s, "Constants-" + s.lists.CurCategory);
    EXPECT_FALSE(keys.empty()) << s.lists.CurCategory;
    EXPECT_EQ(s.window.lstKey.Items.size(),
              static_cast<std::size_t>(std::count(keys.begin(), keys.end(), '\0')))
        << s.lists.CurCategory;
  }
}

TEST_F(DeliveredData, WritingAndUndoingRestoresEveryByte) {
  const std::string original = dir.Read("TOLVANE.INI");
  mnuConst_Click(s, 1);
  const std::string category = s.lists.CurCategory;
  std::string keys = IniGetKeys(s, "Constants-" + category);
  const std::string first = PopListItem(keys);
  const std::string raw =
      *s.db.Profiles.Read(s.db.MainIniFile)->Find("Constants-" + category, first);

  ASSERT_TRUE(IniPutEntry(s, "Constants", category, "NEWKEY", "1|new"));
  ASSERT_TRUE(IniPutEntry(s, "Constants", category, first, "2|changed"));
  EXPECT_NE(dir.Read("TOLVANE.INI"), original);
  ASSERT_TRUE(IniPutEntry(s, "Constants", category, "NEWKEY", kNul));
  ASSERT_TRUE(IniPutEntry(s, "Constants", category, first, raw));
  EXPECT_EQ(dir.Read("TOLVANE.INI"), original);
}

}  // namespace
}  // namespace ostravel
