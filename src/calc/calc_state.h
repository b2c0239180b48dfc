// The run state of the calculation driver.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace ostravel {

// The value of XValue that means "the solver produced no answer".
inline constexpr double kNoValue = 9.9E+99;

struct CalcState {
  std::string ResultLabel;  // the calculation as typed; the name its result is stored under
  std::string PieceText;    // the calculation as typed (trimmed), named in messages
  std::string CalcText;     // the calculation as it is rewritten by term expansion
  std::string CalcKind;     // "Calc", "Form", "Mem", "Done" or "error"
  std::string FormulaText;  // the formula whose mass is computed when CalcKind is "Form"
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
  // The time by which the run must end, and the message it then ends with (calc/time_limit.h);
  // no limit by default.
  using Clock = std::chrono::steady_clock;
  Clock::time_point Deadline = Clock::time_point::max();
  std::string DeadlineMessage;
};

}  // namespace ostravel
