#include "qt/window_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include "startup/startup.h"

namespace ostravel::testing {

const char* const kTestDatabase =
    "[Options]\r\n"
    "Default Significant Digits=4\r\n"
    "[AtomicWeights]\r\n"
    "H=1.00794\r\nHe=4.002602\r\nLi=6.941\r\nBe=9.012182\r\nB=10.811\r\nC=12.0107\r\n"
    "N=14.0067\r\nO=15.9994\r\n"
    "[Constants]\r\n"
    "Physical=\r\n"
    "Solubility=KSP\r\n"
    "[Constants-Physical]\r\n"
    "R=8.314|gas constant\r\n"
    "NA=6.02214E23|Avogadro constant\r\n"
    "[Constants-Solubility]\r\n"
    "AGCL=1.8E-10|silver chloride\r\n"
    "[Constants-Radicals]\r\n"
    "[Examples]\r\n"
    "Basics=\r\n"
    "[Examples-Basics]\r\n"
    "Water=MW(H2O)|molar mass of water\r\n"
    "Sum=2+3\r\n";

WindowFixture::WindowFixture(const std::string& database) {
  namespace fs = std::filesystem;
  if (database.empty()) {
    for (const auto& entry : fs::directory_iterator(OSTRAVEL_DATA_DIR)) {
      if (entry.is_regular_file())
        fs::copy_file(entry.path(), dir.path() / entry.path().filename());
    }
  } else {
    dir.Write("TOLVANE.INI", database);
  }
  s = std::make_unique<Session>(ui);
  s->db.ProgramFolder = dir.path().string();
  window = std::make_unique<MainWindow>(*s, ui);
  Form_Load(*s, "");
  window->show();
  QApplication::setActiveWindow(window.get());
  if (!QTest::qWaitForWindowActive(window.get())) ADD_FAILURE() << "the window is not active";
}

WindowFixture::~WindowFixture() {
  window.reset();
  EXPECT_EQ(answerer.UnusedAnswers(), 0u) << "an expected dialog did not appear";
}

void WindowFixture::RunLine(const QString& text) {
  auto* line = Find<QLineEdit>("entryline");
  line->setFocus();
  line->selectAll();
  QTest::keyClick(line, Qt::Key_Delete);
  QTest::keyClicks(line, text);
  QTest::keyClick(line, Qt::Key_Return);
}

QStringList WindowFixture::Lines(const QString& list) const {
  QStringList lines;
  auto* widget = Find<QListWidget>(list);
  for (int i = 0; widget != nullptr && i < widget->count(); ++i)
    lines.append(widget->item(i)->text());
  return lines;
}

void WindowFixture::ClickLine(const QString& list, int row, bool twice) {
  auto* widget = Find<QListWidget>(list);
  ASSERT_NE(widget, nullptr);
  ASSERT_LT(row, widget->count());
  QListWidgetItem* item = widget->item(row);
  widget->scrollToItem(item);
  const QPoint at = widget->visualItemRect(item).center();
  QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, at);
  if (twice) {
    QTest::mouseDClick(widget->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget->viewport(), Qt::LeftButton, {}, at);
  }
}

QString WindowFixture::Clipboard() const {
  return QGuiApplication::clipboard()->text();
}

}  // namespace ostravel::testing
