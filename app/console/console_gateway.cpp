#include "console/console_gateway.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <functional>

#include "console/console_platform.h"
#include "gateway/link_server.h"
#include "session/session.h"
#include "startup/startup.h"

namespace ostravel {
namespace {

// The console platform, with the model's changes reported to the channel server and yields
// that let the channel accept commands while a long calculation runs.
class GatewayConsolePlatform : public ConsolePlatform {
 public:
  void Changed(Control control) override {
    if (observer) observer(control);
  }
  void YieldToEvents() override {
    if (!sinceYield_.isValid() || sinceYield_.elapsed() >= 15) {
      QCoreApplication::processEvents();
      sinceYield_.start();
    }
  }
  std::function<void(Control)> observer;

 private:
  QElapsedTimer sinceYield_;
};

int signalPipe[2] = {-1, -1};

void OnStopSignal(int) {
  const char byte = 1;
  (void)!::write(signalPipe[1], &byte, 1);
}

}  // namespace

int RunHeadlessGateway(const std::string& programFolder) {
  // The plain event dispatcher of Qt: without a window nothing needs GLib's, and a request
  // costs the gateway an eighth less.
  qputenv("QT_NO_GLIB", "1");
  int argc = 1;
  char name[] = "ostravel";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);

  GatewayConsolePlatform ui;
  Session s(ui);
  s.db.ProgramFolder = programFolder;
  Form_Load(s, "DDE");

  LinkServer server(s, LinkServer::Pace::BackToBack);
  ui.observer = [&server](Control control) { server.OnControlChanged(control); };
  QString error;
  if (!server.Start(&error)) {
    std::fprintf(stderr, "ostravel: %s\n", error.toLocal8Bit().constData());
    return 1;
  }

  // SIGINT and SIGTERM end the event loop, so the channel is removed on the way out.
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return 1;
  QSocketNotifier stop(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(&stop, &QSocketNotifier::activated, &app, [&app] { app.quit(); });
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);

  std::printf("Ostravel gateway: channel %s, answer files in %s\n",
              server.ChannelPath().toLocal8Bit().constData(), s.gateway.RegisterFolder.c_str());
  std::fflush(stdout);
  const int code = app.exec();
  ui.observer = nullptr;
  server.Stop();
  return code;
}

}  // namespace ostravel
