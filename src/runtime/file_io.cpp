#include "runtime/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

namespace ostravel {
namespace {

// path with its last part prefixed by "." and followed by suffix.
std::string HiddenBeside(const std::string& path, std::string_view suffix) {
  const auto slash = path.rfind('/');
  const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, name) + "." + path.substr(name) + std::string(suffix);
}

void SyncFolder(const std::string& folder) {
  FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
}

// Gives the new file the bits and, where allowed, the owner and group of the file it replaces.
void TakeOverAttributes(int fd, const struct stat& old, mode_t mode) {
  // The umask may have taken bits away.
  ::fchmod(fd, mode);
  // An owner other than us is kept where we may, and else at least the group, so that a file
  // shared by a group stays shared.
  if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
      ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0) {
    ::fchmod(fd, mode);  // a change of group may clear the set-group-ID bit
  }
}

AtomicWriteResult Failed(AtomicWriteResult result, int error) {
  result.ok = false;
  result.error = error;
  errno = error;
  return result;
}

}  // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) ::close(fd_);
}

bool FileDescriptor::Close() {
  return ::close(std::exchange(fd_, -1)) == 0;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool ReadAll(int fd, std::string& bytes) {
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

bool ReadAll(const std::string& path, std::string& bytes) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  return fd.valid() && ReadAll(fd.get(), bytes);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

std::string TemporaryPrefix(const std::string& path) {
  const auto slash = path.rfind('/');
  return "." + path.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp-";
}

void RemoveLeftTemporaries(const std::string& path) {
  const std::string prefix = TemporaryPrefix(path);
  DIR* dir = ::opendir(FolderOf(path).c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    if (std::string_view(entry->d_name).starts_with(prefix)) {
      ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
  }
  ::closedir(dir);
}

AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view bytes,
                                      const AtomicWrite& how) {
  static std::atomic<unsigned long> counter{0};
  AtomicWriteResult result;
  const std::string folder = FolderOf(path);
  struct stat old {};
  const bool exists = ::stat(path.c_str(), &old) == 0;
  if (exists && how.keepExisting) return Failed(result, EEXIST);
  const mode_t mode = how.mode ? *how.mode : exists ? (old.st_mode & 07777) : 0666;

  // A name left by a writer of the same process id that was killed is passed over.
  std::string temporary;
  FileDescriptor out;
  for (int attempt = 0; attempt < 100 && !out.valid(); ++attempt) {
    temporary = folder + "/" + TemporaryPrefix(path) + std::to_string(::getpid()) + "-" +
                std::to_string(counter.fetch_add(1));
    out = FileDescriptor(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (!out.valid() && errno != EEXIST) return Failed(result, errno);
  }
  if (!out.valid()) return Failed(result, EEXIST);
  result.temporaryMade = true;
  if (exists) {
    TakeOverAttributes(out.get(), old, mode);
  } else if (how.mode) {
    ::fchmod(out.get(), mode);
  }

  const bool synced = how.durability == Durability::AtomicSynced;
  bool ok = WriteAll(out.get(), bytes);
  if (ok && synced) ok = ::fsync(out.get()) == 0;
  // Unsynced, an error of the delayed write shows only when the file is closed.
  if (ok && !synced) ok = out.Close();
  if (ok) {
    // keepExisting links the file into place, which fails when path appeared meanwhile.
    ok = how.keepExisting ? ::link(temporary.c_str(), path.c_str()) == 0
                          : ::rename(temporary.c_str(), path.c_str()) == 0;
  }
  const int error = errno;
  // Taken after the rename, which changes the file's status time.
  struct stat written;
  if (ok && out.valid() && ::fstat(out.get(), &written) == 0) result.written = written;
  if (!ok || how.keepExisting) ::unlink(temporary.c_str());
  if (!ok) return Failed(result, error);
  if (synced) SyncFolder(folder);
  result.ok = true;
  return result;
}

bool ReplaceFileKeepingSpare(const std::string& path, std::string_view bytes) {
  const std::string spare = HiddenBeside(path, ".spare");
  FileDescriptor fd(::open(spare.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!fd.valid()) return false;
  bool ok =
      WriteAll(fd.get(), bytes) && ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) == 0;
  ok = fd.Close() && ok;
  if (!ok) return false;
  if (::renameat2(AT_FDCWD, spare.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0)
    return true;
  // No file to exchange with yet (or a file system that cannot exchange): the spare becomes it.
  return ::rename(spare.c_str(), path.c_str()) == 0;
}

}  // namespace ostravel
