// The entry points of the front-end module and the loader that finds them.
#pragma once

#include <string>

#define OSTRAVEL_FRONTEND_EXPORT __attribute__((visibility("default")))

namespace ostravel {

// Runs the Qt window (a one-shot command line answers without showing it).
int RunWindowFrontEnd(int argc, char** argv, const std::string& programFolder,
                      const std::string& commandLine);
// Runs the web gateway without a window.
int RunGatewayFrontEnd(const std::string& programFolder);

}  // namespace ostravel
