// A main window on a temporary program folder, with helpers that drive its real widgets.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <memory>

#include "qt/dialog_answerer.h"
#include "qt/main_window.h"
#include "qt/qt_platform.h"
#include "session/session.h"
#include "support/temp_dir.h"
#include "support/test_database.h"

namespace ostravel::testing {

// The child of parent named name (a control, a menu, a menu item); the test fails when there
// is none.
template <typename T>
T* Child(const QObject* parent, const QString& name) {
  T* child = parent->findChild<T*>(name);
  if (child == nullptr) {
    ADD_FAILURE() << "no " << name.toStdString() << " in " << parent->objectName().toStdString();
  }
  return child;
}

// The shared test database with the atomic weights of the first eight elements, so that formulas
// of water and the like have molar masses, the Avogadro constant and a second example.
TestDatabase WindowDatabase();

// Asks for the window on a copy of the delivered data.
struct DeliveredData {};

class WindowFixture {
 public:
  // Starts the window on database.
  explicit WindowFixture(const TestDatabase& database = WindowDatabase());
  // Starts the window on a copy of the delivered data.
  explicit WindowFixture(DeliveredData);
  ~WindowFixture();

  // A control or a menu item of the window.
  template <typename W>
  W* Find(const QString& name) const {
    return Child<W>(window.get(), name);
  }
  QAction* Action(const QString& name) const { return Find<QAction>(name); }

  // Replaces the entry line's text by typing, then presses Enter.
  void RunLine(const QString& text);
  QStringList Lines(const QString& list) const;
  // Clicks line row of a list widget (double with twice).
  void ClickLine(const QString& list, int row, bool twice = false);
  QString Clipboard() const;

  TempDir dir;
  QtPlatform ui;
  std::unique_ptr<Session> s;
  std::unique_ptr<MainWindow> window;
  DialogAnswerer answerer;

 private:
  // Opens the window on the program folder as the program's start does.
  void Start();
};

}  // namespace ostravel::testing
