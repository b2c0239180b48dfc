// The menu item "&About" of the main window.
#pragma once

#include <string>

namespace ostravel {

class Session;

// The text of the about box: the program and its version, where the database is.
std::string AboutText(const std::string& databaseFolder);
// Shows the about box with an OK button.
void mnuAbout_Click(Session& s);

}  // namespace ostravel
