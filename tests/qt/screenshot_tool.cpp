// Takes the README's screenshot: starts the real window on a copy of the delivered data, types
// a few calculations into it, shows a constant category and saves the window as a PNG.
// Usage: ostravel_screenshot OUTPUT.png (run under Xvfb by scripts/screenshot).
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "qt/main_window.h"
#include "qt/qt_platform.h"
#include "session/session.h"
#include "startup/startup.h"
#include "support/temp_dir.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  namespace fs = std::filesystem;
  ostravel::testing::TempDir folder;
  for (const auto& entry : fs::directory_iterator(OSTRAVEL_DATA_DIR))
    if (entry.is_regular_file())
      fs::copy_file(entry.path(), folder.path() / entry.path().filename());

  // A message box would stop the typing: it is reported and closed.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      std::fprintf(stderr, "message: %s\n", box->text().toLocal8Bit().constData());
      box->done(QMessageBox::Ok);
    }
  });
  closer.start(50);

  ostravel::QtPlatform ui;
  ostravel::Session s(ui);
  s.db.ProgramFolder = folder.path().string();
  ostravel::MainWindow window(s, ui);
  ostravel::Form_Load(s, "");
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;

  auto* line = window.findChild<QLineEdit*>("entryline");
  for (const char* calculation : {"2*MW(CuSO4.5H2O)", "MW(H2O); MW(NaCl)", "WT%(Cu,CuSO4)",
                                  "x^2=2, X0=1", "1.5 x 10-3 * 6.022E23", "LOG(2.5E-5)"}) {
    line->setFocus();
    line->selectAll();
    QTest::keyClicks(line, QString::fromLatin1(calculation));
    QTest::keyClick(line, Qt::Key_Return);
  }
  if (QAction* category = window.findChild<QAction*>("mnuConst_1")) category->trigger();
  line->setFocus();
  line->setText(QStringLiteral("2*MW(CuSO4.5H2O)"));
  QTest::qWait(300);
  if (!window.grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) return 1;
  return 0;
}
