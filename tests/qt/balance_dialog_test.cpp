// The window "Balance Equation", opened from the File menu: balances, explains a refusal,
// and copies only a result that belongs to the equation shown.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "window_fixture.h"

namespace ostravel::testing {
namespace {

struct Row {
  const char* equation;
  const char* shown;
  bool copyable;
};

const Row kRows[] = {
    {"KMnO4 + HCl = KCl + MnCl2 + H2O + Cl2", "2 KMnO4 + 16 HCl = 2 KCl + 2 MnCl2 + 8 H2O + 5 Cl2",
     true},
    // typed with the window's own characters: an arrow
    {"C3H8 + O2 \u2192 CO2 + H2O", "C3H8 + 5 O2 \u2192 3 CO2 + 4 H2O", true},
    {"H2 + O2 = H2O + N2", "The equation cannot be balanced: N occurs only on the right side.",
     false},
};

TEST(BalanceWindowTest, BalancesExplainsAndCopies) {
  WindowFixture f("");
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.equation);
    f.answerer.Drive([&](QDialog* d) {
      EXPECT_EQ(d->objectName(), "frmBalance");
      EXPECT_EQ(d->windowTitle(), "Balance Equation");
      auto* equation = d->findChild<QLineEdit*>("txtEquation");
      auto* result = d->findChild<QPlainTextEdit*>("txtResult");
      auto* copy = d->findChild<QPushButton*>("cmdCopy");
      ASSERT_TRUE(equation && result && copy);
      EXPECT_FALSE(copy->isEnabled());
      equation->setText(QString::fromUtf8(row.equation));  // keyClicks types ASCII only
      QTest::keyClick(equation, Qt::Key_Return);
      EXPECT_EQ(result->toPlainText(), QString::fromUtf8(row.shown));
      EXPECT_EQ(copy->isEnabled(), row.copyable);
      if (row.copyable) {
        QTest::mouseClick(copy, Qt::LeftButton);
        EXPECT_EQ(f.Clipboard(), QString::fromUtf8(row.shown));
        // Once the equation changes, the old result is not offered for copying.
        QTest::keyClicks(equation, " ");
        EXPECT_FALSE(copy->isEnabled());
      }
      QTest::mouseClick(d->findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
    });
    f.Action("mnuBalance")->trigger();
    EXPECT_EQ(f.answerer.UnusedAnswers(), 0u);
  }
}

}  // namespace
}  // namespace ostravel::testing
