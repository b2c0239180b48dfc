#include "memory/memories.h"

#include <algorithm>

#include "runtime/number_format.h"
#include "session/session.h"

namespace ostravel {
namespace {

// The selected line of `memories`, or nullptr when none is selected.
const std::string* SelectedLine(const Session& s) {
  const ListModel& list = s.window.memories;
  if (list.ListIndex < 0 || list.ListIndex >= static_cast<int>(list.Items.size())) return nullptr;
  return &list.Items[list.ListIndex];
}

}  // namespace

void StoreMemory(Session& s, double value, const std::string& name, bool show) {
  MemoryState& memory = s.memory;
  // A count outside 1..999 (only a corrupt request could set one) also restarts at 1.
  memory.MemoryCount =
      memory.MemoryCount >= 1 && memory.MemoryCount < kMaxMemories ? memory.MemoryCount + 1 : 1;
  memory.MemValues[memory.MemoryCount] = value;
  memory.MemNames[memory.MemoryCount] = name;

  const std::string formatted = FormatSig(s.format, value);
  ListModel& list = s.window.memories;
  list.Items.insert(list.Items.begin(),
                    "M" + std::to_string(memory.MemoryCount) + ": " + formatted + "\t" + name);
  if (list.ListIndex >= 0) ++list.ListIndex;  // the selection stays on its line
  s.ui.Changed(Control::Memories);
  if (!show) return;

  ScrollToTop(s);
  TextBoxModel& entry = s.window.entryline;
  entry.Text = name;
  entry.SelStart = static_cast<int>(std::min(s.calc.ResultLabel.size(), name.size()));
  entry.SelLength = 0;
  s.ui.Changed(Control::EntryLine);
  CopyToClipboard(s, formatted);
}

void ScrollToTop(Session& s) {
  s.window.memories.TopIndex = 0;
  s.ui.Changed(Control::Memories);
}

int FindMemoryName(const Session& s, std::string_view name) {
  const MemoryState& memory = s.memory;
  const int last = std::min(memory.MemoryCount, kMaxMemories);
  for (int n = std::max(memory.NameSearchStart, 0); n <= last; ++n) {
    if (memory.MemNames[n] == name) return n;
  }
  return 0;
}

void CopyToClipboard(Session& s, const std::string& text) {
  if (s.flags.QuietMode) return;
  s.ui.ClearClipboard();
  s.ui.SetClipboardText(text);
  s.window.lblClip.Caption = "Clipboard now: " + text;
  s.window.lblClip.Visible = true;
  s.ui.Changed(Control::Labels);
}

void ResetMemories(Session& s) {
  s.memory.MemoryCount = 0;
  ListModel& list = s.window.memories;
  list.Items.clear();
  list.ListIndex = -1;
  list.TopIndex = 0;
  s.ui.Changed(Control::Memories);
  s.window.entryline = TextBoxModel{};
  s.ui.Changed(Control::EntryLine);
  s.ui.SetFocus(Control::EntryLine);
}

void memories_Click(Session& s) {
  const std::string* line = SelectedLine(s);
  if (line == nullptr) return;
  // Every line starts with "Mn:"; a name may hold colons of its own further on.
  const std::string reference = "(" + line->substr(0, line->find(':')) + ")";

  TextBoxModel& entry = s.window.entryline;
  const int size = static_cast<int>(entry.Text.size());
  const int start = std::clamp(entry.SelStart, 0, size);
  const int length = std::clamp(entry.SelLength, 0, size - start);
  entry.Text.replace(start, length, reference);
  entry.SelStart = static_cast<int>(entry.Text.size());
  entry.SelLength = 0;
  s.ui.Changed(Control::EntryLine);
  s.ui.SetFocus(Control::EntryLine);
}

void memories_DblClick(Session& s) {
  const std::string* line = SelectedLine(s);
  if (line == nullptr) return;
  const std::size_t colon = line->find(": ");
  const std::size_t tab = colon == std::string::npos ? colon : line->find('\t', colon + 2);
  if (tab == std::string::npos) return;
  std::string name = line->substr(tab + 1);
  name.erase(0, name.find_first_not_of(' '));

  TextBoxModel& entry = s.window.entryline;
  entry.Text = std::move(name);
  entry.SelStart = 0;
  entry.SelLength = static_cast<int>(entry.Text.size());
  s.ui.Changed(Control::EntryLine);
  s.ui.SetFocus(Control::EntryLine);
}

std::string MemoryLineValue(const std::string& line) {
  const std::size_t colon = line.find(": ");
  if (colon == std::string::npos) return {};
  const std::size_t tab = line.find('\t', colon + 2);
  return line.substr(colon + 2, tab == std::string::npos ? std::string::npos : tab - colon - 2);
}

void CopyMemoryValue(Session& s) {
  const std::string* line = SelectedLine(s);
  if (line == nullptr) return;
  const std::string value = MemoryLineValue(*line);
  if (!value.empty()) CopyToClipboard(s, value);
}

void CopyMemoryLine(Session& s) {
  if (const std::string* line = SelectedLine(s)) CopyToClipboard(s, *line);
}

}  // namespace ostravel
