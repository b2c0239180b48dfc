// ostravel: the desktop window when a display is available, the console front end otherwise.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "console/command_line.h"
#include "console/console_balance.h"
#include "console/console_session.h"
#include "database/settings.h"
#include "frontends/frontend_entry.h"
#include "frontends/install_paths.h"

namespace {

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
  using ostravel::CommandKind;
  const ostravel::CommandLine command =
      ostravel::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (command.Kind) {
    case CommandKind::Help:
      std::fputs(ostravel::UsageText().c_str(), stdout);
      return 0;
    case CommandKind::Version:
      std::puts("Ostravel " OSTRAVEL_VERSION);
      return 0;
    case CommandKind::Refused:
      std::fprintf(stderr, "ostravel: %s\nTry 'ostravel --help' for the options.\n",
                   command.Text.c_str());
      return 2;
    default:
      break;
  }
  const std::string folder =
      ostravel::ResolveProgramFolder(ExecutableFolder(argv[0]), ostravel::DeliveredDataFolder());
  // Explanations, balancing and JSON answer on the console, with a display too.
  if (command.Kind == CommandKind::Explain) return ostravel::RunExplain(folder, command.Text);
  if (command.Kind == CommandKind::Balance) return ostravel::RunBalance(folder, command.Text);
  if (command.Kind == CommandKind::Json) return ostravel::RunJson(folder, command.Text);
  if (HasDisplay()) return ostravel::RunWindowFrontEnd(argc, argv, folder, command.Text);
  if (command.Text == "DDE") return ostravel::RunGatewayFrontEnd(folder);
  return ostravel::RunConsole(folder, command.Text);
}
