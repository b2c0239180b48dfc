// The category menus and the key list through which the user browses the database.
#pragma once

#include <string>

namespace ostravel {

class Session;
struct ListModel;

// Reads the category lists of the three types and the radical names, and rebuilds the menus
// mnuConst, mnuExp and mnuMore from them.
void LoadLists(Session& s);
// Fills lstKey with the entries of CurCategory of CurType, read from IniFile; its tag becomes
// the category's prefix.
void ShowCategory(Session& s);

// A category chosen from a menu; index counts the menu's elements from 1 (0 is the empty
// element shown when a type has no category).
void mnuConst_Click(Session& s, int index);
void mnuExp_Click(Session& s, int index);
void mnuMore_Click(Session& s, int index);

// Adds an item to a sorted list: after every item that is not greater, comparing without
// regard to ASCII case.
void AddSortedItem(ListModel& list, std::string item);

}  // namespace ostravel
