#include "frontends/install_paths.h"

#include <filesystem>

namespace ostravel {
namespace {

std::string BesideProgram(const char* relative) {
  const std::string folder = ProgramFileFolder();
  if (folder.empty()) return {};
  return (std::filesystem::path(folder) / relative).lexically_normal().string();
}

}  // namespace

std::string ProgramFileFolder() {
  std::error_code error;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : program.parent_path().string();
}

std::string DeliveredDataFolder() {
  return BesideProgram(OSTRAVEL_DATA_FROM_PROGRAM);
}

std::string FrontEndModuleFolder() {
  return BesideProgram(OSTRAVEL_MODULES_FROM_PROGRAM);
}

}  // namespace ostravel
