#include "qt/qt_session.h"

#include <QApplication>
#include <QElapsedTimer>

#include "gateway/link_server.h"
#include "qt/first_paint_probe.h"
#include "qt/main_window.h"
#include "qt/program_icon.h"
#include "qt/qt_platform.h"
#include "session/session.h"
#include "startup/startup.h"

namespace ostravel {

int RunQt(int argc, char** argv, const std::string& programFolder, const std::string& commandLine) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ostravel"));
  QApplication::setDesktopFileName(QStringLiteral("ostravel"));
  QApplication::setWindowIcon(ProgramIcon());

  QtPlatform ui;
  Session s(ui);
  s.db.ProgramFolder = programFolder;
  MainWindow window(s, ui);
  const StartResult start = Form_Load(s, commandLine);
  if (!start.ShowWindow) return start.ExitCode;

  // The web gateway's channel is open while the window exists. Another Ostravel may already
  // serve it; the window then works on its own, and "DDE" says why it cannot serve.
  LinkServer link(s);
  const int observer = ui.AddObserver([&link](Control control) { link.OnControlChanged(control); });
  QString error;
  if (!link.Start(&error) && commandLine == "DDE") {
    ui.MessageBox("The web gateway cannot start: " + std::string(error.toLatin1().constData()),
                  MessageIcon::Exclamation, kAppTitle);
  }
  FirstPaintProbe::AttachIfRequested(&window, sinceStart);
  window.show();
  const int code = QApplication::exec();
  ui.RemoveObserver(observer);
  link.Stop();
  return code;
}

}  // namespace ostravel
