// The state of the database editor window frmModify ("Modify Database").
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/window_model.h"

namespace ostravel {

struct ComboModel {
  std::vector<std::string> Items;
  int ListIndex = -1;  // selected item, -1 for none
  std::string Text;    // the shown text; editable in cmbCategory(1)
  bool Visible = true;
};

enum class ModifyControl {
  None,
  cmbCategory0,
  cmbCategory1,
  lstINFO,
  txtINFO0,
  txtINFO1,
  txtINFO2
};

// The buttons of the control array Command1, by their index: Save and Cancel close the editor
// (the menu items of the same names press them), Delete removes the selected entry, OK starts
// a new one.
enum class ModifyButton { Save = 0, Cancel = 1, Delete = 2, OK = 3 };

struct FrmModifyModel {
  std::string Caption = "Modify Database";
  // cmbCategory(0): the type; cmbCategory(1): the category, shown once it is filled.
  std::array<ComboModel, 2> cmbCategory{ComboModel{}, ComboModel{{}, -1, {}, false}};
  ListModel lstINFO;  // sorted; the empty line sorts first
  // txtINFO(0..2): abbreviation (the key), value and description of the entry being edited.
  std::array<std::string, 3> txtINFO;
  int txtINFO0_Tag = 0;      // list index of the line being edited
  std::string SavedIniFile;  // IniFile when the editor opened: the main database file
  // Categories created in this editor ("type" NUL "category"); their key is written into the
  // type section with the first committed entry.
  std::vector<std::string> CreatedCategories;
  bool Loaded = false;
  // The database file cannot be written: the entries are shown, nothing can be changed.
  bool ReadOnly = false;
  std::string ReadOnlyReason;  // what keeps it from being written, naming the file
  // The fields hold an edit that was refused with a message: it stays in the fields until the
  // user mends it or gives it up with Esc, so that no click loses it.
  bool EditRefused = false;
  bool CloseRequested = false;
  ModifyControl FocusRequest = ModifyControl::None;  // the control to focus next
};

}  // namespace ostravel
