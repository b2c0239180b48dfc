#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <vector>

#include "calc/number_format.h"
#include "window_fixture.h"

namespace ostravel::testing {
namespace {

QString Formatted(const WindowFixture& f, double value) {
  return QString::fromStdString(FormatSig(f.s->format, value));
}

TEST(MainWindowTest, ShowsItsCaptionControlsAndMenus) {
  WindowFixture f;
  EXPECT_EQ(f.window->windowTitle(), "Ostravel 4.0");
  EXPECT_EQ(f.Find<QLabel>("Label1")->text(), "Enter calculation(s) separated by semicolons");
  EXPECT_EQ(f.Find<QPushButton>("Calculate")->text(), "Calculate");
  EXPECT_EQ(f.Find<QLabel>("Label2")->text(),
            "Left-click on a memory line to retrieve value; double click for formula");
  EXPECT_EQ(f.Find<QLabel>("lblClip")->text(), "Clipboard:");
  EXPECT_FALSE(f.Find<QListWidget>("lstKey")->isVisible());
  for (const char* hidden : {"LblX", "txtX", "lblE", "txtE"})
    EXPECT_FALSE(f.Find<QLabel>(hidden)->isVisible()) << hidden;
  EXPECT_EQ(f.Find<QLineEdit>("entryline")->accessibleName(), "entryline");

  QStringList menus;
  for (QAction* action : f.window->menuBar()->actions())
    menus.append(action->text());
  EXPECT_EQ(menus, (QStringList{"&File", "&Options", "&Examples", "&Constants", "Co&ntributed",
                                "&About"}));
  QStringList file;
  for (QAction* action : f.Action("mnuFile")->menu()->actions())
    if (!action->isSeparator()) file.append(action->text());
  EXPECT_EQ(file, (QStringList{"&Reset", "&Modify Database", "E&xit"}));
  EXPECT_EQ(f.Action("optQuick")->text(), "&Quick Simplex");
  EXPECT_EQ(f.Action("optCodes")->text(), "&Constants as Abbreviations");
  EXPECT_EQ(f.Action("optRadicals")->text(), "&Expand Radical such as 'Ac'");
  EXPECT_EQ(f.Action("mnuConst_1")->text(), "Physical");
  EXPECT_EQ(f.Action("mnuConst_2")->text(), "Solubility");
  EXPECT_EQ(f.Action("mnuExp_1")->text(), "Basics");
  // No contributed categories: only the empty design-time element.
  QList<QAction*> contributed = f.Action("mnuContributed")->menu()->actions();
  ASSERT_EQ(contributed.size(), 1);
  EXPECT_EQ(contributed[0]->text(), "");
}

TEST(MainWindowTest, EnterRunsTheLineAndListsTheResult) {
  WindowFixture f;
  std::vector<bool> calculateEnabled;
  std::vector<bool> waitCursor;
  auto* calculate = f.Find<QPushButton>("Calculate");
  f.ui.AddObserver([&](Control control) {
    if (control == Control::CalculateButton) {
      calculateEnabled.push_back(calculate->isEnabled());
      waitCursor.push_back(QApplication::overrideCursor() != nullptr);
    }
  });

  f.RunLine("2+3");
  const QString five = Formatted(f, 5);
  EXPECT_EQ(f.Lines("memories"), QStringList{"M1: " + five + "\t2+3"});
  EXPECT_EQ(f.Clipboard(), five);
  EXPECT_EQ(f.Find<QLabel>("lblClip")->text(), "Clipboard now: " + five);
  EXPECT_EQ(f.Find<QLabel>("txtX")->text(), "5");
  EXPECT_TRUE(f.Find<QLabel>("txtX")->isVisible());
  EXPECT_TRUE(f.Find<QLabel>("lblE")->isVisible());
  auto* line = f.Find<QLineEdit>("entryline");
  EXPECT_EQ(line->text(), "2+3");
  EXPECT_EQ(line->selectedText(), "2+3");
  EXPECT_EQ(calculateEnabled, (std::vector<bool>{false, true}));
  EXPECT_EQ(waitCursor, (std::vector<bool>{true, false}));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // The button runs the line as Enter does; the newest line is on top.
  QTest::keyClick(line, Qt::Key_End);
  QTest::keyClicks(line, "*2");
  QTest::mouseClick(calculate, Qt::LeftButton);
  ASSERT_EQ(f.Lines("memories").size(), 2);
  EXPECT_EQ(f.Lines("memories")[0], "M2: " + Formatted(f, 8) + "\t2+3*2");
}

TEST(MainWindowTest, FailuresAreShownInAMessageBox) {
  WindowFixture f;
  f.answerer.Answer(QMessageBox::Ok);
  f.RunLine("(2+3");
  ASSERT_EQ(f.answerer.Boxes().size(), 1u);
  EXPECT_EQ(f.answerer.Boxes()[0].text, "Unmatched parentheses ()");
  EXPECT_EQ(f.answerer.Boxes()[0].title, "Ostravel");
  EXPECT_EQ(f.answerer.Boxes()[0].icon, QMessageBox::Warning);
  EXPECT_TRUE(f.Lines("memories").isEmpty());
  EXPECT_TRUE(f.Find<QPushButton>("Calculate")->isEnabled());
}

TEST(MainWindowTest, ClickAndDoubleClickOnAMemoryLine) {
  WindowFixture f;
  f.RunLine("2+3");
  f.RunLine("7");
  // The selected entry line is replaced by the reference of the clicked line.
  f.ClickLine("memories", 1);
  auto* line = f.Find<QLineEdit>("entryline");
  EXPECT_EQ(line->text(), "(M1)");
  EXPECT_TRUE(line->hasFocus());
  // A reference goes in at the caret.
  line->setCursorPosition(0);
  QTest::keyClicks(line, "2*");
  f.ClickLine("memories", 0);
  EXPECT_EQ(line->text(), "2*(M2)(M1)");
  // A double click brings back the calculation of the line.
  f.ClickLine("memories", 1, true);
  EXPECT_EQ(line->text(), "2+3");
  EXPECT_EQ(line->selectedText(), "2+3");
}

TEST(MainWindowTest, ConstantsAreInsertedAsNamesOrValues) {
  WindowFixture f;
  f.Action("mnuConst_1")->trigger();
  auto* keys = f.Find<QListWidget>("lstKey");
  EXPECT_TRUE(keys->isVisible());
  EXPECT_EQ(f.Lines("lstKey"), (QStringList{"NA  (Avogadro constant)", "R  (gas constant)"}));

  auto* line = f.Find<QLineEdit>("entryline");
  line->setFocus();
  QTest::keyClicks(line, "2*xyz");
  line->setSelection(2, 3);  // the selection is replaced, not kept
  f.ClickLine("lstKey", 1);
  EXPECT_EQ(line->text(), "2*<R>");
  EXPECT_EQ(line->cursorPosition(), 5);

  f.Action("optCodes")->trigger();
  EXPECT_FALSE(f.s->flags.AbbrevConstants);
  QTest::keyClicks(line, "+");
  f.ClickLine("lstKey", 1);
  EXPECT_EQ(line->text(), "2*<R>+(8.314)");

  // A category with a prefix inserts the prefix with the key.
  f.Action("optCodes")->trigger();
  f.Action("mnuConst_2")->trigger();
  EXPECT_EQ(f.Lines("lstKey"), QStringList{"KSP AGCL  (silver chloride)"});
  line->setFocus();
  line->selectAll();
  f.ClickLine("lstKey", 0);
  EXPECT_EQ(line->text(), "<KSPAGCL>");
}

TEST(MainWindowTest, AnExampleRunsAtOnce) {
  WindowFixture f;
  f.Find<QLineEdit>("entryline")->setText("lost text");
  f.Action("mnuExp_1")->trigger();
  EXPECT_EQ(f.Lines("lstKey"), (QStringList{"Sum", "Water  (molar mass of water)"}));
  f.ClickLine("lstKey", 0);
  ASSERT_EQ(f.Lines("memories").size(), 1);
  EXPECT_EQ(f.Lines("memories")[0], "M1: " + Formatted(f, 5) + "\t2+3");
  EXPECT_EQ(f.Find<QLineEdit>("entryline")->text(), "2+3");
}

TEST(MainWindowTest, MolarMassFromTheAtomicWeights) {
  WindowFixture f;
  f.RunLine("H2O");
  ASSERT_FALSE(f.Lines("memories").isEmpty());
  EXPECT_NEAR(f.s->memory.MemValues[f.s->memory.MemoryCount], 18.01528, 1e-4);
  EXPECT_EQ(f.Clipboard(), Formatted(f, 2 * 1.00794 + 15.9994));
}

TEST(MainWindowTest, OptionsToggleTwiceRestoreMarkAndFlag) {
  WindowFixture f;
  struct Row {
    const char* item;
    bool RunFlags::*flag;
  };
  const Row rows[] = {{"optQuick", &RunFlags::QuickSimplex},
                      {"optCodes", &RunFlags::AbbrevConstants},
                      {"optRadicals", &RunFlags::ExpandRadicals}};
  for (const Row& row : rows) {
    QAction* item = f.Action(row.item);
    EXPECT_TRUE(item->isChecked()) << row.item;
    item->trigger();
    EXPECT_FALSE(item->isChecked()) << row.item;
    EXPECT_FALSE(f.s->flags.*row.flag) << row.item;
    item->trigger();
    EXPECT_TRUE(item->isChecked()) << row.item;
    EXPECT_TRUE(f.s->flags.*row.flag) << row.item;
  }
  // Opening the menu shows the flags, whatever changed them.
  f.s->flags.QuickSimplex = false;
  QMenu* options = f.Action("mnuOptions")->menu();
  emit options->aboutToShow();
  EXPECT_FALSE(f.Action("optQuick")->isChecked());
}

TEST(MainWindowTest, ResetEmptiesTheListAndNumbersStartAgain) {
  WindowFixture f;
  f.RunLine("1");
  f.RunLine("2");
  f.Action("mnuReset")->trigger();
  EXPECT_TRUE(f.Lines("memories").isEmpty());
  EXPECT_EQ(f.Find<QLineEdit>("entryline")->text(), "");
  f.RunLine("3");
  EXPECT_EQ(f.Lines("memories"), QStringList{"M1: " + Formatted(f, 3) + "\t3"});
}

TEST(MainWindowTest, AboutNamesTheProgram) {
  WindowFixture f;
  f.answerer.Answer(QMessageBox::Ok);
  f.Action("mnuAbout")->trigger();
  ASSERT_EQ(f.answerer.Boxes().size(), 1u);
  EXPECT_TRUE(f.answerer.Boxes()[0].text.startsWith("Ostravel"));
  EXPECT_TRUE(f.answerer.Boxes()[0].text.contains("TOLVANE.INI"));
  EXPECT_TRUE(f.answerer.Boxes()[0].text.contains("TOLVANE.TXT"));
}

TEST(MainWindowTest, CategoryMenusKeepNoStaleElements) {
  WindowFixture f;
  f.s->window.mnuConst.Captions = {"Only"};
  f.ui.Changed(Control::Menus);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QList<QAction*> elements = f.Action("mnuConstants")->menu()->actions();
  ASSERT_EQ(elements.size(), 1);
  EXPECT_EQ(elements[0]->text(), "Only");
  EXPECT_EQ(f.window->findChild<QAction*>("mnuConst_2"), nullptr);
}

TEST(MainWindowTest, DeliveredDatabaseStartsAndCalculates) {
  if (!std::filesystem::exists(std::filesystem::path(OSTRAVEL_DATA_DIR) / "TOLVANE.INI"))
    GTEST_SKIP() << "no delivered database";
  WindowFixture f("");
  f.RunLine("MW(H2O)");
  ASSERT_FALSE(f.Lines("memories").isEmpty());
  EXPECT_NEAR(f.s->memory.MemValues[f.s->memory.MemoryCount], 18.015, 0.01);
  EXPECT_FALSE(f.window->findChild<QAction*>("mnuConst_1") == nullptr);
}

}  // namespace
}  // namespace ostravel::testing
