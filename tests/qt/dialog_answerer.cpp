#include "qt/dialog_answerer.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTest>

namespace ostravel::testing {

DialogAnswerer::DialogAnswerer() {
  connect(&boxTimer_, &QTimer::timeout, this, [this] { AnswerBox(); });
  connect(&dialogTimer_, &QTimer::timeout, this, [this] { DriveDialog(); });
  boxTimer_.start(10);
  dialogTimer_.start(10);
}

void DialogAnswerer::AnswerBox() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box == nullptr || !box->isVisible()) return;
  boxes_.push_back({box->text(), box->icon(), box->windowTitle()});
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected message box: " << box->text().toStdString();
    box->done(QMessageBox::Cancel);
    return;
  }
  const QMessageBox::StandardButton answer = answers_.front();
  answers_.pop_front();
  QAbstractButton* button = box->button(answer);
  if (button == nullptr) {
    ADD_FAILURE() << "the message box has not the expected button: " << box->text().toStdString();
    box->done(QMessageBox::Cancel);
    return;
  }
  // A window manager gives the activation back to the window below the box; the offscreen
  // platform does not, so the answerer does.
  QPointer<QWidget> below =
      box->parentWidget() != nullptr ? box->parentWidget()->window() : nullptr;
  button->click();
  QApplication::processEvents();  // the box's own activation changes come first
  if (below != nullptr && below->isVisible()) {
    QApplication::setActiveWindow(below);
    if (!QTest::qWaitForWindowActive(below)) ADD_FAILURE() << "the window below is not active";
  }
}

void DialogAnswerer::DriveDialog() {
  auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  if (dialog == nullptr || qobject_cast<QMessageBox*>(dialog) != nullptr) return;
  if (dialog == driven_ || !dialog->isVisible()) return;
  driven_ = dialog;
  if (actions_.empty()) {
    ADD_FAILURE() << "unexpected dialog: " << dialog->objectName().toStdString();
    dialog->reject();
    return;
  }
  // Focus changes drive the dialogs: the action starts once the dialog is the active window.
  QApplication::setActiveWindow(dialog);
  if (!QTest::qWaitForWindowActive(dialog)) ADD_FAILURE() << "the dialog is not active";
  auto action = std::move(actions_.front());
  actions_.pop_front();
  action(dialog);
  if (driven_ != nullptr && driven_->isVisible()) {
    ADD_FAILURE() << "the test left the dialog open: " << dialog->objectName().toStdString();
    driven_->reject();
  }
}

}  // namespace ostravel::testing
