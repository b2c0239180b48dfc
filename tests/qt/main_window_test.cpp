#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolTip>
#include <filesystem>
#include <vector>

#include "qt/latin1.h"
#include "qt/memory_tooltip.h"
#include "qt/program_icon.h"
#include "qt/window_fixture.h"
#include "runtime/number_format.h"
#include "startup/startup.h"

namespace ostravel::testing {
namespace {

QString Formatted(const WindowFixture& f, double value) {
  return QString::fromStdString(FormatSig(f.s->format, value));
}

// Asks the list for the tooltip of a line, as resting the mouse on it does.
void HoverForToolTip(QListWidget* list, QListWidgetItem* item) {
  QToolTip::hideText();
  QTest::qWait(1);
  const QPoint at = list->visualItemRect(item).center();
  QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
  QApplication::sendEvent(list->viewport(), &help);
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
  EXPECT_EQ(file, (QStringList{"&Reset", "&Modify Database", "&Balance Equation...", "E&xit"}));
  EXPECT_EQ(f.Action("optQuick")->text(), "&Quick Simplex");
  EXPECT_EQ(f.Action("optCodes")->text(), "&Constants as Abbreviations");
  EXPECT_EQ(f.Action("optRadicals")->text(), "&Expand Radical such as 'Ac'");
  EXPECT_EQ(f.Action("mnuConst_1")->text(), "Physical");
  EXPECT_EQ(f.Action("mnuConst_2")->text(), "Ksp");
  EXPECT_EQ(f.Action("mnuExp_1")->text(), "Basics");
  // No contributed categories: only the design-time element, which says so.
  QList<QAction*> contributed = f.Action("mnuContributed")->menu()->actions();
  ASSERT_EQ(contributed.size(), 1);
  EXPECT_EQ(contributed[0]->text(), "(none)");
  EXPECT_FALSE(contributed[0]->isEnabled());
}

TEST(MainWindowTest, AWindowClosedWhileItWaitsGivesTheCursorBack) {
  WindowFixture f;
  f.s->window.WaitCursor = true;
  f.ui.Changed(Control::Cursor);
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  f.window.reset();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
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

TEST(MainWindowTest, TypedCharactersReachTheReadingAsTyped) {
  WindowFixture f;
  // Pasted text, since key clicks carry ASCII only.
  auto paste = [&f](const char* utf8) {
    auto* line = f.Find<QLineEdit>("entryline");
    line->setFocus();
    line->setText(QString::fromUtf8(utf8));
    QTest::keyClick(line, Qt::Key_Return);
  };
  // Characters beyond Latin-1 are read for what they mean, not turned into "?".
  paste("H\u2082O");
  EXPECT_NEAR(f.s->memory.MemValues[f.s->memory.MemoryCount], 18.01528, 1e-4);
  paste("7\u22123");
  EXPECT_EQ(f.s->memory.MemValues[f.s->memory.MemoryCount], 4);
  // A character that cannot be read is named in the message as it was typed.
  f.answerer.Answer(QMessageBox::Ok);
  paste("2*\u03b1");
  ASSERT_EQ(f.answerer.Boxes().size(), 1u);
  EXPECT_EQ(f.answerer.Boxes()[0].text,
            QString::fromUtf8("2*\u03b1: the character \"\u03b1\" (U+03B1) cannot be read"));
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

TEST(MainWindowTest, AboutNamesTheProgramItsVersionAndTheDatabaseFolder) {
  WindowFixture f;
  f.answerer.Answer(QMessageBox::Ok);
  f.Action("mnuAbout")->trigger();
  ASSERT_EQ(f.answerer.Boxes().size(), 1u);
  EXPECT_TRUE(f.answerer.Boxes()[0].text.startsWith("Ostravel 4.0"));
  EXPECT_TRUE(f.answerer.Boxes()[0].text.contains(QString::fromStdString(f.dir.path().string())));
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
  WindowFixture f(DeliveredData{});
  f.RunLine("MW(H2O)");
  ASSERT_FALSE(f.Lines("memories").isEmpty());
  EXPECT_NEAR(f.s->memory.MemValues[f.s->memory.MemoryCount], 18.015, 0.01);
  EXPECT_FALSE(f.window->findChild<QAction*>("mnuConst_1") == nullptr);
}

TEST(MainWindowTest, TheListsWorkByKeyboard) {
  WindowFixture f;
  f.RunLine("2+3");
  f.RunLine("7");
  auto* memories = f.Find<QListWidget>("memories");
  auto* line = f.Find<QLineEdit>("entryline");
  const struct {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString entry;      // the entry line afterwards
    QString clipboard;  // "" when the key leaves the clipboard alone
  } rows[] = {
      {"Enter inserts the reference as a click does", Qt::Key_Return, {}, "(M1)", ""},
      {"Space recalls the calculation as a double click does", Qt::Key_Space, {}, "2+3", ""},
      {"Ctrl+C copies the value", Qt::Key_C, Qt::ControlModifier, "", Formatted(f, 5)},
  };
  for (const auto& row : rows) {
    line->clear();
    QGuiApplication::clipboard()->clear();
    memories->setFocus();
    memories->setCurrentRow(1);
    QTest::keyClick(memories, row.key, row.modifiers);
    EXPECT_EQ(line->text(), row.entry) << row.name;
    EXPECT_EQ(f.Clipboard(), row.clipboard) << row.name;
  }
  EXPECT_EQ(f.Find<QLabel>("lblClip")->text(), "Clipboard now: " + Formatted(f, 5));

  // Enter and Space in the key list insert the constant, as a click does.
  f.Action("mnuConst_1")->trigger();
  auto* keys = f.Find<QListWidget>("lstKey");
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
    line->clear();
    keys->setFocus();
    keys->setCurrentRow(1);
    QTest::keyClick(keys, key);
    EXPECT_EQ(line->text(), "<R>") << key;
    EXPECT_TRUE(line->hasFocus()) << key;
  }
}

TEST(MainWindowTest, TheMemoryLineMenuCopiesAndRecalls) {
  WindowFixture f;
  f.RunLine("MW(H2O)");
  f.RunLine("1+1");
  auto* memories = f.Find<QListWidget>("memories");
  emit memories->customContextMenuRequested(memories->visualItemRect(memories->item(0)).center());
  auto* menu = f.window->findChild<QMenu*>("memoryMenu");
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible());
  menu->hide();
  QStringList captions;
  for (QAction* action : menu->actions())
    captions.append(action->text());
  EXPECT_EQ(captions, (QStringList{"Copy &value", "Copy &line", "&Recall calculation"}));

  const QString water = Formatted(f, 2 * 1.00794 + 15.9994);
  const struct {
    const char* action;
    QString clipboard;
    QString entry;
  } rows[] = {
      {"mnuCopyValue", water, ""},
      {"mnuCopyLine", "M1: " + water + "\tMW(H2O)", ""},
      {"mnuRecall", "", "MW(H2O)"},
  };
  for (const auto& row : rows) {
    f.Find<QLineEdit>("entryline")->clear();
    QGuiApplication::clipboard()->clear();
    QListWidgetItem* item = memories->item(1);
    emit memories->customContextMenuRequested(memories->visualItemRect(item).center());
    EXPECT_TRUE(menu->isVisible()) << row.action;
    EXPECT_EQ(memories->currentRow(), 1) << row.action;
    QAction* action = menu->findChild<QAction*>(row.action);
    ASSERT_NE(action, nullptr) << row.action;
    action->trigger();
    menu->hide();
    EXPECT_EQ(f.Clipboard(), row.clipboard) << row.action;
    EXPECT_EQ(f.Find<QLineEdit>("entryline")->text(), row.entry) << row.action;
  }
}

TEST(MainWindowTest, AFailingCalculationKeepsTheLineAsTyped) {
  WindowFixture f;
  const struct {
    const char* line;
    int stored;  // memory lines the line leaves
  } rows[] = {
      {"1+1; 1/0; 3+3", 1},
      {"MW(H2O); 2*(1; 5", 0},
      {"7; 8; 1/0", 2},
  };
  for (const auto& row : rows) {
    f.Action("mnuReset")->trigger();
    f.answerer.Answer(QMessageBox::Ok);
    f.RunLine(row.line);
    auto* line = f.Find<QLineEdit>("entryline");
    EXPECT_EQ(line->text(), row.line);
    EXPECT_EQ(f.s->window.entryline.Text, row.line);
    EXPECT_EQ(f.Lines("memories").size(), row.stored) << row.line;
  }
}

TEST(MainWindowTest, UpAndDownBrowseTheLinesOfThisSession) {
  WindowFixture f;
  auto* line = f.Find<QLineEdit>("entryline");
  f.RunLine("1+1");
  f.RunLine("2*3");
  f.RunLine("2*3");  // run twice, listed once
  f.RunLine("4^2");
  line->selectAll();
  QTest::keyClicks(line, "draft");
  const struct {
    Qt::Key key;
    const char* shown;
  } steps[] = {
      {Qt::Key_Up, "4^2"},     {Qt::Key_Up, "2*3"},     {Qt::Key_Up, "1+1"},
      {Qt::Key_Up, "1+1"},     {Qt::Key_Down, "2*3"},   {Qt::Key_Down, "4^2"},
      {Qt::Key_Down, "draft"}, {Qt::Key_Down, "draft"},
  };
  for (const auto& step : steps) {
    QTest::keyClick(line, step.key);
    EXPECT_EQ(line->text(), step.shown);
    EXPECT_EQ(line->cursorPosition(), line->text().size());
  }
  // A line from the history runs as typed.
  QTest::keyClick(line, Qt::Key_Up);
  QTest::keyClick(line, Qt::Key_Up);
  QTest::keyClick(line, Qt::Key_Return);
  EXPECT_EQ(f.Lines("memories").front(), "M5: " + Formatted(f, 6) + "\t2*3");
}

TEST(MainWindowTest, TheKeyListNamesItsCategoryAndShowsLongLinesInFull) {
  WindowFixture f(
      WindowDatabase().Entry("Constants", "Physical", "Long", "1|" + std::string(300, 'd')));
  auto* label = f.Find<QLabel>("lblCategory");
  EXPECT_FALSE(label->isVisible());
  f.Action("mnuConst_2")->trigger();
  EXPECT_TRUE(label->isVisible());
  EXPECT_EQ(label->text(), "Constants: Ksp");
  f.Action("mnuExp_1")->trigger();
  EXPECT_EQ(label->text(), "Examples: Basics");

  f.Action("mnuConst_1")->trigger();
  auto* keys = f.Find<QListWidget>("lstKey");
  const struct {
    const char* startsWith;
    bool tip;
  } rows[] = {{"R ", false}, {"Long", true}};
  for (const auto& row : rows) {
    QListWidgetItem* item = nullptr;
    for (int i = 0; i < keys->count(); ++i)
      if (keys->item(i)->text().startsWith(row.startsWith)) item = keys->item(i);
    ASSERT_NE(item, nullptr) << row.startsWith;
    HoverForToolTip(keys, item);
    EXPECT_EQ(QToolTip::isVisible(), row.tip) << row.startsWith;
    if (row.tip) {
      EXPECT_EQ(QToolTip::text(), item->text());
    }
  }
  QToolTip::hideText();
}

TEST(MainWindowTest, AMolarMassLineShowsHowItsFormulaWasReadAsTooltip) {
  WindowFixture f(DeliveredData{});
  f.RunLine("CuSO4.5H2O; 2+3");
  auto* memories = f.Find<QListWidget>("memories");
  const struct {
    const char* line;   // the name of the memory line
    QStringList shown;  // texts the tooltip holds; none: no reading
  } rows[] = {
      {"MW(CuSO4.5H2O)", {"CuSO4.5H2O", "Cu", "5H2O", "molar mass: 249.677", "monoisotopic mass"}},
      {"2+3", {}},
  };
  for (const auto& row : rows) {
    QListWidgetItem* item = nullptr;
    for (int i = 0; i < memories->count(); ++i)
      if (memories->item(i)->text().endsWith(QString("\t") + row.line)) item = memories->item(i);
    ASSERT_NE(item, nullptr) << row.line;
    HoverForToolTip(memories, item);
    if (row.shown.isEmpty()) {
      EXPECT_EQ(MolarMassReading(*f.s, FromQt(item->text())), "") << row.line;
      continue;
    }
    ASSERT_TRUE(QToolTip::isVisible()) << row.line;
    for (const QString& text : row.shown)
      EXPECT_TRUE(QToolTip::text().contains(text)) << row.line << ": " << text.toStdString();
  }
  QToolTip::hideText();
  EXPECT_EQ(f.s->engine.EvalError, "");  // the reading leaves the calculation's state alone
}

TEST(MainWindowTest, TheWindowAndItsDialogsFitTheScreen) {
  WindowFixture f;
  const QRect screen = f.window->screen()->availableGeometry();
  EXPECT_LE(f.window->width(), screen.width());
  EXPECT_LE(f.window->height(), screen.height());
  EXPECT_LE(f.window->minimumSizeHint().width(), screen.width());
  EXPECT_LE(f.window->minimumSizeHint().height(), screen.height());
  f.answerer.Drive([&](QDialog* d) {
    EXPECT_LE(d->width(), screen.width());
    EXPECT_LE(d->height(), screen.height());
    d->reject();
  });
  f.Action("mnuModify")->trigger();
}

TEST(MainWindowTest, TheWindowHasTheProgramIcon) {
  const QIcon icon = ProgramIcon();
  for (int size : kProgramIconSizes) {
    const QPixmap pixmap = icon.pixmap(size, size);
    EXPECT_FALSE(pixmap.isNull()) << size;
    EXPECT_EQ(pixmap.width(), size);
  }
}

TEST(MainWindowTest, AMissingDatabaseIsAnnouncedAtStart) {
  TempDir dir;  // no TOLVANE.INI in it
  QtPlatform ui;
  Session s(ui);
  s.db.ProgramFolder = dir.path().string();
  DialogAnswerer answerer;
  answerer.Answer(QMessageBox::Ok);
  MainWindow window(s, ui);
  Form_Load(s, "");
  ASSERT_EQ(answerer.Boxes().size(), 1u);
  EXPECT_TRUE(answerer.Boxes()[0].text.startsWith(
      "The database " + QString::fromStdString(dir.File("TOLVANE.INI")) + " is missing."))
      << answerer.Boxes()[0].text.toStdString();
  EXPECT_EQ(answerer.Boxes()[0].icon, QMessageBox::Warning);
  EXPECT_EQ(answerer.UnusedAnswers(), 0u);
}

}  // namespace
}  // namespace ostravel::testing
