// The window "Balance Equation", opened from the File menu: balances, explains a refusal,
// and copies only a result that belongs to the equation shown.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "qt/mass_tooltip.h"
#include "qt/window_fixture.h"

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
  WindowFixture f(DeliveredData{});
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.equation);
    f.answerer.Drive([&](QDialog* d) {
      EXPECT_EQ(d->objectName(), "frmBalance");
      EXPECT_EQ(d->windowTitle(), "Balance Equation");
      auto* equation = Child<QLineEdit>(d, "txtEquation");
      auto* result = Child<QPlainTextEdit>(d, "txtResult");
      auto* copy = Child<QPushButton>(d, "cmdCopy");
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
      QTest::mouseClick(Child<QPushButton>(d, "cmdClose"), Qt::LeftButton);
    });
    f.Action("mnuBalance")->trigger();
    EXPECT_EQ(f.answerer.UnusedAnswers(), 0u);
  }
}

TEST(MassToolTipTest, MolarMassesShowTheirUncertaintyOthersNothing) {
  WindowFixture f(DeliveredData{});
  f.RunLine("H2O; 2+3");
  struct TipRow {
    const char* line;
    const char* tip;  // "" for no tooltip
  };
  const TipRow rows[] = {
      {"M1: 18.02\tMW(H2O)",
       "MW(H2O)\nmolar mass: 18.0150 \xB1 0.0011 g/mol (uncertainty mostly from O 86 %, H 14 %)\n"
       "monoisotopic mass: 18.010565 u\nnominal mass: 18 u"},
      {"M1: 96.06\tmw(SO4^2-)",
       "mw(SO4^2-)\nmolar mass: 96.057 \xB1 0.020 g/mol (uncertainty mostly from S 96 %, O 4 %)\n"
       "monoisotopic mass: 95.952827 u\nnominal mass: 96 u\nm/z: 47.976413 u (charge 2-)"},
      {"M2: 5\t2+3", ""},
      {"M3: 5\tMW(2+3)", ""},
      {"no tab", ""},
  };
  for (const TipRow& row : rows) {
    EXPECT_EQ(MassToolTip(*f.s, row.line), QString::fromLatin1(row.tip)) << row.line;
    EXPECT_EQ(f.s->engine.EvalError, "");
  }
}

}  // namespace
}  // namespace ostravel::testing
