#include "gateway/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

namespace ostravel {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  static std::atomic<unsigned long> counter{0};
  const std::string temp =
      path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
  mode_t mode = 0666;
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) mode = old.st_mode & 07777;
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return false;
  // An existing file keeps its bits exactly, whatever the umask says.
  if (old.st_mode != 0) ::fchmod(fd, mode);
  bool ok = WriteAll(fd, bytes);
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

bool ReplaceFileKeepingSpare(const std::string& path, std::string_view bytes) {
  const auto slash = path.rfind('/');
  const std::string spare = slash == std::string::npos ? "." + path + ".spare"
                                                       : path.substr(0, slash + 1) + "." +
                                                             path.substr(slash + 1) + ".spare";
  const int fd = ::open(spare.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes);
  ok = ::close(fd) == 0 && ok;
  if (!ok) return false;
  if (::renameat2(AT_FDCWD, spare.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0)
    return true;
  // No file to exchange with yet (or a file system that cannot exchange): the spare becomes it.
  return ::rename(spare.c_str(), path.c_str()) == 0;
}

}  // namespace ostravel
