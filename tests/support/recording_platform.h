// A platform for tests: records every call, answers questions from queues, never blocks.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace ostravel::testing {

struct ShownMessage {
  std::string text;
  MessageIcon icon;
  std::string title;
};

class RecordingPlatform : public Platform {
 public:
  void MessageBox(const std::string& text, MessageIcon icon, const std::string& title) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;
  std::string InputBox(const std::string& prompt, const std::string& title,
                       const std::string& defaultText) override;
  std::string ClipboardText() override { return clipboard; }
  void SetClipboardText(const std::string& text) override {
    clipboard = text;
    ++clipboardWrites;
  }
  void ClearClipboard() override { clipboard.clear(); }
  void Beep() override { ++beeps; }
  void YieldToEvents() override;
  void Changed(Control control) override { changed.push_back(control); }
  void SetFocus(Control control) override { focus.push_back(control); }
  void ShowModal(Dialog dialog) override;
  bool StartDetached(const std::string& commandLine) override;
  void ShowStatus(const std::string& text) override { statuses.push_back(text); }

  std::vector<ShownMessage> messages;
  std::vector<std::string> questions;    // texts of AskYesNo and InputBox
  std::deque<bool> yesNoAnswers;         // answers to AskYesNo; No when empty
  std::deque<std::string> inputAnswers;  // answers to InputBox; its default when empty
  std::string clipboard;
  int clipboardWrites = 0;
  int beeps = 0;
  long yields = 0;
  std::function<void()> onYield;  // runs inside YieldToEvents when set
  std::vector<Control> changed;
  std::vector<Control> focus;
  std::vector<Dialog> dialogs;
  std::function<void(Dialog)> onShowModal;  // drives a modal window when set
  std::vector<std::string> started;         // command lines of StartDetached
  std::vector<std::string> statuses;        // texts of ShowStatus
};

}  // namespace ostravel::testing
