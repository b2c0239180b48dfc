// ostravel: the desktop window when a display is available, the console front end otherwise.
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "console/console_balance.h"
#include "console/console_session.h"
#include "database/settings.h"
#include "frontends/frontend_entry.h"
#include "frontends/install_paths.h"

namespace {

// The arguments as one text, as the command line of a single calculation.
std::string CommandLine(int argc, char** argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  return text;
}

std::string ExecutableFolder(const char* argv0) {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) path = std::filesystem::absolute(argv0, error);
  return path.parent_path().string();
}

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string commandLine = CommandLine(argc, argv);
  const std::string folder =
      ostravel::ResolveProgramFolder(ExecutableFolder(argv[0]), ostravel::DeliveredDataFolder());
  // --balance answers on the console, with or without a display.
  if (argc == 3 && std::string(argv[1]) == "--balance")
    return ostravel::RunBalance(folder, argv[2]);
  if (HasDisplay()) return ostravel::RunWindowFrontEnd(argc, argv, folder, commandLine);
  if (commandLine == "DDE") return ostravel::RunGatewayFrontEnd(folder);
  return ostravel::RunConsole(folder, commandLine);
}
