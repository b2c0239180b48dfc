// Start-up of the main window and the modes chosen by the command line.
#pragma once

#include <string>

namespace ostravel {

class Session;

struct StartResult {
  bool ShowWindow = true;  // false after a one-shot calculation: the program ends
  int ExitCode = 0;        // 1 when the one-shot calculation failed or a web page was not written
};

// The window's load: caption, settings and database, lists, then the mode of the command
// line, compared exactly: "" and "DDE" open the window, "HTML" writes the web pages first,
// "clipboard" or any other text runs one calculation unattended. s.db.ProgramFolder must be
// set before the call.
StartResult Form_Load(Session& s, const std::string& commandLine);

// The value a one-shot run answers with: the newest memory line the run stored, else XValue.
double NewestResult(const Session& s, int memoryCountBefore);

}  // namespace ostravel
