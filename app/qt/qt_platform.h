// The platform of the desktop window: Qt message boxes, input box, clipboard and events.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace ostravel {

class QtPlatform : public Platform {
 public:
  QtPlatform();

  // Observers see every Changed(control): the main window, and the web gateway's channel
  // server, which watches Control::LinkLabels and Control::Timer. Returns a number for
  // RemoveObserver.
  int AddObserver(std::function<void(Control)> observer);
  void RemoveObserver(int id);
  // The main window shows focus changes and modal windows.
  void SetFocusHandler(std::function<void(Control)> handler) { focusHandler_ = std::move(handler); }
  void SetModalHandler(std::function<void(Dialog)> handler) { modalHandler_ = std::move(handler); }
  // The window that owns message boxes when no modal window is open.
  void SetMainWindow(QWidget* window) { mainWindow_ = window; }

  void MessageBox(const std::string& text, MessageIcon icon, const std::string& title) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;
  std::string InputBox(const std::string& prompt, const std::string& title,
                       const std::string& defaultText) override;
  std::string ClipboardText() override;
  void SetClipboardText(const std::string& text) override;
  void ClearClipboard() override;
  void Beep() override;
  void YieldToEvents() override;
  void Changed(Control control) override;
  void SetFocus(Control control) override;
  void ShowModal(Dialog dialog) override;
  bool StartDetached(const std::string& commandLine) override;
  // In the main window's status line.
  void ShowStatus(const std::string& text) override;

 private:
  QWidget* DialogParent() const;

  // Events are dispatched at most this often while a calculation yields.
  static constexpr qint64 kYieldIntervalMs = 15;

  QElapsedTimer sinceYield_;
  std::vector<std::pair<int, std::function<void(Control)>>> observers_;
  int nextObserver_ = 0;
  std::function<void(Control)> focusHandler_;
  std::function<void(Dialog)> modalHandler_;
  QPointer<QWidget> mainWindow_;
};

}  // namespace ostravel
