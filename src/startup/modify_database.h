// The menu command that opens the database editor and brings the lists and the web pages
// up to date with what it changed.
#pragma once

namespace ostravel {

class Session;

// The menu item "&Modify Database" of the main window: opens the editor modally and, when it
// wrote anything, reloads the category menus and rewrites the web pages.
void mnuModify_Click(Session& s);

}  // namespace ostravel
