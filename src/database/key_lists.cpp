#include "database/key_lists.h"

#include <algorithm>

#include "database/ini_access.h"
#include "database/ini_file_switch.h"
#include "platform/wait_cursor_scope.h"
#include "runtime/text_case.h"
#include "session/session.h"

namespace ostravel {
namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto fold = [](char c) {
      const auto u = static_cast<unsigned char>(c);
      return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
    };
    return fold(x) < fold(y);
  });
}

// Makes the menu's loaded elements the categories of the list, in list order.
int FillMenu(MenuArrayModel& menu, std::string categories) {
  menu.Captions.clear();
  for (std::string c = PopListItem(categories); !c.empty(); c = PopListItem(categories)) {
    menu.Captions.push_back(std::move(c));
  }
  menu.Element0Visible = menu.Captions.empty();
  return static_cast<int>(menu.Captions.size());
}

// The caption of element index of a menu array; false when there is no such element.
bool Caption(const MenuArrayModel& menu, int index, std::string& caption) {
  if (index == 0) {
    caption.clear();
    return menu.Element0Visible;
  }
  if (index < 0 || index > static_cast<int>(menu.Captions.size())) return false;
  caption = menu.Captions[static_cast<std::size_t>(index - 1)];
  return true;
}

void ChooseCategory(Session& s, const MenuArrayModel& menu, int index, const char* type,
                    const std::string& file) {
  std::string category;
  if (!Caption(menu, index, category)) return;
  s.lists.CurType = type;
  s.lists.CurCategory = std::move(category);
  const IniFileSwitch toFile(s, file);
  ShowCategory(s);
}

}  // namespace

void AddSortedItem(ListModel& list, std::string item) {
  const auto at = std::upper_bound(list.Items.begin(), list.Items.end(), item, LessIgnoringCase);
  list.Items.insert(at, std::move(item));
}

void LoadLists(Session& s) {
  auto& db = s.db;
  auto& lists = s.lists;
  db.IniFile = db.MainIniFile;
  lists.RadicalKeys = kNul + IniGetKeys(s, "Constants-Radicals") + kNul;
  lists.RadicalSplit = static_cast<int>(lists.RadicalKeys.size());
  {
    const IniFileSwitch toContributed(s, db.ContribIniFile);
    lists.RadicalKeys += kNul + IniGetKeys(s, "Contributed-Radicals") + kNul;
  }

  lists.ConstCategories = IniGetKeys(s, "Constants") + kNul;
  lists.ConstCount = FillMenu(s.window.mnuConst, lists.ConstCategories);
  lists.ExampleCategories = IniGetKeys(s, "Examples") + kNul;
  lists.ExampleCount = FillMenu(s.window.mnuExp, lists.ExampleCategories);
  {
    const IniFileSwitch toContributed(s, db.ContribIniFile);
    lists.ContribCategories = IniGetKeys(s, "Contributed") + kNul;
  }
  lists.ContribCount = FillMenu(s.window.mnuMore, lists.ContribCategories);
  s.ui.Changed(Control::Menus);
}

void ShowCategory(Session& s) {
  auto& lstKey = s.window.lstKey;
  const auto& type = s.lists.CurType;
  const auto& category = s.lists.CurCategory;
  const WaitCursorScope waiting(s.window, s.ui);
  lstKey.Visible = false;
  s.ui.Changed(Control::KeyList);

  std::string keys = IniGetKeys(s, type + "-" + category) + kNul;
  lstKey.Items.clear();
  lstKey.ListIndex = -1;
  lstKey.TopIndex = 0;
  lstKey.Tag = IniGetEntry(s, type, "", category);
  for (std::string key = PopListItem(keys); !key.empty(); key = PopListItem(keys)) {
    std::string description;
    IniGetEntry(s, type, category, key, &description);
    std::string line = lstKey.Tag + " " + key;
    if (!description.empty() && description != key) line += "  (" + description + ")";
    AddSortedItem(lstKey, TrimBlanks(line));
  }

  lstKey.Visible = true;
  s.ui.Changed(Control::KeyList);
}

void mnuConst_Click(Session& s, int index) {
  ChooseCategory(s, s.window.mnuConst, index, "Constants", s.db.MainIniFile);
}

void mnuExp_Click(Session& s, int index) {
  ChooseCategory(s, s.window.mnuExp, index, "Examples", s.db.MainIniFile);
}

void mnuMore_Click(Session& s, int index) {
  ChooseCategory(s, s.window.mnuMore, index, "Contributed", s.db.ContribIniFile);
}

}  // namespace ostravel
