#include "qt/first_paint_probe.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

namespace ostravel {
namespace {

// Milliseconds since this process started, from its start time in /proc (clock ticks since
// boot, so the resolution is a tick, usually 10 ms); -1 when unknown.
double MillisecondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  // Fields after the command name start with field 3 (state); the start time is field 22.
  for (int i = 3; i <= 22 && fields >> field; ++i) {
  }
  const long ticks = sysconf(_SC_CLK_TCK);
  timespec now{};
  if (field.empty() || ticks <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1;
  const double started = std::stod(field) / static_cast<double>(ticks);
  return (static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9 - started) * 1000.0;
}

}  // namespace

void FirstPaintProbe::AttachIfRequested(QWidget* window, const QElapsedTimer& sinceRunQt) {
  const char* flag = std::getenv("OSTRAVEL_EXIT_AFTER_PAINT");
  if (flag == nullptr || std::string(flag) != "1") return;
  window->installEventFilter(new FirstPaintProbe(window, sinceRunQt));
}

bool FirstPaintProbe::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::Paint && !reported_) {
    reported_ = true;
    // Reported once the paint event has been handled and the window drawn.
    QTimer::singleShot(0, this, [this] { Report(); });
  }
  return false;
}

void FirstPaintProbe::Report() {
  std::printf("first paint: %.1f ms after process start, %lld ms after RunQt\n",
              MillisecondsSinceProcessStart(), static_cast<long long>(sinceRunQt_.elapsed()));
  std::fflush(stdout);
  QCoreApplication::quit();
}

}  // namespace ostravel
