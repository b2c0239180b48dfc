// Runs Ostravel with the console front end.
#pragma once

#include <string>

namespace ostravel {

// Starts the program on the console with the command line: a one-shot calculation answers
// and ends; "HTML" writes the web pages and ends; with no argument, a line-by-line
// calculator reads standard input. ("DDE" runs the headless gateway of the front-end
// module.) Returns the process's exit code.
int RunConsole(const std::string& programFolder, const std::string& commandLine);

}  // namespace ostravel
