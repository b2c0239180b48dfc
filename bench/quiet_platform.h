// A platform for benchmarks: no dialogs, no clipboard, yields only counted, so the figures
// are the core's own cost.
#pragma once

#include <string>

#include "platform/platform.h"

namespace ostravel::bench {

class QuietPlatform : public Platform {
 public:
  void MessageBox(const std::string&, MessageIcon, const std::string&) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
  std::string InputBox(const std::string&, const std::string&, const std::string& d) override {
    return d;
  }
  std::string ClipboardText() override { return {}; }
  void SetClipboardText(const std::string&) override {}
  void ClearClipboard() override {}
  void Beep() override {}
  void YieldToEvents() override { ++yields; }
  void Changed(Control) override {}
  void SetFocus(Control) override {}
  void ShowModal(Dialog) override {}
  bool StartDetached(const std::string&) override { return false; }

  long yields = 0;
};

}  // namespace ostravel::bench
