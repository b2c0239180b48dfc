// Where the running program finds what is installed with it. Both paths are relative to the
// program's own folder (as the build placed them), so that an installation works under any
// prefix and keeps working when it is moved.
#pragma once

#include <string>

namespace ostravel {

// The folder of the running program file, symbolic links resolved; "" when unknown.
std::string ProgramFileFolder();
// The delivered database and templates of an installation: <prefix>/share/ostravel.
std::string DeliveredDataFolder();
// The folder of the installed front-end module: <prefix>/lib/.../ostravel.
std::string FrontEndModuleFolder();

}  // namespace ostravel
