// Start-up measurement: with OSTRAVEL_EXIT_AFTER_PAINT=1 the program prints how long it took
// from the start of the process (and from the start of RunQt) to the first paint of the main
// window, and ends.
#pragma once

#include <QElapsedTimer>
#include <QObject>

namespace ostravel {

class FirstPaintProbe : public QObject {
 public:
  // Watches window when the environment asks for the measurement; does nothing otherwise.
  static void AttachIfRequested(QWidget* window, const QElapsedTimer& sinceRunQt);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  FirstPaintProbe(QObject* parent, const QElapsedTimer& sinceRunQt)
      : QObject(parent), sinceRunQt_(sinceRunQt) {}
  void Report();

  QElapsedTimer sinceRunQt_;
  bool reported_ = false;
};

}  // namespace ostravel
