// The click on a line of the key list lstKey of the main window.
#pragma once

namespace ostravel {

class Session;

// The line s.window.lstKey.ListIndex was clicked: runs an example, or inserts the constant
// into the entry line (as <prefix key> or as (value), after the switch AbbrevConstants).
void lstKey_Click(Session& s);

}  // namespace ostravel
