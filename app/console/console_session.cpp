#include "console/console_session.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <vector>

#include "calc/calculation_driver.h"
#include "chemistry/formula_explain.h"
#include "console/console_platform.h"
#include "runtime/failure.h"
#include "runtime/number_format.h"
#include "runtime/utf8_output.h"
#include "session/engine_calls.h"
#include "session/session.h"
#include "startup/startup.h"

namespace ostravel {
namespace {

// Prints what a line produced: the memory lines it stored, oldest first, or, when it stored
// none, the memory line that holds its answer (a recalled M1, a result found again by name).
void PrintProduced(const Session& s, std::size_t before) {
  const auto& items = s.window.memories.Items;
  if (items.size() > before) {
    for (std::size_t i = items.size() - before; i-- > 0;)
      std::cout << ToUtf8(items[i]) << '\n';
  } else if (s.calc.RunErrors == 0 && s.calc.AnswerMemory > 0) {
    // The newest line of that number, as listed when it was stored.
    const std::string number = "M" + std::to_string(s.calc.AnswerMemory) + ": ";
    for (const std::string& item : items) {
      if (item.rfind(number, 0) == 0) {
        std::cout << ToUtf8(item) << '\n';
        break;
      }
    }
  }
  std::cout.flush();
}

// Without a display and without an argument: each line of standard input is an entry line.
// Exit status 1 when any line failed.
int RunLineByLine(Session& s, ConsolePlatform& ui) {
  const bool terminal = isatty(fileno(stdin)) == 1;
  bool failed = false;
  std::string line;
  for (long number = 1;; ++number) {
    if (terminal) std::cout << "> " << std::flush;
    if (!std::getline(std::cin, line)) {
      if (terminal) std::cout << std::endl;  // the prompt's line ends with Ctrl-D
      break;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Piped lines are not on the screen: a message says which one it is about.
    if (!terminal) ui.SetMessagePrefix("line " + std::to_string(number) + ": ");
    s.window.entryline.Text = line;
    const std::size_t before = s.window.memories.Items.size();
    int key = kEnterKey;
    entryline_KeyPress(s, key);
    failed = failed || s.calc.RunErrors > 0;
    PrintProduced(s, before);
  }
  return failed ? 1 : 0;
}

// The console platform of --json: the messages of the run are kept for the answer.
class CollectingPlatform : public ConsolePlatform {
 public:
  void MessageBox(const std::string& text, MessageIcon icon, const std::string& title) override {
    if (!collecting) return ConsolePlatform::MessageBox(text, icon, title);
    if (icon == MessageIcon::Exclamation) errors.push_back(text);  // other notices are dropped
  }
  bool collecting = false;
  std::vector<std::string> errors;
};

std::string MemoryLinesJson(const Session& s) {
  std::string json = "[";
  for (int n = 1; n <= s.memory.MemoryCount; ++n) {
    if (n > 1) json += ",";
    const double value = s.memory.MemValues[n];
    json += "{\"number\":" + std::to_string(n) + ",\"name\":" + JsonString(s.memory.MemNames[n]) +
            ",\"value\":" + JsonNumber(value) +
            ",\"display\":" + JsonString(FormatSig(s.format, value)) + "}";
  }
  return json + "]";
}

}  // namespace

int RunConsole(const std::string& programFolder, const std::string& commandLine) {
  ConsolePlatform ui;
  if (commandLine == "clipboard") {
    const std::string input = ReadPipedInput(stdin);
    if (input.find_first_not_of(" \t\r\n") == std::string::npos) {
      std::fprintf(stderr,
                   "ostravel clipboard: nothing to calculate: without a display the clipboard "
                   "is standard input, as in: echo '2*3' | ostravel clipboard\n");
      return 1;
    }
    ui.SetClipboardText(input);
  }
  Session s(ui);
  s.db.ProgramFolder = programFolder;
  const StartResult result = Form_Load(s, commandLine);
  if (!result.ShowWindow) {
    if (commandLine == "clipboard" && result.ExitCode == 0)
      std::cout << ToUtf8(ui.ClipboardText()) << std::endl;
    return result.ExitCode;
  }
  if (commandLine == "HTML") return result.ExitCode;  // the pages are written; nothing else to do
  return RunLineByLine(s, ui);
}

int RunExplain(const std::string& programFolder, const std::string& formula) {
  ConsolePlatform ui;
  Session s(ui);
  s.db.ProgramFolder = programFolder;
  Form_Load(s, "");
  try {
    std::cout << ToUtf8(FormulaReadingText(ExplainFormula(s, formula))) << std::flush;
    return 0;
  } catch (const RunFailure& failure) {
    ShowEvalError(s, failure.kind());
    return 1;
  }
}

int RunJson(const std::string& programFolder, const std::string& line) {
  CollectingPlatform ui;
  Session s(ui);
  s.db.ProgramFolder = programFolder;
  Form_Load(s, "");
  // As a one-shot calculation, with the run's messages kept for the answer.
  ui.collecting = true;
  s.flags.Unattended = true;
  s.window.entryline.Text = line;
  DoCalculations(s);
  std::string json = "{";
  if (s.calc.RunErrors > 0) {
    // The failure that ended the run, or else the last message (an unknown constant).
    const std::string& error =
        !s.engine.EvalError.empty() || ui.errors.empty() ? s.engine.EvalError : ui.errors.back();
    json += "\"error\":" + JsonString(error) + ",";
  }
  json += "\"lines\":" + MemoryLinesJson(s) + "}";
  std::cout << json << std::endl;
  return s.calc.RunErrors > 0 ? 1 : 0;
}

}  // namespace ostravel
