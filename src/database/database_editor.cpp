#include "database/database_editor.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "database/entry_rules.h"
#include "database/ini_access.h"
#include "database/key_lists.h"
#include "platform/wait_cursor_scope.h"
#include "runtime/failure.h"
#include "runtime/file_io.h"
#include "runtime/text_case.h"
#include "session/session.h"

namespace ostravel {
namespace {

constexpr const char* kConstantTabs = "85, 160, 250, 300, 400";
constexpr const char* kOtherTabs = "85, 159, 160, 250, 400";

bool EqualNoCase(const std::string& a, const std::string& b) {
  return AsciiUpper(a) == AsciiUpper(b);
}

std::string ProgramFile(const Session& s, const char* name) {
  return (std::filesystem::path(s.db.ProgramFolder) / name).string();
}

void Notify(Session& s) {
  s.ui.Changed(Control::ModifyWindow);
}

// The key, value and description of a list line (missing parts are empty).
struct EntryParts {
  std::string key, value, description;
};

EntryParts SplitLine(std::string text) {
  text += "\t\t\t";
  EntryParts parts;
  std::string* fields[] = {&parts.key, &parts.value, &parts.description};
  for (std::string* field : fields) {
    std::size_t tab = text.find('\t');
    *field = text.substr(0, tab);
    text.erase(0, tab + 1);
  }
  return parts;
}

const std::string* LineAt(const ListModel& list, int index) {
  if (index < 0 || index >= static_cast<int>(list.Items.size())) return nullptr;
  return &list.Items[index];
}

// Points the access routines at the file that holds the entries of the type shown, and on
// every way out at the main database file, which the editor shows from its first write on.
class EntryFileScope {
 public:
  explicit EntryFileScope(Session& s) : s_(s) {
    s.db.IniFile = s.lists.CurType == "Contributed" ? s.db.ContribIniFile : s.modify.SavedIniFile;
  }
  ~EntryFileScope() { s_.db.IniFile = s_.modify.SavedIniFile; }
  EntryFileScope(const EntryFileScope&) = delete;
  EntryFileScope& operator=(const EntryFileScope&) = delete;

 private:
  Session& s_;
};

// Adds a line to the sorted list and returns its index: a line goes after every line that is
// not greater, so the last exact copy of it is the one just added.
int AddLine(ListModel& list, const std::string& line) {
  AddSortedItem(list, line);
  for (int i = static_cast<int>(list.Items.size()) - 1; i >= 0; --i)
    if (list.Items[i] == line) return i;
  return -1;
}

void SelectLine(Session& s, int index) {
  s.modify.lstINFO.ListIndex = index;
  frmModify::lstINFO_Click(s);
}

std::string CreatedKey(const std::string& type, const std::string& category) {
  return type + '\0' + category;
}

// A category created in this editor is listed in its type section with an empty prefix once
// it holds an entry, so that the menus and the constant search find it.
void RegisterCreatedCategory(Session& s) {
  FrmModifyModel& w = s.modify;
  const std::string key = CreatedKey(s.lists.CurType, s.lists.CurCategory);
  auto created = std::find(w.CreatedCategories.begin(), w.CreatedCategories.end(), key);
  if (created == w.CreatedCategories.end()) return;
  std::string categories = IniGetKeys(s, s.lists.CurType) + kNul;
  for (std::string item = PopListItem(categories); !item.empty(); item = PopListItem(categories)) {
    if (EqualNoCase(TrimBlanks(item), s.lists.CurCategory)) {
      w.CreatedCategories.erase(created);
      return;
    }
  }
  IniPutEntry(s, s.lists.CurType, "", s.lists.CurCategory, "");
  w.CreatedCategories.erase(created);
}

// Categories become INI section names: they must not be empty nor hold the characters that
// end a section name or split a key from its value.
bool ValidCategoryName(const std::string& name) {
  return !name.empty() && name.find_first_of("[]=") == std::string::npos &&
         name.find('\0') == std::string::npos;
}

void Warn(Session& s, const std::string& text) {
  s.ui.MessageBox(text, MessageIcon::Exclamation, frmModify::kTitle);
}

std::string SectionOfShownCategory(const Session& s) {
  return s.lists.CurType + "-" + s.lists.CurCategory;
}

// A change refused before or while writing: the message says why; the fields keep what the
// user typed, and the focus goes to the field to mend.
void RefuseEdit(Session& s, const std::string& message, ModifyControl field) {
  Warn(s, message);
  s.modify.EditRefused = true;
  s.modify.FocusRequest = field;
  Notify(s);
}

// The reason of the last failed write, for a message.
std::string WriteFailure(Session& s) {
  const std::string& reason = s.db.Profiles.LastError();
  return reason.empty() ? s.db.IniFile + " cannot be written" : reason;
}

bool RefusedAsReadOnly(Session& s) {
  if (!s.modify.ReadOnly) return false;
  Warn(s, "The database cannot be changed: " + s.modify.ReadOnlyReason + ".");
  return true;
}

// The list index of the line whose key names the same entry as key (keys match without regard
// to case), other than line skip; -1 when none.
int OtherLineWithKey(const ListModel& list, const std::string& key, int skip) {
  for (int i = 1; i < static_cast<int>(list.Items.size()); ++i) {
    if (i != skip && EqualNoCase(SplitLine(list.Items[i]).key, key)) return i;
  }
  return -1;
}

void RemoveLine(ListModel& list, int index) {
  list.Items.erase(list.Items.begin() + index);
  if (list.ListIndex == index) list.ListIndex = -1;
  if (list.ListIndex > index) --list.ListIndex;
}

}  // namespace

namespace frmModify {

void Form_Load(Session& s) {
  FrmModifyModel& w = s.modify;
  w = FrmModifyModel{};
  w.Loaded = true;
  w.SavedIniFile = s.db.IniFile;
  w.ReadOnlyReason = ProfileStore::WriteProblem(w.SavedIniFile);
  w.ReadOnly = !w.ReadOnlyReason.empty();
  if (w.ReadOnly) w.Caption = std::string(kTitle) + " (read-only)";
  // The editor shows a copy of the file as it was when it opened. Where no copy can be made
  // it shows the file itself: never an empty list, nor an old copy lying there.
  if (!w.ReadOnly) {
    // The copy is replaced in one step, so it is never half written. Not synced: it is made
    // anew each time the editor opens, and the file it shows stays the original. It is as
    // private as the original.
    const std::string copy = ProgramFile(s, kCopyName);
    std::string bytes;
    struct stat original;
    if (::stat(w.SavedIniFile.c_str(), &original) == 0 && ReadAll(w.SavedIniFile, bytes)) {
      AtomicWrite how(Durability::Atomic);
      how.mode = original.st_mode & 0777;
      if (WriteFileAtomically(copy, bytes, how)) s.db.IniFile = copy;
    }
  }
  Notify(s);
  FillCategoryCombo(s, 0);
  if (w.ReadOnly) {
    Warn(s, "The database cannot be changed: " + w.ReadOnlyReason +
                ". Its entries are shown, but nothing can be saved.");
  }
}

void Form_Unload(Session& s) {
  FrmModifyModel& w = s.modify;
  if (!w.Loaded) return;
  s.db.IniFile = w.SavedIniFile;
  w.Loaded = false;
  Notify(s);
}

void FillCategoryCombo(Session& s, int which) {
  FrmModifyModel& w = s.modify;
  if (which == 0) {
    ComboModel& type = w.cmbCategory[0];
    type.Items = {"Examples", "Constants"};
    type.ListIndex = 1;
    type.Text = type.Items[1];
    Notify(s);
    cmbCategory_Click(s, 0);
    return;
  }
  ComboModel& category = w.cmbCategory[1];
  category.Items = {"<NEW>"};
  const std::string& type = w.cmbCategory[0].Text;
  const MenuArrayModel* menu = nullptr;
  int count = 0;
  if (type == "Examples") {
    menu = &s.window.mnuExp;
    count = s.lists.ExampleCount;
  } else if (type == "Constants") {
    menu = &s.window.mnuConst;
    count = s.lists.ConstCount;
  }
  if (menu != nullptr) {
    count = std::min(count, static_cast<int>(menu->Captions.size()));
    category.Items.insert(category.Items.end(), menu->Captions.begin(),
                          menu->Captions.begin() + count);
  }
  // The first category; "<NEW>" when the type has none yet.
  category.ListIndex = category.Items.size() > 1 ? 1 : 0;
  category.Text = category.Items[category.ListIndex];
  category.Visible = true;
  Notify(s);
  cmbCategory_Click(s, 1);
}

void cmbCategory_Click(Session& s, int index) {
  FrmModifyModel& w = s.modify;
  if (index == 0) {
    FillCategoryCombo(s, 1);
    return;
  }
  s.lists.CurType = w.cmbCategory[0].Text;
  s.lists.CurCategory = w.cmbCategory[1].Text;
  ShowEntries(s);
  SelectLine(s, 0);
}

void cmbCategory_KeyPress(Session& s, int index, int& key) {
  if (key != kEnterKey) return;
  key = 0;
  if (index != 1) return;
  FrmModifyModel& w = s.modify;
  ComboModel& combo = w.cmbCategory[1];
  const std::string* selected = nullptr;
  if (combo.ListIndex >= 0 && combo.ListIndex < static_cast<int>(combo.Items.size()))
    selected = &combo.Items[combo.ListIndex];
  if (selected != nullptr && combo.Text == *selected) return;

  const std::string wanted = AsciiUpper(TrimBlanks(combo.Text));
  for (std::size_t i = 0; i < combo.Items.size(); ++i) {
    if (AsciiUpper(TrimBlanks(combo.Items[i])) == wanted) {
      combo.ListIndex = static_cast<int>(i);
      combo.Text = combo.Items[i];
      Notify(s);
      cmbCategory_Click(s, 1);
      return;
    }
  }
  const std::string name = TrimBlanks(combo.Text);
  if (RefusedAsReadOnly(s)) return;
  if (!ValidCategoryName(name)) {
    s.ui.MessageBox("A category name must not be empty nor contain \"[\", \"]\" or \"=\".",
                    MessageIcon::Exclamation, kTitle);
    return;
  }
  const std::string& type = w.cmbCategory[0].Text;
  if (!s.ui.AskYesNo("Do you want to create a new category of " + type + "?", kTitle)) return;
  combo.Items.push_back(name);
  combo.ListIndex = static_cast<int>(combo.Items.size()) - 1;
  combo.Text = name;
  w.CreatedCategories.push_back(CreatedKey(type, name));
  Notify(s);
  cmbCategory_Click(s, 1);
}

void ShowEntries(Session& s) {
  FrmModifyModel& w = s.modify;
  const WaitCursorScope waiting(s.window, s.ui);
  ListModel& list = w.lstINFO;
  list.Items.clear();
  list.ListIndex = -1;
  list.TopIndex = 0;
  SetListTabs(s, list, Control::ModifyWindow,
              s.lists.CurType == "Constants" ? kConstantTabs : kOtherTabs);
  std::string keys = IniGetKeys(s, s.lists.CurType + "-" + s.lists.CurCategory) + kNul;
  for (std::string key = PopListItem(keys); !key.empty(); key = PopListItem(keys)) {
    std::string description;
    // The whole value: an edit of another field must not write back a shortened one.
    std::string value =
        IniGetWholeEntry(s, s.lists.CurType, s.lists.CurCategory, key, &description);
    AddLine(list, key + "\t" + value + "\t" + description);
  }
  w.txtINFO = {};
  w.EditRefused = false;
  AddLine(list, "");
  Notify(s);
}

void lstINFO_Click(Session& s) {
  FrmModifyModel& w = s.modify;
  if (w.EditRefused) {
    // The refused edit stays in the fields, and the list keeps showing its line.
    w.lstINFO.ListIndex = w.txtINFO0_Tag;
    Notify(s);
    return;
  }
  const std::string* line = LineAt(w.lstINFO, w.lstINFO.ListIndex);
  if (line == nullptr) return;
  SplitEntryLine(s, *line + "\t\t\t");
  w.txtINFO0_Tag = w.lstINFO.ListIndex;
  Notify(s);
}

void lstINFO_KeyDown(Session&, int& key) {
  key = 0;
}

void SplitEntryLine(Session& s, const std::string& text) {
  EntryParts parts = SplitLine(text);
  s.modify.txtINFO = {parts.key, parts.value, parts.description};
  Notify(s);
}

void txtINFO_KeyPress(Session& s, int index, int& key) {
  FrmModifyModel& w = s.modify;
  if (key == kEscapeKey) {
    // Esc gives up the edit: the fields show the line being edited again.
    const std::string* line = LineAt(w.lstINFO, w.txtINFO0_Tag);
    const EntryParts shown = SplitLine(line == nullptr ? std::string() : *line);
    const std::array<std::string, 3> committed{shown.key, shown.value, shown.description};
    if (w.txtINFO == committed && !w.EditRefused) return;  // nothing to give up
    key = 0;
    w.txtINFO = committed;
    w.EditRefused = false;
    w.lstINFO.ListIndex = line == nullptr ? -1 : w.txtINFO0_Tag;
    Notify(s);
    return;
  }
  if (key != kEnterKey) return;
  key = 0;
  if (index == 0) {
    s.modify.FocusRequest = ModifyControl::txtINFO1;
    Notify(s);
    return;
  }
  txtINFO_LostFocus(s, index);
  // After Enter the next entry starts in the key field; a refused entry keeps its field.
  if (!w.EditRefused) {
    w.FocusRequest = ModifyControl::txtINFO0;
    Notify(s);
  }
}

void txtINFO_LostFocus(Session& s, int) {
  FrmModifyModel& w = s.modify;
  if (!w.Loaded) return;
  ListModel& list = w.lstINFO;
  // A tag that no longer names a line (it cannot after the mended Delete) counts as a new entry.
  int n = LineAt(list, w.txtINFO0_Tag) != nullptr ? w.txtINFO0_Tag : 0;
  const EntryParts old = SplitLine(list.Items.empty() ? std::string() : list.Items[n]);

  for (std::string& field : w.txtINFO)
    field = TrimBlanks(field);
  Notify(s);
  // Copies: the fields may change while a question below is open.
  const std::string key = w.txtINFO[0];
  const std::string value = w.txtINFO[1];
  const std::string description = w.txtINFO[2];
  if (key.empty() || value.empty()) return;
  if (key == old.key && value == old.value && description == old.description) {
    w.EditRefused = false;
    return;
  }
  if (w.ReadOnly) {
    RefuseEdit(s, "The database cannot be changed: " + w.ReadOnlyReason + ".",
               ModifyControl::txtINFO0);
    return;
  }
  if (key != old.key) {
    if (std::string problem = KeyProblem(s.lists.CurType, key); !problem.empty()) {
      RefuseEdit(s, problem, ModifyControl::txtINFO0);
      return;
    }
  }
  if (std::string problem = EntryProblem(value, description); !problem.empty()) {
    RefuseEdit(s, problem, ModifyControl::txtINFO1);
    return;
  }
  // Keys match without regard to case: another line of the same key is the same entry, and
  // writing would replace it.
  std::string replacedKey;  // the spelling in the file of the entry the write replaces
  if (const int other = OtherLineWithKey(list, key, n); other >= 0) {
    replacedKey = SplitLine(list.Items[other]).key;
    if (!s.ui.AskYesNo(replacedKey + " is in this category already. Do you want to replace it?",
                       kTitle)) {
      w.EditRefused = true;
      w.FocusRequest = ModifyControl::txtINFO0;
      Notify(s);
      return;
    }
  }
  bool replace = true;
  if (n != 0 && key != old.key) {
    replace = s.ui.AskYesNo("Do you want to replace " + old.key + " with " + key + "?", kTitle);
  }
  // A change of case only names the same entry: Yes writes the new spelling, No keeps the old.
  const bool sameEntry = n != 0 && EqualNoCase(old.key, key);
  const std::string newKey = sameEntry && !replace ? old.key : key;
  if (sameEntry) replacedKey = old.key;
  if (newKey == old.key && value == old.value && description == old.description) {
    w.txtINFO[0] = old.key;
    w.EditRefused = false;
    Notify(s);
    return;
  }

  const std::string section = SectionOfShownCategory(s);
  const std::string entry = description.empty() ? value : value + "|" + description;
  std::vector<IniEdit> edits;
  // The file keeps a key as it spells it: a new spelling replaces the old one.
  if (!replacedKey.empty() && replacedKey != newKey) edits.push_back({section, replacedKey, kNul});
  edits.push_back({section, newKey, entry});
  if (n != 0 && replace && !sameEntry) edits.push_back({section, old.key, kNul});
  std::string failure;
  const bool written = [&] {
    const EntryFileScope toEntries(s);
    // The new entry and the removal of the old key in one write: a rename is never half done.
    if (!IniPutEntries(s, edits)) {
      failure = WriteFailure(s);
      return false;
    }
    RunStep([&] { RegisterCreatedCategory(s); });
    return true;
  }();
  if (!written) {
    RefuseEdit(s, "The entry could not be saved: " + failure + ".", ModifyControl::txtINFO0);
    return;
  }

  // The list shows what the file now holds: the edited line goes when its entry was replaced
  // or respelled, and so does any other line of the key just written.
  if (n != 0 && (replace || sameEntry)) RemoveLine(list, n);
  for (int other = OtherLineWithKey(list, newKey, -1); other >= 0;
       other = OtherLineWithKey(list, newKey, -1)) {
    RemoveLine(list, other);
  }
  int added = AddLine(list, newKey + "\t" + value + "\t" + description);
  if (list.Items.front() != "") {
    AddLine(list, "");
    ++added;
  }
  w.EditRefused = false;
  SelectLine(s, added);
}

void RefuseEntry(Session& s, const std::string& message, ModifyControl field) {
  RefuseEdit(s, message, field);
}

void Command1_Click(Session& s, ModifyButton button) {
  FrmModifyModel& w = s.modify;
  ListModel& list = w.lstINFO;
  switch (button) {
    case ModifyButton::Save:
    case ModifyButton::Cancel:
      w.CloseRequested = true;
      Notify(s);
      break;
    case ModifyButton::Delete: {
      const std::string* line = LineAt(list, list.ListIndex);
      if (line == nullptr || line->empty()) return;
      if (RefusedAsReadOnly(s)) return;
      // The key of the selected line: the field may hold an edit that was never committed.
      const std::string key = SplitLine(*line).key;
      std::string failure;
      const bool deleted = [&] {
        const EntryFileScope toEntries(s);
        if (IniPutEntry(s, s.lists.CurType, s.lists.CurCategory, key, kNul)) return true;
        failure = WriteFailure(s);
        return false;
      }();
      if (!deleted) {
        Warn(s, key + " could not be deleted: " + failure + ".");
        return;
      }
      list.Items.erase(list.Items.begin() + list.ListIndex);
      w.EditRefused = false;
      // The fields would still show the deleted entry with a stale line index; a later commit
      // would then ask to replace the next line by it. Start a new entry instead.
      SelectLine(s, 0);
      w.FocusRequest = ModifyControl::txtINFO0;
      Notify(s);
      break;
    }
    case ModifyButton::OK:
      SelectLine(s, 0);
      w.FocusRequest = ModifyControl::txtINFO0;
      Notify(s);
      break;
  }
}

void mnuSave_Click(Session& s) {
  Command1_Click(s, ModifyButton::Save);
}

void mnuCancel_Click(Session& s) {
  Command1_Click(s, ModifyButton::Cancel);
}

}  // namespace frmModify
}  // namespace ostravel
