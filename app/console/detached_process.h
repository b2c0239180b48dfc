// Starts a program from a command line without waiting for it.
#pragma once

#include <string>

namespace ostravel {

// Runs commandLine through /bin/sh in a new session, detached from this process (it is never
// waited for and does not become a zombie). False when the line is empty or it cannot start.
bool StartDetachedCommand(const std::string& commandLine);

}  // namespace ostravel
