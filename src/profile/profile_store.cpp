#include "profile/profile_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <utility>

#include "runtime/file_io.h"

namespace ostravel {
namespace {

// The file that a path names in the end: a symbolic link is followed, so that a write replaces
// the file it points to rather than the link.
std::string ResolveLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) break;
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length <= 0) break;
    target.resize(static_cast<std::size_t>(length));
    if (target.front() != '/') {
      const auto slash = path.rfind('/');
      if (slash != std::string::npos) target = path.substr(0, slash + 1) + target;
    }
    path = std::move(target);
  }
  return path;
}

std::string Reason(int error) {
  return std::strerror(error);
}

// What keeps a process from writing path: no write bit at all, or the system's answer.
std::string AccessProblem(const std::string& path, const struct stat& info, int how) {
  if ((info.st_mode & 0222) == 0) return "is marked read-only";
  if (::access(path.c_str(), how) != 0) return "cannot be written (" + Reason(errno) + ")";
  return {};
}

const std::shared_ptr<const ProfileFile>& EmptyFile() {
  static const auto empty = std::make_shared<const ProfileFile>();
  return empty;
}

ProfileStore::Identity IdentityOf(const struct stat& info) {
  ProfileStore::Identity identity;
  identity.device = info.st_dev;
  identity.inode = info.st_ino;
  identity.size = info.st_size;
  identity.modifiedSeconds = info.st_mtim.tv_sec;
  identity.modifiedNanoseconds = info.st_mtim.tv_nsec;
  identity.changedSeconds = info.st_ctim.tv_sec;
  identity.changedNanoseconds = info.st_ctim.tv_nsec;
  return identity;
}

}  // namespace

std::shared_ptr<const ProfileFile> ProfileStore::Read(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    cache_.erase(path);
    return EmptyFile();
  }
  const auto cached = cache_.find(path);
  if (cached != cache_.end() && cached->second.identity == IdentityOf(info)) {
    return cached->second.file;
  }
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  std::string bytes;
  // The identity is taken from the open file, so that it belongs to the bytes read.
  if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      !ReadAll(fd.get(), bytes)) {
    cache_.erase(path);
    return EmptyFile();
  }
  auto file = std::make_shared<const ProfileFile>(bytes);
  cache_[path] = Cached{IdentityOf(info), file};
  return file;
}

std::string ProfileStore::WriteProblem(const std::string& path) {
  const std::string target = ResolveLinks(path);
  struct stat info;
  if (::stat(target.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) return target + " is not a file";
    if (std::string problem = AccessProblem(target, info, W_OK); !problem.empty())
      return target + " " + problem;
  } else if (errno != ENOENT) {
    return target + " cannot be read (" + Reason(errno) + ")";
  }
  // The file is replaced by a new one, so its folder must take new files.
  const std::string folder = FolderOf(target);
  const std::string cannot = target + " cannot be replaced: its folder " + folder + " ";
  if (::stat(folder.c_str(), &info) != 0)
    return cannot + (errno == ENOENT ? "does not exist" : "cannot be read (" + Reason(errno) + ")");
  if (std::string problem = AccessProblem(folder, info, W_OK | X_OK); !problem.empty())
    return cannot + problem;
  return {};
}

void ProfileStore::KeepPrivate(const std::string& path) {
  private_.insert(path);
  struct stat info;
  const std::string target = ResolveLinks(path);
  if (::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 077) != 0)
    ::chmod(target.c_str(), info.st_mode & 0700);
}

bool ProfileStore::Fail(std::string reason) {
  lastError_ = std::move(reason);
  return false;
}

bool ProfileStore::Set(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value) {
  return Edit(path, [&](ProfileFile& file) { return file.Set(section, key, value); });
}

bool ProfileStore::DeleteKey(const std::string& path, std::string_view section,
                             std::string_view key) {
  return Edit(path, [&](ProfileFile& file) { return file.DeleteKey(section, key); });
}

bool ProfileStore::DeleteSection(const std::string& path, std::string_view section) {
  return Edit(path, [&](ProfileFile& file) { return file.DeleteSection(section); });
}

bool ProfileStore::Edit(const std::string& path,
                        const std::function<ProfileFile::EditResult(ProfileFile&)>& edit) {
  lastError_.clear();
  const std::string target = ResolveLinks(path);
  const std::string folder = FolderOf(target);
  // A file marked read-only is not replaced, although its folder would allow it; nor is a
  // lock file left in a folder that takes no files.
  if (std::string problem = WriteProblem(path); !problem.empty()) return Fail(std::move(problem));

  // The lock lives in a file of its own: the rename below replaces the data file's inode, so a
  // lock on the data file itself would not be seen by the next writer.
  const std::string lockPath = target + ".lock";
  int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (lockFd < 0 && errno == EACCES) lockFd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
  FileDescriptor lock(lockFd);
  if (!lock.valid()) return Fail(lockPath + " cannot be opened (" + Reason(errno) + ")");
  while (::flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) return Fail(lockPath + " cannot be locked (" + Reason(errno) + ")");
  }

  ProfileFile file = *Read(path);
  const auto result = edit(file);
  if (result == ProfileFile::EditResult::Refused)
    return Fail("the entry cannot be written as it stands");
  if (result == ProfileFile::EditResult::Unchanged) return true;

  // Under the lock no other writer of this file is between making its temporary file and
  // renaming it: what is there was left by one that died.
  RemoveLeftTemporaries(target);
  AtomicWrite how(Durability::AtomicSynced);
  if (private_.contains(path)) how.mode = 0600;
  AtomicWriteResult written = WriteFileAtomically(target, file.Serialize(), how);
  if (!written.temporaryMade)
    return Fail(folder + " takes no new file (" + Reason(written.error) + ")");
  if (!written) return Fail(target + " cannot be written (" + Reason(written.error) + ")");
  if (written.written) {
    cache_[path] =
        Cached{IdentityOf(*written.written), std::make_shared<const ProfileFile>(std::move(file))};
  } else {
    cache_.erase(path);
  }
  return true;
}

}  // namespace ostravel
