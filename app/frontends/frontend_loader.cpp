#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "frontends/frontend_entry.h"
#include "frontends/install_paths.h"

namespace ostravel {
namespace {

const char* const kModuleName = "libostravel-frontends.so";

// The module beside the program (the build folder, portable installs), else where
// `cmake --install` puts it relative to the program.
void* LoadModule() {
  const std::string candidates[] = {ProgramFileFolder() + "/" + kModuleName,
                                    FrontEndModuleFolder() + "/" + kModuleName};
  std::string reasons;
  for (const std::string& path : candidates) {
    if (void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return module;
    reasons += std::string("\n  ") + dlerror();
  }
  std::fprintf(stderr, "ostravel: the window and the gateway are not available:%s\n",
               reasons.c_str());
  return nullptr;
}

template <typename Function>
Function* Entry(const char* name) {
  static void* module = LoadModule();
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function*>(dlsym(module, name));
}

}  // namespace

int RunWindowFrontEnd(int argc, char** argv, const std::string& programFolder,
                      const std::string& commandLine) {
  using Run = int(int, char**, const char*, const char*);
  Run* run = Entry<Run>("ostravel_run_window");
  return run == nullptr ? 2 : run(argc, argv, programFolder.c_str(), commandLine.c_str());
}

int RunGatewayFrontEnd(const std::string& programFolder) {
  using Run = int(const char*);
  Run* run = Entry<Run>("ostravel_run_gateway");
  return run == nullptr ? 2 : run(programFolder.c_str());
}

}  // namespace ostravel
