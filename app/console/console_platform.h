// The console front end: message boxes become lines on standard output (results, information)
// or standard error (errors), questions take their default answer, the clipboard lives in
// memory. Used when there is no display: over ssh, in scripts, and for the headless gateway.
#pragma once

#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace ostravel {

class ConsolePlatform : public Platform {
 public:
  ConsolePlatform(std::FILE* out = stdout, std::FILE* err = stderr, std::FILE* in = stdin);

  void MessageBox(const std::string& text, MessageIcon icon, const std::string& title) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;
  std::string InputBox(const std::string& prompt, const std::string& title,
                       const std::string& defaultText) override;
  std::string ClipboardText() override { return clipboard_; }
  void SetClipboardText(const std::string& text) override { clipboard_ = text; }
  void ClearClipboard() override { clipboard_.clear(); }
  void Beep() override {}
  void YieldToEvents() override {}
  void Changed(Control) override {}
  void SetFocus(Control) override {}
  void ShowModal(Dialog) override {}
  bool StartDetached(const std::string& commandLine) override;

  // Text put before every error message, such as the number of the input line it is about.
  void SetMessagePrefix(std::string prefix) { prefix_ = std::move(prefix); }

 private:
  std::FILE* out_;
  std::FILE* err_;
  std::FILE* in_;
  std::string clipboard_;
  std::string prefix_;
};

// Reads all of a stream that is not a terminal ("" for a terminal), without its final line end.
std::string ReadPipedInput(std::FILE* in);

}  // namespace ostravel
