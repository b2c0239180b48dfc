// The database editor frmModify: adds, changes and deletes the entries of the categories of
// Constants and Examples in the main database file, and creates new categories. The front end
// shows s.modify and calls these handlers after writing the user's edits back into it.
#pragma once

#include <string>

#include "state/frm_modify_model.h"

namespace ostravel {

class Session;

namespace frmModify {

inline constexpr const char* kTitle = "Modify Database";
inline constexpr const char* kCopyName = "TOLVANE.IN_";
inline constexpr int kEscapeKey = 27;

// Opening: copies the main file to "TOLVANE.IN_", shows the copy, fills the type combo.
void Form_Load(Session& s);
// Closing (Save, Cancel or the close box): IniFile points at the main file again.
void Form_Unload(Session& s);
// which 0: the type combo ("Examples", "Constants"); which 1: the categories of that type.
void FillCategoryCombo(Session& s, int which);
// A choice in cmbCategory(index).
void cmbCategory_Click(Session& s, int index);
// Enter in the category combo selects a category or offers to create one.
void cmbCategory_KeyPress(Session& s, int index, int& key);
// Lists the entries of CurType, CurCategory, plus the empty line.
void ShowEntries(Session& s);
// Loads the selected line of lstINFO into the three fields.
void lstINFO_Click(Session& s);
// The list is operated with the mouse only: every key is discarded.
void lstINFO_KeyDown(Session& s, int& key);
// Puts the first three tab-separated parts of text into the three fields.
void SplitEntryLine(Session& s, const std::string& text);
// Enter: in field 0 moves on to field 1; in fields 1 and 2 commits the entry. Esc gives up
// the edit: the fields show the line being edited again (key becomes 0); with nothing to give
// up, key stays kEscapeKey, so that the window may close.
void txtINFO_KeyPress(Session& s, int index, int& key);
// Commits the entry being edited as the focus leaves its fields (the focus stays where the
// user put it): writes it, or refuses it with a message that says why (a key or value that
// cannot be stored, a file that cannot be written), keeps the fields and focuses the field
// to mend.
void txtINFO_LostFocus(Session& s, int index);
// Refuses the edit in the fields with message (the front end found text it cannot hand
// over); the fields keep it and field gets the focus.
void RefuseEntry(Session& s, const std::string& message, ModifyControl field);
// A press of one of the buttons Command1(Save, Cancel, Delete, OK).
void Command1_Click(Session& s, ModifyButton button);
void mnuSave_Click(Session& s);
void mnuCancel_Click(Session& s);

}  // namespace frmModify
}  // namespace ostravel
