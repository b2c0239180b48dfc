// The "testing" directive: switches the trace file on and off.
#pragma once

#include <string>

namespace ostravel {

class Session;

// Switches the trace: on, it asks for a file name (by default a new file in the user's own
// state folder) and creates that file new, never replacing or following what is there; off,
// it closes the file and says so. A file that cannot be created leaves the trace off, and the
// message says why.
void ToggleTrace(Session& s);

// The folder of the default trace file: $XDG_STATE_HOME/ostravel (~/.local/state/ostravel),
// created for its owner alone; the register folder when there is no home folder.
std::string TraceFolder(const Session& s);

}  // namespace ostravel
