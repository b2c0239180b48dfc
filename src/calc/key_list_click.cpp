#include "calc/key_list_click.h"

#include <algorithm>

#include "calc/calculation_driver.h"
#include "database/ini_access.h"
#include "database/ini_file_switch.h"
#include "database/key_lists.h"
#include "runtime/text_case.h"
#include "session/session.h"

namespace ostravel {
namespace {

// The key of a line "prefix key  (description)".
std::string KeyOfLine(const std::string& line, const std::string& tag) {
  std::string key = TrimBlanks(std::string_view(line).substr(std::min(tag.size(), line.size())));
  const auto description = key.find("  (");
  if (description != std::string::npos) key.resize(description);
  return key;
}

}  // namespace

void lstKey_Click(Session& s) {
  const auto& lstKey = s.window.lstKey;
  if (lstKey.ListIndex < 0 || lstKey.ListIndex >= static_cast<int>(lstKey.Items.size())) return;
  const std::string key =
      KeyOfLine(lstKey.Items[static_cast<std::size_t>(lstKey.ListIndex)], lstKey.Tag);
  auto& entry = s.window.entryline;
  const int length = static_cast<int>(entry.Text.size());
  const int caret = std::clamp(entry.SelStart, 0, length);
  const int selected = std::clamp(entry.SelLength, 0, length - caret);

  if (s.lists.CurType == "Examples") {
    // A line that is still running keeps its entry line; the driver would refuse anyway.
    if (s.calc.Running) {
      s.ui.Beep();
      return;
    }
    entry = TextBoxModel{IniGetEntry(s, "Examples", s.lists.CurCategory, key), 0, 0};
    s.ui.Changed(Control::EntryLine);
    s.ui.SetFocus(Control::EntryLine);
    int enter = kEnterKey;
    entryline_KeyPress(s, enter);
    return;
  }

  std::string insert;
  if (s.flags.AbbrevConstants) {
    insert = "<" + lstKey.Tag + key + ">";
  } else {
    const IniFileSwitch toFile(
        s, s.lists.CurType == "Contributed" ? s.db.ContribIniFile : s.db.IniFile);
    insert = "(" + IniGetEntry(s, s.lists.CurType, s.lists.CurCategory, key) + ")";
  }
  entry.Text = entry.Text.substr(0, static_cast<std::size_t>(caret)) + insert +
               entry.Text.substr(static_cast<std::size_t>(caret + selected));
  entry.SelStart = static_cast<int>(entry.Text.size());
  entry.SelLength = 0;
  s.ui.Changed(Control::EntryLine);
  s.ui.SetFocus(Control::EntryLine);
}

}  // namespace ostravel
