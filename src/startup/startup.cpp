#include "startup/startup.h"

#include "calc/calculation_driver.h"
#include "database/key_lists.h"
#include "database/settings.h"
#include "gateway/html_pages.h"
#include "runtime/conversions.h"
#include "session/session.h"

namespace ostravel {

double NewestResult(const Session& s, int memoryCountBefore) {
  // A one-shot run starts with no memory lines, so any line now present is the run's own.
  // (The result of a molar mass lives only in its memory line, not in XValue.)
  if (s.memory.MemoryCount != memoryCountBefore && s.memory.MemoryCount > 0)
    return s.memory.MemValues[s.memory.MemoryCount];
  return s.engine.XValue;
}

StartResult Form_Load(Session& s, const std::string& commandLine) {
  s.window.Caption = std::string(kAppTitle) + " " + "4.0";
  s.ui.Changed(Control::Caption);
  LoadSettings(s);
  ReportUnusableDatabase(s);
  LoadLists(s);

  StartResult result;
  if (commandLine == "HTML" && !MakeHtmlPages(s)) result.ExitCode = 1;
  if (commandLine == "" || commandLine == "DDE" || commandLine == "HTML") return result;

  // One calculation from the command line (or the clipboard), answered without the window.
  s.flags.Unattended = true;
  s.window.entryline.Text = commandLine == "clipboard" ? s.ui.ClipboardText() : commandLine;
  s.ui.Changed(Control::EntryLine);
  s.ui.ClearClipboard();
  const int before = s.memory.MemoryCount;
  DoCalculations(s);
  // A run that failed has said why; a result shown after that would be a number it never
  // computed.
  if (commandLine != "clipboard" && s.calc.RunErrors == 0) {
    s.ui.MessageBox(GeneralNumberText(NewestResult(s, before)), MessageIcon::None, kAppTitle);
  }
  result.ShowWindow = false;
  result.ExitCode = s.calc.RunErrors > 0 ? 1 : 0;
  return result;
}

}  // namespace ostravel
