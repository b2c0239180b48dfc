// Answers the modal windows that the window under test opens: message boxes from a queue of
// buttons, other dialogs from a queue of actions. A modal window that the test did not expect
// fails the test and is closed, so no test ever hangs on one.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <vector>

class QDialog;

namespace ostravel::testing {

struct SeenBox {
  QString text;
  QMessageBox::Icon icon;
  QString title;
};

class DialogAnswerer : public QObject {
 public:
  DialogAnswerer();

  // The next message box is answered with button.
  void Answer(QMessageBox::StandardButton button) { answers_.push_back(button); }
  // The next other modal dialog is handed to action, which must close it.
  void Drive(std::function<void(QDialog*)> action) { actions_.push_back(std::move(action)); }

  const std::vector<SeenBox>& Boxes() const { return boxes_; }
  std::size_t UnusedAnswers() const { return answers_.size() + actions_.size(); }

 private:
  void AnswerBox();
  void DriveDialog();

  // Two timers: a dialog's action may open a message box, which must be answered while the
  // action waits for it.
  QTimer boxTimer_;
  QTimer dialogTimer_;
  std::deque<QMessageBox::StandardButton> answers_;
  std::deque<std::function<void(QDialog*)>> actions_;
  std::vector<SeenBox> boxes_;
  QPointer<QDialog> driven_;
};

}  // namespace ostravel::testing
