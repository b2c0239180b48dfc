// The program's arguments: the options of our own, which begin with "--", and the words and
// calculations that the window's command line knows ("", "HTML", "DDE", "clipboard", any
// other text), which are compared exactly.
#pragma once

#include <string>
#include <vector>

namespace ostravel {

enum class CommandKind {
  Help,
  Version,
  Explain,  // --explain FORMULA
  Balance,  // --balance EQUATION
  Json,     // --json LINE
  Run,      // the command line as the window reads it
  Refused,  // a wrong command line: Text is the reason
};

struct CommandLine {
  CommandKind Kind = CommandKind::Run;
  std::string Text;  // the formula, the line, the command line or the reason for refusing
};

// Reads the arguments after the program's name. The words that are not options form one text,
// joined by blanks; after "--" every argument belongs to it.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The text of --help.
std::string UsageText();

}  // namespace ostravel
