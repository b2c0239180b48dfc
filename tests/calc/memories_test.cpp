#include "memory/memories.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "chemistry/arithmetic_reader.h"
#include "session/session.h"
#include "support/recording_platform.h"

namespace ostravel {
namespace {

class MemoriesTest : public ::testing::Test {
 protected:
  MemoriesTest() {
    s.format.SigDigits = 4;
    SetSigFormat(s.format);
  }
  bool WasChanged(Control control) const {
    return std::find(ui.changed.begin(), ui.changed.end(), control) != ui.changed.end();
  }

  testing::RecordingPlatform ui;
  Session s{ui};
};

TEST_F(MemoriesTest, StoreMemoryListsTheLineAtTheTop) {
  StoreMemory(s, 2.0, "1+1", false);
  StoreMemory(s, 18.0153, "MW(H2O)", false);
  ASSERT_EQ(s.window.memories.Items.size(), 2u);
  EXPECT_EQ(s.window.memories.Items[0], "M2: 18.02\tMW(H2O)");
  EXPECT_EQ(s.window.memories.Items[1], "M1: 2.000\t1+1");
  EXPECT_EQ(s.memory.MemoryCount, 2);
  EXPECT_EQ(s.memory.MemValues[2], 18.0153);  // full precision, only the display is rounded
  EXPECT_EQ(s.memory.MemNames[2], "MW(H2O)");
  EXPECT_TRUE(WasChanged(Control::Memories));
}

TEST_F(MemoriesTest, StoreWithoutShowTouchesNothingElse) {
  s.window.entryline.Text = "typed";
  StoreMemory(s, 5, "x", false);
  EXPECT_EQ(s.window.entryline.Text, "typed");
  EXPECT_EQ(ui.clipboardWrites, 0);
  EXPECT_EQ(s.window.lblClip.Caption, "Clipboard:");
}

TEST_F(MemoriesTest, StoreWithShowFillsEntryLineClipboardAndLabel) {
  s.window.memories.TopIndex = 7;
  s.calc.ResultLabel = "2*3";
  StoreMemory(s, 6, "2*3", true);
  EXPECT_EQ(s.window.memories.TopIndex, 0);
  EXPECT_EQ(s.window.entryline.Text, "2*3");
  EXPECT_EQ(s.window.entryline.SelStart, 3);
  EXPECT_EQ(s.window.entryline.SelLength, 0);
  EXPECT_EQ(ui.clipboard, "6.000");
  EXPECT_EQ(s.window.lblClip.Caption, "Clipboard now: 6.000");
  EXPECT_TRUE(s.window.lblClip.Visible);
  EXPECT_TRUE(WasChanged(Control::EntryLine));
  EXPECT_TRUE(WasChanged(Control::Labels));
}

TEST_F(MemoriesTest, CaretFollowsTheLengthOfTheResultLabel) {
  const struct {
    const char* name;
    const char* label;
    const char* stored;
    int caret;
  } rows[] = {
      {"label shorter than name", "MW(", "MW(H2O)", 3},
      {"label longer than name is clamped", "2*MW(H2O)+<R>", "MW(H2O)", 7},
      {"empty label", "", "abc", 0},
  };
  for (const auto& row : rows) {
    s.calc.ResultLabel = row.label;
    StoreMemory(s, 1, row.stored, true);
    EXPECT_EQ(s.window.entryline.SelStart, row.caret) << row.name;
  }
}

TEST_F(MemoriesTest, QuietModeLeavesClipboardAndLabelUnchanged) {
  ui.clipboard = "before";
  s.flags.QuietMode = true;
  StoreMemory(s, 42, "6*7", true);
  EXPECT_EQ(ui.clipboard, "before");
  EXPECT_EQ(ui.clipboardWrites, 0);
  EXPECT_EQ(s.window.lblClip.Caption, "Clipboard:");
  EXPECT_EQ(s.window.memories.Items.front(), "M1: 42.00\t6*7");
}

TEST_F(MemoriesTest, CopyToClipboardReplacesTheClipboard) {
  ui.clipboard = "old";
  s.window.lblClip.Visible = false;
  CopyToClipboard(s, "1.235E+4");
  EXPECT_EQ(ui.clipboard, "1.235E+4");
  EXPECT_EQ(s.window.lblClip.Caption, "Clipboard now: 1.235E+4");
  EXPECT_TRUE(s.window.lblClip.Visible);
}

TEST_F(MemoriesTest, TheThousandAndFirstResultIsMemoryOneAgain) {
  for (int i = 1; i <= kMaxMemories; ++i)
    StoreMemory(s, i, "r" + std::to_string(i), false);
  EXPECT_EQ(s.memory.MemoryCount, 1000);
  StoreMemory(s, 12346.0, "new", false);
  EXPECT_EQ(s.memory.MemoryCount, 1);
  EXPECT_EQ(s.memory.MemValues[1], 12346.0);  // what the memory operator reads for M1
  EXPECT_EQ(s.memory.MemNames[1], "new");
  EXPECT_EQ(s.memory.MemValues[2], 2.0);
  // The list keeps the old line with the reused number below the new one.
  ASSERT_EQ(s.window.memories.Items.size(), 1001u);
  EXPECT_EQ(s.window.memories.Items[0], "M1: 1.235E+4\tnew");
  EXPECT_EQ(s.window.memories.Items[1000], "M1: 1.000\tr1");
  // The old lines up to 1000 may still be referred to; beyond them there are none.
  EXPECT_EQ(ArithmeticFault(s, "M1000*2"), "");
  EXPECT_EQ(ArithmeticFault(s, "M2"), "");
  EXPECT_EQ(ArithmeticFault(s, "M1001"), "M1001 names no memory line (the lines are M1 to M1000)");
}

TEST_F(MemoriesTest, CountOutsideItsRangeRestartsAtOne) {
  for (int bad : {-5, 1000, 5000}) {
    s.memory.MemoryCount = bad;
    StoreMemory(s, 3, "x", false);
    EXPECT_EQ(s.memory.MemoryCount, 1) << bad;
  }
}

TEST_F(MemoriesTest, FindMemoryNameSearchesFromNameSearchStart) {
  StoreMemory(s, 1, "MW(H2O)", false);  // 1
  StoreMemory(s, 2, "<R>", false);      // 2
  StoreMemory(s, 3, "MW(H2O)", false);  // 3
  const struct {
    const char* name;
    int start;
    const char* search;
    int expected;
  } rows[] = {
      {"first match wins", 0, "MW(H2O)", 1},
      {"start skips older lines", 2, "MW(H2O)", 3},
      {"start on the newest line", 3, "MW(H2O)", 3},
      {"case-sensitive", 0, "mw(h2o)", 0},
      {"no partial match", 0, "MW(H2", 0},
      {"missing name", 0, "<F>", 0},
      {"start above the count", 4, "MW(H2O)", 0},
      {"negative start searches from the bottom", -3, "<R>", 2},
  };
  for (const auto& row : rows) {
    s.memory.NameSearchStart = row.start;
    EXPECT_EQ(FindMemoryName(s, row.search), row.expected) << row.name;
  }
}

TEST_F(MemoriesTest, ResetStartsAgainAtOneButKeepsTheValues) {
  StoreMemory(s, 7, "a", true);
  StoreMemory(s, 8, "b", true);
  s.window.memories.ListIndex = 1;
  ResetMemories(s);
  EXPECT_EQ(s.memory.MemoryCount, 0);
  EXPECT_TRUE(s.window.memories.Items.empty());
  EXPECT_EQ(s.window.memories.ListIndex, -1);
  EXPECT_EQ(s.window.entryline.Text, "");
  EXPECT_EQ(s.memory.MemValues[2], 8.0);  // M2 still reads the value stored before the reset
  ASSERT_FALSE(ui.focus.empty());
  EXPECT_EQ(ui.focus.back(), Control::EntryLine);

  StoreMemory(s, 9, "c", true);
  ASSERT_EQ(s.window.memories.Items.size(), 1u);
  EXPECT_EQ(s.window.memories.Items[0], "M1: 9.000\tc");
}

TEST_F(MemoriesTest, SelectionStaysOnItsLineWhenANewLineArrives) {
  StoreMemory(s, 1, "a", false);
  StoreMemory(s, 2, "b", false);
  s.window.memories.ListIndex = 1;  // "M1"
  StoreMemory(s, 3, "c", false);
  EXPECT_EQ(s.window.memories.ListIndex, 2);
  EXPECT_EQ(s.window.memories.Items[2].substr(0, 3), "M1:");
}

struct ClickRow {
  const char* name;
  const char* entry;
  int selStart;
  int selLength;
  const char* expected;
};

TEST_F(MemoriesTest, ClickInsertsTheReferenceInPlaceOfTheSelection) {
  for (int i = 1; i <= 4; ++i)
    StoreMemory(s, i, "x", false);
  StoreMemory(s, 18.0153, "a:b:c", false);  // M5, a name holding colons
  s.window.memories.ListIndex = 0;
  const ClickRow rows[] = {
      {"at the caret", "2*", 2, 0, "2*(M5)"},
      {"replaces the selection", "2*7+1", 2, 1, "2*(M5)+1"},
      {"into an empty line", "", 0, 0, "(M5)"},
      {"at the start", "+1", 0, 0, "(M5)+1"},
      {"caret beyond the text is clamped", "ab", 40, 3, "ab(M5)"},
      {"negative caret is clamped", "ab", -4, 0, "(M5)ab"},
      {"selection beyond the text is clamped", "abc", 1, 99, "a(M5)"},
  };
  for (const auto& row : rows) {
    s.window.entryline = {row.entry, row.selStart, row.selLength};
    memories_Click(s);
    EXPECT_EQ(s.window.entryline.Text, row.expected) << row.name;
    EXPECT_EQ(s.window.entryline.SelStart, static_cast<int>(std::string(row.expected).size()))
        << row.name;
    EXPECT_EQ(s.window.entryline.SelLength, 0) << row.name;
  }
  EXPECT_EQ(ui.focus.back(), Control::EntryLine);
}

TEST_F(MemoriesTest, DoubleClickPutsTheNameIntoTheEntryLine) {
  const struct {
    const char* name;
    const char* stored;
    const char* expected;
  } rows[] = {
      {"plain name", "2*MW(H2O)", "2*MW(H2O)"},
      {"name with colons", "ratio: a:b", "ratio: a:b"},
      {"name with a tab keeps it", "a\tb", "a\tb"},
      {"leading blanks removed", "   <R>*2 ", "<R>*2 "},
      {"empty name", "", ""},
  };
  for (const auto& row : rows) {
    StoreMemory(s, 1.5, row.stored, false);
    s.window.memories.ListIndex = 0;
    s.window.entryline = {"old text", 3, 0};
    memories_DblClick(s);
    EXPECT_EQ(s.window.entryline.Text, row.expected) << row.name;
    EXPECT_EQ(s.window.entryline.SelStart, 0) << row.name;
    EXPECT_EQ(s.window.entryline.SelLength, static_cast<int>(std::string(row.expected).size()))
        << row.name;
  }
  EXPECT_EQ(ui.focus.back(), Control::EntryLine);
}

TEST_F(MemoriesTest, ClicksWithoutAValidSelectionChangeNothing) {
  StoreMemory(s, 1, "a", false);
  for (int index : {-1, 1, 99}) {
    s.window.memories.ListIndex = index;
    s.window.entryline = {"keep", 2, 1};
    memories_Click(s);
    memories_DblClick(s);
    EXPECT_EQ(s.window.entryline.Text, "keep") << index;
    EXPECT_EQ(s.window.entryline.SelStart, 2) << index;
  }
  EXPECT_TRUE(ui.focus.empty());
}

}  // namespace
}  // namespace ostravel
