// Runs Ostravel with the console front end.
#pragma once

#include <string>

namespace ostravel {

// Starts the program on the console with the command line: a one-shot calculation answers
// and ends; "HTML" writes the web pages and ends; with no argument, a line-by-line
// calculator reads standard input. ("DDE" runs the headless gateway of the front-end
// module.) Returns the process's exit code: 1 when a calculation failed or a page could not
// be written.
int RunConsole(const std::string& programFolder, const std::string& commandLine);

// --explain: prints how the formula is read. Exit code 1 when it is no formula.
int RunExplain(const std::string& programFolder, const std::string& formula);

// --json: runs the line as a one-shot calculation and prints its memory lines as a JSON
// object {"lines": [...]}, with "error" when it failed (exit code 1).
int RunJson(const std::string& programFolder, const std::string& line);

}  // namespace ostravel
