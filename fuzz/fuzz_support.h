// What the fuzz targets share: a platform that answers every question at once, and a program
// folder in a temporary directory with the delivered database and web templates.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace ostravel {
class Session;
}

namespace ostravel::fuzz {

// Shows nothing, answers No and empty input, starts no program.
class SilentPlatform : public Platform {
 public:
  void MessageBox(const std::string&, MessageIcon, const std::string&) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
  std::string InputBox(const std::string&, const std::string&, const std::string&) override {
    return {};
  }
  std::string ClipboardText() override { return clipboard; }
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  void ClearClipboard() override { clipboard.clear(); }
  void Beep() override {}
  void YieldToEvents() override {}
  void Changed(Control) override {}
  void SetFocus(Control) override {}
  void ShowModal(Dialog) override {}
  bool StartDetached(const std::string&) override { return false; }

  std::string clipboard;
};

// A sandbox folder holding the program folder "program" (delivered data plus entries that
// provoke self-references) and its register folder "program/register". Removed at exit.
class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::string& root() const { return root_; }
  const std::string& program() const { return program_; }
  std::string register_folder() const { return program_ + "/register"; }
  // Puts the database files back as they were delivered.
  void RestoreDatabase() const;
  // Every regular file below root, with its path relative to root.
  std::vector<std::string> Files() const;

 private:
  std::string root_;
  std::string program_;
  std::vector<std::pair<std::string, std::string>> database_;  // file name, bytes
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// One session for every input of a target, loaded by the window's start-up from a sandbox's
// database, so that the database is parsed once.
Session& StartedSession();

// Aborts the run with a message: a property the target checks does not hold.
[[noreturn]] void PropertyFailed(const std::string& what);

}  // namespace ostravel::fuzz
