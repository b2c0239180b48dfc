#include "console/console_session.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "calc/calculation_driver.h"
#include "calc/startup.h"
#include "console/console_platform.h"
#include "session/session.h"

namespace ostravel {
namespace {

// Prints the memory lines stored since the list last had `before` lines, oldest first.
void PrintNewLines(const Session& s, std::size_t before) {
  const auto& items = s.window.memories.Items;
  for (std::size_t i = items.size() - before; i-- > 0;)
    std::cout << items[i] << '\n';
  std::cout.flush();
}

// Without a display and without an argument: each line of standard input is an entry line.
int RunLineByLine(Session& s) {
  bool terminal = isatty(fileno(stdin)) == 1;
  std::string line;
  while (true) {
    if (terminal) std::cout << "> " << std::flush;
    if (!std::getline(std::cin, line)) break;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    s.window.entryline.Text = line;
    std::size_t before = s.window.memories.Items.size();
    int key = kEnterKey;
    entryline_KeyPress(s, key);
    PrintNewLines(s, before);
  }
  return 0;
}

}  // namespace

int RunConsole(const std::string& programFolder, const std::string& commandLine) {
  ConsolePlatform ui;
  Session s(ui);
  s.db.ProgramFolder = programFolder;
  if (commandLine == "clipboard") ui.SetClipboardText(ReadPipedInput(stdin));
  StartResult result = Form_Load(s, commandLine);
  if (!result.ShowWindow) {
    if (commandLine == "clipboard") std::cout << ui.ClipboardText() << std::endl;
    return result.ExitCode;
  }
  if (commandLine == "HTML") return 0;  // the pages are written; nothing else to do
  return RunLineByLine(s);
}

}  // namespace ostravel
