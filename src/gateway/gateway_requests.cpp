#include "gateway/gateway_requests.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <unordered_map>

#include "calc/calculation_driver.h"
#include "chemistry/reaction_equation.h"
#include "database/ini_access.h"
#include "engine/time_limit.h"
#include "gateway/contributions.h"
#include "gateway/html_pages.h"
#include "gateway/request_limits.h"
#include "gateway/text_utils.h"
#include "memory/memories.h"
#include "platform/wait_cursor_scope.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/file_io.h"
#include "runtime/number_format.h"
#include "runtime/replace_all.h"
#include "runtime/scoped_value.h"
#include "session/session.h"

namespace ostravel {
namespace {

const char* const kCrLf = "\r\n";

// The leading number of a text; fallback when it is beyond the double range.
double NumberOf(std::string_view text, double fallback = 0) {
  try {
    return LeadingNumber(text);
  } catch (const RunFailure&) {
    return fallback;
  }
}

bool HasField(const std::string& fields, std::string_view name) {
  return fields.find(kNul + std::string(name) + "=") != std::string::npos;
}

// The fields of a list by name, first one of a name winning, values trimmed: the same answers
// as GetField, for the many memory fields of a request without scanning the list each time.
std::unordered_map<std::string_view, std::string_view> IndexFields(std::string_view list) {
  std::unordered_map<std::string_view, std::string_view> index;
  for (std::size_t start = 0; start <= list.size();) {
    std::size_t end = std::min(list.find('\0', start), list.size());
    std::string_view field = list.substr(start, end - start);
    std::size_t eq = field.find('=');
    if (eq != std::string_view::npos && eq > 0) {
      std::string_view value = field.substr(eq + 1);
      std::size_t first = value.find_first_not_of(' ');
      value = first == std::string_view::npos
                  ? std::string_view()
                  : value.substr(first, value.find_last_not_of(' ') - first + 1);
      index.emplace(field.substr(0, eq), value);
    }
    start = end + 1;
  }
  return index;
}

double SecondsSinceMidnight() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const auto fraction = now - std::chrono::system_clock::from_time_t(t);
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
         std::chrono::duration<double>(fraction).count();
}

void SetTimer(Session& s, bool enabled) {
  s.window.Timer1Enabled = enabled;
  if (enabled) s.window.Timer1Interval = kLinkTimerInterval;
  s.ui.Changed(Control::Timer);
}

// Makes sure the notice labels 1..count exist; labels are never removed.
void EnsureLinkLabels(Session& s, int count) {
  if (static_cast<int>(s.window.lnkWWW.size()) <= count) {
    s.window.lnkWWW.resize(static_cast<std::size_t>(count) + 1);
    s.ui.Changed(Control::LinkLabels);
  }
}

// The calculations of a line as the driver runs them: the pieces between ";" before a
// comment, blank ones left out.
int CountCalculations(std::string_view line) {
  line = line.substr(0, line.find('\''));
  int count = 0;
  for (std::size_t start = 0; start <= line.size();) {
    const std::size_t end = std::min(line.find(';', start), line.size());
    if (line.substr(start, end - start).find_first_not_of(' ') != std::string_view::npos) ++count;
    start = end + 1;
  }
  return count;
}

// Runs the request's line, unless it holds more calculations than a request may.
void RunWebCalculations(Session& s, const std::string& calc) {
  s.calc.QuietMessages.clear();
  if (const int count = CountCalculations(calc); count > limits::kCalculations) {
    s.engine.EvalError = "This line holds " + std::to_string(count) +
                         " calculations; the web calculator takes at most " +
                         std::to_string(limits::kCalculations) +
                         " in one line. Nothing was calculated.";
    return;
  }
  const TimeLimit limit(s.engine, limits::kCalculationTime,
                        "The calculation took longer than the " +
                            std::to_string(limits::kCalculationTime.count()) +
                            " ms the web calculator allows and was stopped.");
  DoCalculations(s);
}

// One memory line of the answer page: label, value input and name input.
std::string MemoryLineHtml(Session& s, int i) {
  const std::string n = std::to_string(i);
  std::string line =
      FillPattern(FormatSig(s.format, s.memory.MemValues[i]),
                  "M" + n + ": <input type='text' name='M" + n + "' value='%%' size=20>");
  std::string name = s.memory.MemNames[i];
  if (name.empty()) name = " ";  // an empty value, not the pattern's "%%"
  line += FillPattern(name, " <input type='text' name='N" + n + "' value='%%' size=25><br>");
  return line + kCrLf;
}

}  // namespace

std::string RegisterFolderPath(const std::string& programFolder, std::string_view configured) {
  if (!configured.empty()) {
    std::string folder(configured);
    while (folder.size() > 1 && folder.back() == '/')
      folder.pop_back();
    return folder;
  }
  return programFolder + "/register";
}

bool OpenRegisterFolder(Session& s, const std::string& folder) {
  s.gateway.RegisterFolder = folder;
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return true;
  const std::filesystem::path path(folder);
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), error);
  if (::mkdir(folder.c_str(), 0700) != 0) return std::filesystem::is_directory(folder, error);
  return true;
}

bool LinkSlotNumber(std::string_view command, int& slot) {
  try {
    slot = ToInt16(LeadingNumber(command));
    return true;
  } catch (const RunFailure&) {
    return false;
  }
}

void Form_LinkExecute(Session& s, const std::string& command) {
  int n = 0;
  if (!LinkSlotNumber(command, n)) return;  // not a slot: refused, nothing queued
  GatewayState& g = s.gateway;
  if (std::abs(n) > g.LinkCount) {
    EnsureLinkLabels(s, std::abs(n));
    g.LinkCount = std::abs(n);
  }
  auto& queue = s.window.lstLink;
  if (n == 0) {
    queue.clear();
    g.LinkCount = 0;
    if (g.LinkBusy) g.LinkQueueReset = true;
  } else if (n > 0) {
    queue.push_back(command);
    // While a tick is at work its end arms the timer; arming it here would nest ticks.
    if (queue.size() == 1 && !g.LinkBusy) StartLinkTimer(s);
  }
}

bool Form_LinkWithdraw(Session& s, int slot, const std::string& id) {
  auto& queue = s.window.lstLink;
  // While a tick is at work the oldest command is the one being answered.
  for (auto it = queue.begin() + (s.gateway.LinkBusy && !queue.empty() ? 1 : 0); it != queue.end();
       ++it) {
    int n = 0;
    if (LinkSlotNumber(*it, n) && n == slot && GetField(UrlDecode(*it), "ID") == id) {
      queue.erase(it);
      return true;
    }
  }
  return false;
}

void StartLinkTimer(Session& s) {
  SetTimer(s, false);
  if (s.window.lstLink.empty()) return;
  SetTimer(s, true);
}

void Timer1_Timer(Session& s) {
  SetTimer(s, false);
  auto& queue = s.window.lstLink;
  if (queue.empty()) return;
  if (s.calc.Running) {
    // The tick came during a yield of a calculation typed into the window: the engine and
    // the memory lines belong to it. The command waits for the next tick.
    SetTimer(s, true);
    return;
  }
  const std::string command = queue.front();
  int n = 0;
  LinkSlotNumber(command, n);
  GatewayState& g = s.gateway;
  {
    const ScopedValue busy(g.LinkBusy, true);
    g.LinkQueueReset = false;
    std::string answerFile, id;
    PollLinkRequests(s, command, answerFile, id);
    if (n > 0) {
      EnsureLinkLabels(s, n);
      s.window.lnkWWW[static_cast<std::size_t>(n)] =
          LinkNotice(answerFile, id, SecondsSinceMidnight());
      s.ui.Changed(Control::LinkLabels);
    }
  }
  // A reset during the tick emptied the queue already; what is there now arrived after it.
  if (!g.LinkQueueReset && !queue.empty()) queue.pop_front();
  SetTimer(s, true);
}

void PollLinkRequests(Session& s, const std::string& command, std::string& answerFile,
                      std::string& id) {
  const WaitCursorScope waiting(s.window, s.ui);
  const std::string fields = UrlDecode(command);
  id = GetField(fields, "ID");
  std::string folder = s.gateway.RegisterFolder;
  if (folder.empty()) folder = RegisterFolderPath(s.db.ProgramFolder, "");
  answerFile = folder + "/linkr" + GeneralNumberText(NumberOf(fields)) + ".htm";
  // The old answer file is replaced by the new one, or removed when the command writes none,
  // so that no client ever takes another request's answer for its own.
  s.gateway.AnswerWritten = false;
  if (HasField(fields, "MODIFY")) {
    try {
      HandleModifyRequest(s, fields, answerFile);
    } catch (const std::exception&) {
      // No failure stops the gateway; the client finds no answer file.
    }
  } else if (HasField(fields, "CALC")) {
    try {
      AnswerWebCalc(s, fields, answerFile);
    } catch (const std::exception&) {
      // No failure stops the gateway; the client finds no answer file.
    }
  }
  if (!s.gateway.AnswerWritten) {
    std::error_code ignored;
    std::filesystem::remove(answerFile, ignored);
  }
}

void WriteAnswerFile(Session& s, const std::string& answerFile, std::string_view page) {
  s.gateway.AnswerWritten = ReplaceFileKeepingSpare(answerFile, page);
}

void AnswerWebCalc(Session& s, const std::string& fields, const std::string& answerFile) {
  EngineState& e = s.engine;
  MemoryState& m = s.memory;
  e.XValue = NumberOf(GetField(fields, "x"));
  s.window.txtX.Caption = GeneralNumberText(e.XValue);
  s.ui.Changed(Control::Labels);
  const std::string calc = GetField(fields, "CALC");

  s.format.SigDigits = 6;
  if (HasField(fields, "nsig")) {
    try {
      s.format.SigDigits = ToInt16(NumberOf(GetField(fields, "nsig")));
    } catch (const RunFailure&) {
      // A count beyond the 16-bit range keeps the default.
    }
  }
  SetSigFormat(s.format);

  // At most 1000 memory lines, and never fewer than none.
  const double sent = RoundHalfEven(NumberOf(GetField(fields, "NM")));
  const int count = static_cast<int>(std::clamp(sent, 0.0, static_cast<double>(kMaxMemories)));
  s.window.memories.Items.clear();
  m.MemoryCount = 0;
  s.ui.Changed(Control::Memories);
  const auto index = IndexFields(fields);
  auto field = [&index](const std::string& name) {
    auto it = index.find(name);
    return it == index.end() ? std::string() : std::string(it->second);
  };
  for (int i = 1; i <= count; ++i) {
    const std::string n = std::to_string(i);
    StoreMemory(s, NumberOf(field("M" + n)), field("N" + n), false);
  }
  m.MemoryCount = count;

  const int requested = s.format.SigDigits;
  s.calc.RunSigDigits = s.format.SigDigits;

  // The button Balance sends BAL=1: the equation in EQ is balanced instead of the line being
  // calculated, and the memory lines of the request stay as they came.
  const std::string equation = GetField(fields, "EQ");
  std::string balanced;
  if (GetField(fields, "BAL") == "1") {
    e.EvalError.clear();
    try {
      balanced = BalanceEquation(s, equation);
    } catch (const RunFailure& failure) {
      if (e.EvalError.empty()) e.EvalError = failure.what();
    }
  } else {
    const ScopedValue unattended(s.flags.Unattended, true);
    s.window.entryline.Text = calc;
    s.ui.Changed(Control::EntryLine);
    const ScopedValue quiet(s.flags.QuietMode, true);
    RunWebCalculations(s, calc);
  }

  s.format.SigDigits = s.calc.RunSigDigits;
  SetSigFormat(s.format);

  // Newest first; the newest with the digits in force after the run, the others with the
  // digits of the request.
  std::string smem;
  for (int i = m.MemoryCount; i >= 1; --i) {
    smem += MemoryLineHtml(s, i);
    if (i == m.MemoryCount) {
      s.format.SigDigits = requested;
      SetSigFormat(s.format);
    }
  }

  // The line and the error text come from the request: both are written as text.
  std::string answer = kNul + "scalc=" + HtmlText(calc);
  // The messages the console would have shown: pieces dropped on the way (an unknown
  // constant), then the failure that ended the line.
  std::string errors;
  for (const std::string& message : s.calc.QuietMessages)
    errors += "Error: " + HtmlText(message) + "<br>";
  if (!e.EvalError.empty()) errors += "Error: " + HtmlText(e.EvalError) + "<br>";
  if (!errors.empty()) answer += kNul + "err= " + errors;
  answer += kNul + "x=" + GeneralNumberText(e.XValue);
  if (e.FxAbs != 0) answer += kNul + "e= err = " + GeneralNumberText(e.FxAbs);
  answer += kNul + "nsig=" + std::to_string(s.format.SigDigits);
  answer += kNul + "nmem=" + std::to_string(m.MemoryCount);
  answer += kNul + "smem=" + smem;
  answer += kNul + "seq=" + HtmlText(equation);
  if (!balanced.empty()) {
    std::string lines = HtmlText(balanced);
    ReplaceAll(lines, "\n", "<br>");
    answer += kNul + "sbal=" + lines;
  }
  answer += kNul;
  const std::string page = ReadTemplate(s.ui, s.db.ProgramFolder + "/tolvane.ht_", answer) + kCrLf;
  WriteAnswerFile(s, answerFile, page);
}

std::string LinkNotice(const std::string& answerFile, const std::string& id, double seconds) {
  return answerFile + "," + GeneralNumberText(NumberOf(id)) + "," + SinglePrecisionText(seconds);
}

std::string SinglePrecisionText(double value) {
  return GeneralNumberText(static_cast<float>(value), 7);
}

}  // namespace ostravel
