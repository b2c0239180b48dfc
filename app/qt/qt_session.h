// Runs Ostravel with the desktop window.
#pragma once

#include <string>

namespace ostravel {

// Starts the program with the Qt window: a one-shot command line answers and ends without
// showing it. Returns the process's exit code.
int RunQt(int argc, char** argv, const std::string& programFolder, const std::string& commandLine);

}  // namespace ostravel
