#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <cmath>
#include <filesystem>

#include "database/ini_access.h"
#include "qt/window_fixture.h"

namespace ostravel::testing {
namespace {

// ---- The solver window -------------------------------------------------------------------

class SolverWindowTest : public ::testing::Test {
 protected:
  SolverWindowTest() {
    f.Action("optQuick")->trigger();  // Quick Simplex off: the equation opens the window
  }
  WindowFixture f;
};

TEST_F(SolverWindowTest, SolvesThroughItsButtonsAndSaves) {
  f.answerer.Drive([](QDialog* d) {
    EXPECT_EQ(d->objectName(), "FrmSimplex");
    EXPECT_EQ(d->windowTitle(), "Simplex Calculation");
    EXPECT_EQ(Child<QGroupBox>(d, "simplex_frame")->title(), "Simplex calculation data");
    EXPECT_EQ(Child<QLabel>(d, "label_formula")->text(), "x^2=4, X0=1");
    EXPECT_EQ(Child<QLabel>(d, "Label4")->text(), "starting guess for x?");
    EXPECT_EQ(Child<QLabel>(d, "Label5")->text(), "initial step?");
    EXPECT_EQ(Child<QLineEdit>(d, "entry_x0")->text(), "1");
    EXPECT_EQ(Child<QLineEdit>(d, "entry_xinit")->text(), "");
    auto* ok = Child<QPushButton>(d, "cmd_ok");
    EXPECT_EQ(ok->text(), "Go");
    EXPECT_EQ(Child<QPushButton>(d, "cmd_save")->text(), "Save");
    EXPECT_EQ(Child<QPushButton>(d, "cmd_cancel")->text(), "Cancel");

    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(ok->text(), "Continue");
    EXPECT_TRUE(ok->isVisible());
    // Twenty steps: the labels show the state after the tenth and the twentieth.
    EXPECT_TRUE(Child<QLabel>(d, "label_x")->text().startsWith("x ="));
    EXPECT_TRUE(Child<QLabel>(d, "label_error")->text().startsWith("error ="));
    EXPECT_TRUE(Child<QLabel>(d, "label_step")->text().startsWith("step ="));
    QTest::mouseClick(ok, Qt::LeftButton);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(ok->text(), "Continue");
    QTest::mouseClick(Child<QPushButton>(d, "cmd_save"), Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
  });
  f.RunLine("x^2=4, X0=1");
  ASSERT_EQ(f.Lines("memories").size(), 1);
  EXPECT_NEAR(f.s->memory.MemValues[1], 2, 1e-6);
  EXPECT_TRUE(f.Lines("memories")[0].endsWith("\tx^2=4, X0=1"));
}

TEST_F(SolverWindowTest, EnterMovesThroughTheFieldsAndAnEditStartsAfresh) {
  f.answerer.Drive([](QDialog* d) {
    auto* x0 = Child<QLineEdit>(d, "entry_x0");
    auto* step = Child<QLineEdit>(d, "entry_xinit");
    auto* ok = Child<QPushButton>(d, "cmd_ok");
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_EQ(ok->text(), "Continue");
    EXPECT_EQ(x0->text(), "0");
    x0->setFocus();
    x0->selectAll();
    QTest::keyClicks(x0, "10");
    EXPECT_EQ(ok->text(), "Go");
    QTest::keyClick(x0, Qt::Key_Return);
    EXPECT_TRUE(step->hasFocus());
    QTest::keyClicks(step, "0.5");
    QTest::keyClick(step, Qt::Key_Return);
    EXPECT_TRUE(ok->hasFocus());
    EXPECT_EQ(x0->text(), "10");  // Enter was dropped, not typed
    QTest::keyClick(ok, Qt::Key_Return);
    EXPECT_EQ(ok->text(), "Continue");
    for (int pass = 0; pass < 3; ++pass)
      QTest::mouseClick(ok, Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(d, "cmd_save"), Qt::LeftButton);
  });
  f.RunLine("x^2=9");
  ASSERT_EQ(f.Lines("memories").size(), 1);
  EXPECT_NEAR(f.s->memory.MemValues[1], 3, 1e-4);
}

TEST_F(SolverWindowTest, CancelAndEscapeStoreNothingAndTheCloseBoxKeepsTheAnswer) {
  const struct {
    const char* name;
    std::function<void(QDialog*)> close;
    bool stored;
  } rows[] = {
      {"cancel",
       [](QDialog* d) { QTest::mouseClick(Child<QPushButton>(d, "cmd_cancel"), Qt::LeftButton); },
       false},
      {"escape", [](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }, false},
      {"close box", [](QDialog* d) { d->close(); }, true},
  };
  for (const auto& row : rows) {
    f.Action("mnuReset")->trigger();
    f.answerer.Drive([&row](QDialog* d) {
      QTest::mouseClick(Child<QPushButton>(d, "cmd_ok"), Qt::LeftButton);
      row.close(d);
      EXPECT_FALSE(d->isVisible()) << row.name;
    });
    f.RunLine("x^2=2, X0=1");
    EXPECT_EQ(f.Lines("memories").size(), row.stored ? 1 : 0) << row.name;
    if (!row.stored) {
      EXPECT_EQ(f.s->engine.XValue, kNoValue) << row.name;
    } else {
      // One pass is not enough for a root: the x kept says so in its name.
      EXPECT_NE(f.s->memory.MemNames[1].find("x^2=2, X0=1 ' not a root: |f(x)| = "),
                std::string::npos)
          << row.name;
    }
  }
}

// ---- The database editor -----------------------------------------------------------------

class EditorWindowTest : public ::testing::Test {
 protected:
  std::string Stored(const std::string& category, const std::string& key) {
    f.s->db.IniFile = f.s->db.MainIniFile;
    std::string description;
    std::string value = IniGetEntry(*f.s, "Constants", category, key, &description);
    return description.empty() ? value : value + "|" + description;
  }

  static void ClickLine(QDialog* d, const QString& startsWith) {
    auto* list = Child<QListWidget>(d, "lstINFO");
    for (int i = 0; i < list->count(); ++i) {
      if (!startsWith.isEmpty() && list->item(i)->text().startsWith(startsWith)) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(i)).center());
        return;
      }
    }
    ADD_FAILURE() << "no line " << startsWith.toStdString();
  }

  static void Retype(QLineEdit* field, const QString& text) {
    QTest::mouseClick(field, Qt::LeftButton);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
  }

  static QStringList Lines(QDialog* d) {
    QStringList lines;
    auto* list = Child<QListWidget>(d, "lstINFO");
    for (int i = 0; i < list->count(); ++i)
      lines.append(list->item(i)->text());
    return lines;
  }

  WindowFixture f;
};

TEST_F(EditorWindowTest, AddsRenamesAndDeletesEntries) {
  f.answerer.Drive([this](QDialog* d) {
    EXPECT_EQ(d->windowTitle(), "Modify Database");
    auto* type = Child<QComboBox>(d, "cmbCategory(0)");
    auto* category = Child<QComboBox>(d, "cmbCategory(1)");
    EXPECT_EQ(type->currentText(), "Constants");
    EXPECT_EQ(category->currentText(), "Physical");
    EXPECT_EQ(category->count(), 3);
    EXPECT_EQ(Lines(d),
              (QStringList{"", "NA\t6.02214076E23\tAvogadro constant", "R\t8.314\tgas constant"}));
    EXPECT_EQ(Child<QListWidget>(d, "lstINFO")->currentRow(), 0);
    std::array<QLineEdit*, 3> fields{Child<QLineEdit>(d, "txtINFO(0)"),
                                     Child<QLineEdit>(d, "txtINFO(1)"),
                                     Child<QLineEdit>(d, "txtINFO(2)")};

    // A new entry: key, Enter, value, Enter.
    QTest::mouseClick(fields[0], Qt::LeftButton);
    QTest::keyClicks(fields[0], "k");
    QTest::keyClick(fields[0], Qt::Key_Return);
    EXPECT_TRUE(fields[1]->hasFocus());
    QTest::keyClicks(fields[1], "1.380649E-23");
    QTest::keyClick(fields[1], Qt::Key_Return);
    EXPECT_TRUE(Lines(d).contains("k\t1.380649E-23\t"));
    EXPECT_TRUE(fields[0]->hasFocus());
    EXPECT_EQ(fields[0]->text(), "k");

    // Rename R with Yes: the line and the key are replaced.
    ClickLine(d, "R\t");
    EXPECT_EQ(fields[1]->text(), "8.314");
    f.answerer.Answer(QMessageBox::Yes);
    Retype(fields[0], "Rgas");
    QTest::keyClick(fields[0], Qt::Key_Return);
    EXPECT_TRUE(fields[1]->hasFocus());
    QTest::keyClick(fields[1], Qt::Key_Return);
    EXPECT_TRUE(Lines(d).contains("Rgas\t8.314\tgas constant"));
    EXPECT_FALSE(Lines(d).contains("R\t8.314\tgas constant"));

    // Rename NA with No: both stay.
    ClickLine(d, "NA\t");
    f.answerer.Answer(QMessageBox::No);
    Retype(fields[0], "NAv");
    QTest::mouseClick(Child<QPushButton>(d, "Command1(3)"), Qt::LeftButton);  // OK
    EXPECT_TRUE(Lines(d).contains("NA\t6.02214076E23\tAvogadro constant"));
    EXPECT_TRUE(Lines(d).contains("NAv\t6.02214076E23\tAvogadro constant"));
    EXPECT_EQ(fields[0]->text(), "");

    // Delete k.
    ClickLine(d, "k\t");
    QTest::mouseClick(Child<QPushButton>(d, "Command1(2)"), Qt::LeftButton);
    EXPECT_FALSE(Lines(d).contains("k\t1.380649E-23\t"));

    d->findChild<QAction*>("mnuSave")->trigger();
  });
  f.Action("mnuModify")->trigger();

  ASSERT_EQ(f.answerer.Boxes().size(), 2u);
  EXPECT_EQ(f.answerer.Boxes()[0].text, "Do you want to replace R with Rgas?");
  EXPECT_EQ(f.answerer.Boxes()[0].title, "Modify Database");
  EXPECT_EQ(f.answerer.Boxes()[0].icon, QMessageBox::Question);
  EXPECT_EQ(f.answerer.Boxes()[1].text, "Do you want to replace NA with NAv?");
  EXPECT_EQ(Stored("Physical", "Rgas"), "8.314|gas constant");
  EXPECT_EQ(Stored("Physical", "R"), "");
  EXPECT_EQ(Stored("Physical", "NA"), "6.02214076E23|Avogadro constant");
  EXPECT_EQ(Stored("Physical", "NAv"), "6.02214076E23|Avogadro constant");
  EXPECT_EQ(Stored("Physical", "k"), "");
  EXPECT_EQ(f.dir.Read("TOLVANE.IN_"), WindowDatabase().Main());
  EXPECT_EQ(f.s->db.IniFile, f.s->db.MainIniFile);
}

TEST_F(EditorWindowTest, ANewCategoryReachesTheMenus) {
  f.answerer.Drive([this](QDialog* d) {
    auto* category = Child<QComboBox>(d, "cmbCategory(1)");
    category->setFocus();
    category->lineEdit()->selectAll();
    QTest::keyClicks(category->lineEdit(), "Metals");
    f.answerer.Answer(QMessageBox::Yes);
    QTest::keyClick(category->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(category->currentText(), "Metals");
    EXPECT_EQ(Lines(d), QStringList{""});
    auto* key = Child<QLineEdit>(d, "txtINFO(0)");
    QTest::mouseClick(key, Qt::LeftButton);
    QTest::keyClicks(key, "Fe");
    QTest::keyClick(key, Qt::Key_Return);
    auto* value = Child<QLineEdit>(d, "txtINFO(1)");
    QTest::keyClicks(value, "55.845");
    QTest::keyClick(value, Qt::Key_Return);
    d->close();  // the close box keeps what was committed
  });
  f.Action("mnuModify")->trigger();
  ASSERT_EQ(f.answerer.Boxes().size(), 1u);
  EXPECT_EQ(f.answerer.Boxes()[0].text, "Do you want to create a new category of Constants?");
  EXPECT_EQ(Stored("Metals", "Fe"), "55.845");
  QAction* metals = f.window->findChild<QAction*>("mnuConst_3");
  ASSERT_NE(metals, nullptr);
  EXPECT_EQ(metals->text(), "Metals");
  EXPECT_FALSE(f.Find<QListWidget>("lstKey")->isVisible());
}

TEST_F(EditorWindowTest, TheTypeComboListsTheExampleCategories) {
  f.answerer.Drive([](QDialog* d) {
    auto* type = Child<QComboBox>(d, "cmbCategory(0)");
    type->setFocus();
    QTest::keyClick(type, Qt::Key_Up);
    EXPECT_EQ(type->currentText(), "Examples");
    EXPECT_EQ(Child<QComboBox>(d, "cmbCategory(1)")->currentText(), "Basics");
    EXPECT_EQ(Lines(d), (QStringList{"", "Sum\t2+3\t", "Water\tMW(H2O)\tmolar mass of water"}));
    d->findChild<QAction*>("mnuCancel")->trigger();
  });
  f.Action("mnuModify")->trigger();
  EXPECT_FALSE(f.s->db.DbChanged);
}

TEST_F(SolverWindowTest, EachEquationOfALineShowsItself) {
  for (const char* piece : {"x^2=2, X0=1", "x^3=5, X0=2"}) {
    f.answerer.Drive([piece](QDialog* d) {
      EXPECT_EQ(Child<QLabel>(d, "label_formula")->text(), piece);
      QTest::mouseClick(Child<QPushButton>(d, "cmd_ok"), Qt::LeftButton);
      QTest::mouseClick(Child<QPushButton>(d, "cmd_ok"), Qt::LeftButton);
      QTest::mouseClick(Child<QPushButton>(d, "cmd_save"), Qt::LeftButton);
    });
  }
  f.RunLine("x^2=2, X0=1; x^3=5, X0=2");
  EXPECT_NEAR(f.s->memory.MemValues[1], std::sqrt(2.0), 1e-6);
  EXPECT_NEAR(f.s->memory.MemValues[2], std::cbrt(5.0), 1e-6);
}

TEST_F(EditorWindowTest, TabAndClicksMoveThroughTheFieldsOfOneEntry) {
  const struct {
    const char* name;
    const char* key;
    bool click;  // click into Description rather than Tab
  } rows[] = {{"Tab", "Ktab", false}, {"click", "Kclick", true}};
  for (const auto& row : rows) {
    f.answerer.Drive([&](QDialog* d) {
      auto* key = Child<QLineEdit>(d, "txtINFO(0)");
      auto* value = Child<QLineEdit>(d, "txtINFO(1)");
      auto* description = Child<QLineEdit>(d, "txtINFO(2)");
      QTest::mouseClick(key, Qt::LeftButton);
      QTest::keyClicks(key, row.key);
      QTest::keyClick(key, Qt::Key_Return);
      QTest::keyClicks(value, "1.5");
      if (row.click) {
        QTest::mouseClick(description, Qt::LeftButton);
      } else {
        QTest::keyClick(value, Qt::Key_Tab);
      }
      EXPECT_TRUE(description->hasFocus()) << row.name;
      EXPECT_FALSE(Lines(d).contains(QString(row.key) + "\t1.5\t"))
          << row.name;  // not committed yet
      QTest::keyClicks(description, row.key + 1);
      QTest::keyClick(description, Qt::Key_Tab);  // on to OK: the entry is committed
      EXPECT_TRUE(Child<QPushButton>(d, "Command1(3)")->hasFocus()) << row.name;
      EXPECT_TRUE(Lines(d).contains(QString(row.key) + "\t1.5\t" + (row.key + 1))) << row.name;
      EXPECT_EQ(key->text(), row.key) << row.name;
      d->findChild<QAction*>("mnuSave")->trigger();
    });
    f.Action("mnuModify")->trigger();
    EXPECT_EQ(Stored("Physical", row.key), std::string("1.5|") + (row.key + 1)) << row.name;
    // Nothing typed landed in another field, nor made a key of its own.
    EXPECT_EQ(f.dir.Read("TOLVANE.INI").find(std::string(row.key) + (row.key + 1)),
              std::string::npos)
        << row.name;
  }
  EXPECT_TRUE(f.answerer.Boxes().empty());
}

TEST_F(EditorWindowTest, EscapeLeavesAFieldWithoutCommitting) {
  f.answerer.Drive([](QDialog* d) {
    auto* key = Child<QLineEdit>(d, "txtINFO(0)");
    auto* value = Child<QLineEdit>(d, "txtINFO(1)");
    QTest::mouseClick(key, Qt::LeftButton);
    QTest::keyClicks(key, "junk");
    QTest::keyClick(key, Qt::Key_Return);
    QTest::keyClicks(value, "1");
    QTest::keyClick(value, Qt::Key_Escape);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(key->text(), "");
    EXPECT_EQ(value->text(), "");
    QTest::mouseClick(Child<QListWidget>(d, "lstINFO")->viewport(), Qt::LeftButton);
    QTest::keyClick(d, Qt::Key_Escape);  // nothing left to give up: the window closes
    EXPECT_FALSE(d->isVisible());
  });
  f.Action("mnuModify")->trigger();
  EXPECT_EQ(f.dir.Read("TOLVANE.INI"), WindowDatabase().Main());
}

TEST_F(EditorWindowTest, WhatCannotBeStoredIsRefusedAtEntry) {
  const struct {
    const char* name;
    QString key, value;
    const char* says;
    const char* field;  // the field that gets the focus back
  } rows[] = {
      {"a blank in the key", "ok key", "1", "\"ok key\" cannot be used", "txtINFO(0)"},
      {"a bar in the value", "K1", "1|2", "cannot contain \"|\"", "txtINFO(1)"},
      {"a character outside Latin-1", "K2", QString::fromUtf8("H\u2082O"), "(U+2082)",
       "txtINFO(1)"},
  };
  for (const auto& row : rows) {
    f.answerer.Drive([&](QDialog* d) {
      auto* key = Child<QLineEdit>(d, "txtINFO(0)");
      auto* value = Child<QLineEdit>(d, "txtINFO(1)");
      QTest::mouseClick(key, Qt::LeftButton);
      QTest::keyClicks(key, row.key);
      QTest::keyClick(key, Qt::Key_Return);
      value->insert(row.value);  // as an input method types it
      f.answerer.Answer(QMessageBox::Ok);
      QTest::keyClick(value, Qt::Key_Return);
      EXPECT_TRUE(Child<QLineEdit>(d, row.field)->hasFocus()) << row.name;
      // What was typed stays, to be mended.
      EXPECT_EQ(key->text(), row.key) << row.name;
      EXPECT_EQ(value->text(), row.value) << row.name;
      EXPECT_EQ(Lines(d).size(), 3) << row.name;
      d->reject();
    });
    f.Action("mnuModify")->trigger();
    ASSERT_FALSE(f.answerer.Boxes().empty()) << row.name;
    EXPECT_TRUE(f.answerer.Boxes().back().text.contains(QString::fromLatin1(row.says)))
        << row.name << ": " << f.answerer.Boxes().back().text.toStdString();
    EXPECT_EQ(f.dir.Read("TOLVANE.INI"), WindowDatabase().Main()) << row.name;
  }
}

TEST_F(EditorWindowTest, AFolderThatCannotBeWrittenIsShownReadOnly) {
  namespace fs = std::filesystem;
  f.dir.Write("TOLVANE.IN_", "[Constants-Physical]\r\nstale=1\r\n");
  fs::permissions(f.dir.path(), fs::perms(0555));
  f.answerer.Answer(QMessageBox::Ok);  // the editor says at once why nothing can be saved
  f.answerer.Drive([](QDialog* d) {
    EXPECT_EQ(d->windowTitle(), "Modify Database (read-only)");
    EXPECT_EQ(Lines(d),
              (QStringList{"", "NA\t6.02214076E23\tAvogadro constant", "R\t8.314\tgas constant"}));
    EXPECT_TRUE(Child<QLineEdit>(d, "txtINFO(0)")->isReadOnly());
    EXPECT_FALSE(Child<QPushButton>(d, "Command1(2)")->isEnabled());
    d->findChild<QAction*>("mnuSave")->trigger();
  });
  f.Action("mnuModify")->trigger();
  fs::permissions(f.dir.path(), fs::perms(0755));
  ASSERT_EQ(f.answerer.Boxes().size(), 1u);
  const QString folder = QString::fromStdString(f.dir.path().string());
  EXPECT_TRUE(f.answerer.Boxes()[0].text.startsWith("The database cannot be changed: " + folder +
                                                    "/TOLVANE.INI cannot be replaced: its folder " +
                                                    folder + " is marked read-only."))
      << f.answerer.Boxes()[0].text.toStdString();
  EXPECT_EQ(f.answerer.Boxes()[0].icon, QMessageBox::Warning);
  EXPECT_EQ(f.dir.Read("TOLVANE.INI"), WindowDatabase().Main());
}

TEST_F(EditorWindowTest, SavingSaysInOneLineWhereTheWebPagesWent) {
  f.dir.Write("tolvane.ht_", "%%scalc%%\r\n");
  f.dir.Write("tolvane1.ht_", "%%refs%%\r\n");
  const auto addEntry = [](const char* key) {
    return [key](QDialog* d) {
      auto* field = Child<QLineEdit>(d, "txtINFO(0)");
      QTest::mouseClick(field, Qt::LeftButton);
      QTest::keyClicks(field, key);
      QTest::keyClick(field, Qt::Key_Return);
      QTest::keyClicks(Child<QLineEdit>(d, "txtINFO(1)"), "1");
      QTest::keyClick(Child<QLineEdit>(d, "txtINFO(1)"), Qt::Key_Return);
      d->findChild<QAction*>("mnuSave")->trigger();
    };
  };
  auto* status = f.window->findChild<QStatusBar*>("statusBar");
  ASSERT_NE(status, nullptr);
  f.answerer.Drive(addEntry("K1"));
  f.Action("mnuModify")->trigger();
  EXPECT_TRUE(f.answerer.Boxes().empty());  // no page-sized message box
  EXPECT_EQ(status->currentMessage(),
            "web pages written to " + QString::fromStdString(f.dir.path().string()));
  EXPECT_NE(f.dir.Read("tolvanec.htm").find("K1"), std::string::npos);

  // A page that cannot be written is named in a message.
  status->clearMessage();
  std::filesystem::create_directory(f.dir.File("tolvane1.htm.d"));
  std::filesystem::remove(f.dir.File("tolvane1.htm"));
  std::filesystem::rename(f.dir.File("tolvane1.htm.d"), f.dir.File("tolvane1.htm"));
  f.dir.Write("tolvane1.htm/keep", "x");
  f.answerer.Answer(QMessageBox::Ok);
  f.answerer.Drive(addEntry("K2"));
  f.Action("mnuModify")->trigger();
  ASSERT_EQ(f.answerer.Boxes().size(), 1u);
  EXPECT_TRUE(f.answerer.Boxes()[0].text.startsWith(
      "The web pages could not be written: " + QString::fromStdString(f.dir.File("tolvane1.htm"))));
  EXPECT_EQ(status->currentMessage(), "");
}

}  // namespace
}  // namespace ostravel::testing
