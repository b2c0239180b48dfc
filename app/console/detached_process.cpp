#include "console/detached_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace ostravel {

bool StartDetachedCommand(const std::string& commandLine) {
  if (commandLine.find_first_not_of(' ') == std::string::npos) return false;
  int ready[2];
  if (pipe(ready) != 0) return false;
  pid_t child = fork();
  if (child < 0) {
    close(ready[0]);
    close(ready[1]);
    return false;
  }
  if (child == 0) {
    // The intermediate child starts the program in a grandchild and ends at once, so the
    // program is adopted by init and never left as a zombie of ours.
    close(ready[0]);
    setsid();
    pid_t grandchild = fork();
    char started = grandchild >= 0 ? 1 : 0;
    if (grandchild == 0) {
      close(ready[1]);
      execl("/bin/sh", "sh", "-c", commandLine.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    (void)!write(ready[1], &started, 1);
    _exit(0);
  }
  close(ready[1]);
  char started = 0;
  bool ok = read(ready[0], &started, 1) == 1 && started == 1;
  close(ready[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return ok;
}

}  // namespace ostravel
