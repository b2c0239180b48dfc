// The state of the controls that the program's logic reads and changes. The core owns this
// state; a front end shows it and writes the user's edits back before it calls a handler.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace ostravel {

// The key code of Enter, as the key handlers of the text boxes receive it.
inline constexpr int kEnterKey = 13;

struct TextBoxModel {
  std::string Text;
  int SelStart = 0;   // caret position, 0-based
  int SelLength = 0;  // length of the selection from SelStart
};

struct LabelModel {
  std::string Caption;
  bool Visible = true;
};

struct ListModel {
  std::vector<std::string> Items;  // index 0 is the top line
  int ListIndex = -1;              // selected line, -1 for none
  int TopIndex = 0;                // first visible line
  bool Visible = true;
  std::string Tag;
  std::vector<int> TabStops;  // in dialog units (average character width / 4)
};

// A menu array: element 0 exists at design time with an empty caption; loaded elements
// 1..n carry the category names.
struct MenuArrayModel {
  std::vector<std::string> Captions;  // elements 1..n, in menu order
  bool Element0Visible = true;
};

struct MainWindowModel {
  std::string Caption = "Ostravel";
  TextBoxModel entryline;
  bool CalculateEnabled = true;
  bool WaitCursor = false;
  ListModel memories;
  ListModel lstKey{{}, -1, 0, false, {}, {}};  // sorted, hidden at start
  LabelModel lblClip{"Clipboard:", true};
  LabelModel LblX{"x =", false};
  LabelModel txtX{"", false};
  LabelModel lblE{"err =", false};
  LabelModel txtE{"", false};
  MenuArrayModel mnuConst, mnuExp, mnuMore;
  bool optQuickChecked = true, optCodesChecked = true, optRadicalsChecked = true;

  // Web gateway: the command queue, the timer and the notice labels (element 0 from the start).
  std::deque<std::string> lstLink;
  bool Timer1Enabled = false;
  int Timer1Interval = 0;
  std::vector<std::string> lnkWWW{std::string()};
};

}  // namespace ostravel
