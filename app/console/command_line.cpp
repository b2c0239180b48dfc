#include "console/command_line.h"

namespace ostravel {

namespace {

// The options that choose what the program does with the rest of the command line.
struct Mode {
  const char* option;
  CommandKind kind;
  const char* needs;  // what the option needs, for the message when it is missing
};

constexpr Mode kModes[] = {
    {"--explain", CommandKind::Explain, "a formula, as in: ostravel --explain CuSO4.5H2O"},
    {"--balance", CommandKind::Balance, "an equation, as in: ostravel --balance 'H2 + O2 = H2O'"},
    {"--json", CommandKind::Json, "a calculation, as in: ostravel --json '2*MW(H2O)'"},
};

const Mode* FindMode(const std::string& option) {
  for (const Mode& mode : kModes)
    if (option == mode.option) return &mode;
  return nullptr;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine command;
  std::string text;
  bool optionsEnd = false;
  bool help = false;
  bool version = false;
  for (const std::string& argument : arguments) {
    if (!optionsEnd && argument == "--") {
      optionsEnd = true;
      continue;
    }
    const bool option = !optionsEnd && (argument.rfind("--", 0) == 0 || argument == "-h");
    if (!option) {
      if (!text.empty()) text += ' ';
      text += argument;
      continue;
    }
    if (argument == "--help" || argument == "-h") {
      help = true;
      continue;
    }
    if (argument == "--version") {
      version = true;
      continue;
    }
    const Mode* mode = FindMode(argument);
    if (mode == nullptr) return {CommandKind::Refused, "unknown option " + argument};
    if (command.Kind != CommandKind::Run && command.Kind != mode->kind)
      return {CommandKind::Refused, "--explain, --balance and --json cannot be used together"};
    command.Kind = mode->kind;
  }
  if (help) return {CommandKind::Help, ""};
  if (version) return {CommandKind::Version, ""};
  for (const Mode& mode : kModes) {
    if (command.Kind == mode.kind && text.empty())
      return {CommandKind::Refused, std::string(mode.option) + " needs " + mode.needs};
  }
  command.Text = text;
  return command;
}

std::string UsageText() {
  return R"(Usage: ostravel [CALCULATION]
       ostravel clipboard | HTML | DDE
       ostravel --explain FORMULA
       ostravel --balance EQUATION
       ostravel --json CALCULATION
       ostravel --help | --version

Ostravel, a chemistry calculator. A calculation is one entry line, for example
  ostravel '2*MW(CuSO4.5H2O); <R>*298.15; x^2=2, X0=1'
(several arguments are joined by blanks; quote the line for the shell).

  CALCULATION        prints the newest result and puts it on the clipboard; with a
                     display it is shown in a message box
  (no argument)      opens the window; without a display, reads one entry line per
                     line of standard input and prints the memory lines it makes
  clipboard          calculates the text on the clipboard (without a display: the
                     text on standard input) and prints the clipboard afterwards
  HTML               writes the web pages of the database into the program folder
  DDE                serves the web version (without a display: headless)
  --explain FORMULA  shows how a formula is read: each element with its count,
                     mass and mass percent, each part of a hydrate or mixture, and
                     the molar mass
  --balance EQUATION balances a reaction equation, as in 'Fe + O2 = Fe2O3'; with
                     amounts written, also the limiting reagent and the yields
  --json CALCULATION prints the new memory lines as JSON (number, name, value,
                     display), a failure as {"error": ...}
  --help, -h         shows this text
  --version          shows the program's name and version
  --                 ends the options: what follows is the calculation

Exit status: 0 when everything was calculated, 1 when a calculation failed or a
page could not be written, 2 for a wrong command line.

The database (TOLVANE.INI and its companions) is read from $OSTRAVEL_HOME when set,
else from the program's own folder when it holds TOLVANE.INI, else from
$XDG_DATA_HOME/ostravel (~/.local/share/ostravel). TOLVANE.TXT describes the
syntax of calculations.
)";
}

}  // namespace ostravel
