#include "qt/window_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include "startup/startup.h"

namespace ostravel::testing {

TestDatabase WindowDatabase() {
  TestDatabase database;
  const char* const weights[][2] = {{"H", "1.00794"},   {"He", "4.002602"}, {"Li", "6.941"},
                                    {"Be", "9.012182"}, {"B", "10.811"},    {"C", "12.0107"},
                                    {"N", "14.0067"},   {"O", "15.9994"}};
  for (const auto& [symbol, weight] : weights)
    database.Set("AtomicWeights", symbol, weight);
  return database.Avogadro().Entry("Examples", "Basics", "Sum", "2+3");
}

WindowFixture::WindowFixture(const TestDatabase& database) {
  database.Write(dir);
  Start();
}

WindowFixture::WindowFixture(DeliveredData) {
  for (const auto& entry : std::filesystem::directory_iterator(OSTRAVEL_DATA_DIR)) {
    if (entry.is_regular_file())
      std::filesystem::copy_file(entry.path(), dir.path() / entry.path().filename());
  }
  Start();
}

void WindowFixture::Start() {
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
