#include "calc/trace_directive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "session/session.h"

namespace ostravel {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

bool Exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

// mf.log in the folder, or mf-2.log, mf-3.log, ... when that is taken.
std::string FreeFileName(const std::string& folder) {
  std::string name = folder + "/mf.log";
  for (int n = 2; Exists(name) && n < 1000; ++n)
    name = folder + "/mf-" + std::to_string(n) + ".log";
  return name;
}

// Creates path as a new, empty file readable by its owner alone; "" on success, else why not.
std::string CreateNew(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return std::strerror(errno);
  ::close(fd);
  return {};
}

}  // namespace

std::string TraceFolder(const Session& s) {
  std::string state = Environment("XDG_STATE_HOME");
  if (state.empty() || state.front() != '/') {
    const std::string home = Environment("HOME");
    if (home.empty() || home.front() != '/') return s.db.ProgramFolder + "/register";
    state = home + "/.local/state";
  }
  // Each missing level is made for the owner alone; an existing one is left as it is.
  std::string folder = state + "/ostravel";
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    ::mkdir(folder.substr(0, slash).c_str(), 0700);
    if (slash == std::string::npos) break;
  }
  return folder;
}

void ToggleTrace(Session& s) {
  CalcState& c = s.calc;
  s.window.entryline.Text.clear();
  s.ui.Changed(Control::EntryLine);
  c.TraceFlag = !c.TraceFlag;
  if (!c.TraceFlag) {
    s.ui.MessageBox("file " + c.LogFileName + " closed", MessageIcon::None, kAppTitle);
    c.LogFileName.clear();
    return;
  }
  c.LogFileName = s.ui.InputBox("Enter a log file name", "testing", FreeFileName(TraceFolder(s)));
  if (c.LogFileName.empty()) return;
  if (const std::string why = CreateNew(c.LogFileName); !why.empty()) {
    s.ui.MessageBox("The trace file " + c.LogFileName + " cannot be created (" + why +
                        "): an existing file is never replaced.",
                    MessageIcon::Exclamation, kAppTitle);
    c.TraceFlag = false;
    c.LogFileName.clear();
    ++c.RunErrors;
  }
}

}  // namespace ostravel
