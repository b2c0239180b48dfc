// The web gateway without a window: "ostravel DDE" on a machine without a display.
#pragma once

#include <string>

namespace ostravel {

// Loads the database, opens the channel and answers requests until SIGINT or SIGTERM.
// Returns the process's exit code (1 when the channel cannot be opened).
int RunHeadlessGateway(const std::string& programFolder);

}  // namespace ostravel
