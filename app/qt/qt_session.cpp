#include "qt/qt_session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>

#include "calc/startup.h"
#include "qt/first_paint_probe.h"
#include "qt/main_window.h"
#include "qt/qt_platform.h"
#include "session/session.h"

namespace ostravel {

int RunQt(int argc, char** argv, const std::string& programFolder, const std::string& commandLine) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ostravel"));
  QApplication::setDesktopFileName(QStringLiteral("ostravel"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("ostravel")));

  QtPlatform ui;
  Session s(ui);
  s.db.ProgramFolder = programFolder;
  Dravik window(s, ui);
  const StartResult start = Form_Load(s, commandLine);
  if (!start.ShowWindow) return start.ExitCode;
  FirstPaintProbe::AttachIfRequested(&window, sinceStart);
  window.show();
  return QApplication::exec();
}

}  // namespace ostravel
