// The run state of the calculation driver.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ostravel {

// What term expansion made of a piece of the entry line, and so how the driver computes it.
enum class CalcKind {
  None,   // not decided yet
  Calc,   // arithmetic, or an equation in x, for the engine or the solver
  Form,   // a chemical formula whose molar mass is the result
  Mem,    // the recall of a memory line
  Done,   // computed and stored while the terms were expanded
  Error,  // dropped with a message
};

// The kind's name for diagnostics (the fuzzers' and tests' reports).
constexpr std::string_view CalcKindName(CalcKind kind) {
  switch (kind) {
    case CalcKind::Calc:
      return "Calc";
    case CalcKind::Form:
      return "Form";
    case CalcKind::Mem:
      return "Mem";
    case CalcKind::Done:
      return "Done";
    case CalcKind::Error:
      return "error";
    case CalcKind::None:
      break;
  }
  return "";
}

struct CalcState {
  std::string ResultLabel;  // the calculation as typed; the name its result is stored under
  std::string PieceText;    // the calculation as typed (trimmed), named in messages
  std::string CalcText;     // the calculation as it is rewritten by term expansion
  ostravel::CalcKind CalcKind = ostravel::CalcKind::None;
  std::string FormulaText;  // the formula whose mass is computed when CalcKind is Form
  int ExpansionMark = 0;    // memory number of the last line made by term expansion
  int RunSigDigits = 0;     // SigDigits after the "#" directive of the current run
  bool TraceFlag = false;   // toggled by the "testing" directive
  std::string LogFileName;  // the trace file, "" when none is open
  bool Running = false;     // a line is being calculated; a second one must not start
  int AnswerMemory = 0;     // the memory line holding the last piece's answer, 0 when none
  int RunErrors = 0;        // failures and unknown constants met by the current run
  // Messages of the pieces the current run dropped while QuietMode kept them out of message
  // boxes (an unknown constant): the web answer shows them as the console would.
  std::vector<std::string> QuietMessages;
};

}  // namespace ostravel
