#include "qt/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QProcess>
#include <QStatusBar>

#include "qt/latin1.h"

namespace ostravel {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QtPlatform::QtPlatform() {
  sinceYield_.start();
}

int QtPlatform::AddObserver(std::function<void(Control)> observer) {
  observers_.emplace_back(++nextObserver_, std::move(observer));
  return nextObserver_;
}

void QtPlatform::RemoveObserver(int id) {
  std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

QWidget* QtPlatform::DialogParent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return mainWindow_ != nullptr && mainWindow_->isVisible() ? mainWindow_.data() : nullptr;
}

void QtPlatform::MessageBox(const std::string& text, MessageIcon icon, const std::string& title) {
  QMessageBox box(ToQtIcon(icon), ToQt(title), TypedToQt(text), QMessageBox::Ok, DialogParent());
  box.setObjectName("MessageBox");
  box.exec();
}

bool QtPlatform::AskYesNo(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::Question, ToQt(title), ToQt(text),
                  QMessageBox::Yes | QMessageBox::No, DialogParent());
  box.setObjectName("MessageBox");
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

std::string QtPlatform::InputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) {
  QInputDialog dialog(DialogParent());
  dialog.setObjectName("InputBox");
  dialog.setWindowTitle(ToQt(title));
  dialog.setLabelText(ToQt(prompt));
  dialog.setTextValue(ToQt(defaultText));
  if (dialog.exec() != QDialog::Accepted) return {};
  return FromQt(dialog.textValue());
}

std::string QtPlatform::ClipboardText() {
  return FromQt(QGuiApplication::clipboard()->text());
}

void QtPlatform::SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(ToQt(text));
}

void QtPlatform::ClearClipboard() {
  QGuiApplication::clipboard()->clear();
}

void QtPlatform::Beep() {
  QApplication::beep();
}

void QtPlatform::YieldToEvents() {
  // Called after every token and operator: only a clock read unless the interval has passed.
  if (sinceYield_.elapsed() < kYieldIntervalMs) return;
  QCoreApplication::processEvents();
  sinceYield_.restart();
}

void QtPlatform::Changed(Control control) {
  // A copy: an observer may add or remove observers while it runs.
  const auto observers = observers_;
  for (const auto& [id, observer] : observers)
    observer(control);
}

void QtPlatform::SetFocus(Control control) {
  if (focusHandler_) focusHandler_(control);
}

void QtPlatform::ShowModal(Dialog dialog) {
  if (modalHandler_) modalHandler_(dialog);
}

void QtPlatform::ShowStatus(const std::string& text) {
  if (auto* window = qobject_cast<QMainWindow*>(mainWindow_.data())) {
    window->statusBar()->showMessage(ToQt(text));
  } else {
    Platform::ShowStatus(text);
  }
}

bool QtPlatform::StartDetached(const std::string& commandLine) {
  if (commandLine.find_first_not_of(' ') == std::string::npos) return false;
  return QProcess::startDetached("/bin/sh", {"-c", ToQt(commandLine)});
}

}  // namespace ostravel
