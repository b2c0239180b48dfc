// Reading and writing whole files. Every file the program writes in one piece goes through
// here, and each write names how far it can be trusted after a crash.
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

namespace ostravel {

// Owns a file descriptor and closes it when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  ~FileDescriptor();
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now, so that an error of the close is seen (a delayed write error shows there).
  bool Close();

 private:
  int fd_;
};

// The folder that holds path: "." for a bare name, "/" for a file at the root.
std::string FolderOf(const std::string& path);

// Reads fd to its end, appending to bytes; resumes after interruptions. False on a read error.
bool ReadAll(int fd, std::string& bytes);
// Appends the whole file at path to bytes. False when it cannot be opened or read (a missing
// file, a folder, no permission).
bool ReadAll(const std::string& path, std::string& bytes);
// Writes every byte to fd, resuming after interruptions and short writes. False on an error.
bool WriteAll(int fd, std::string_view bytes);

enum class Durability {
  // A reader sees the old contents or the new, never a part. A crash of the whole system soon
  // after may still lose the new contents: for files that are made again when lost.
  Atomic,
  // As Atomic, and the new contents and the folder entry that names them are on the disk
  // when the write returns: for files that hold what a user stored.
  AtomicSynced,
};

struct AtomicWrite {
  explicit AtomicWrite(Durability how) : durability(how) {}
  Durability durability;
  // The permission bits of the new file. By default it takes those of the file it replaces
  // (and its owner and group where the process may set them), or 0666 less the umask.
  std::optional<mode_t> mode;
  // Places the file only when path does not exist yet; a write that finds it fails with
  // EEXIST and leaves it as it is.
  bool keepExisting = false;
};

struct AtomicWriteResult {
  bool ok = false;
  bool temporaryMade = false;          // false when the folder took no new file
  int error = 0;                       // errno of the step that failed
  std::optional<struct stat> written;  // the new file's status (synced writes only)
  explicit operator bool() const { return ok; }
};

// Writes bytes to a temporary file beside path (named TemporaryPrefix(path) + writer's id) and
// renames it over path in one step. On failure path is unchanged, no temporary file is left
// and errno holds the error.
AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view bytes,
                                      const AtomicWrite& how);

// The start of the names of the temporary files that writes of path make: ".NAME.tmp-".
std::string TemporaryPrefix(const std::string& path);
// Removes the temporary files that writers of path killed before their rename left behind.
// Only safe while no other writer of path can be between making its temporary file and
// renaming it, that is under the caller's lock of path.
void RemoveLeftTemporaries(const std::string& path);

// Writes bytes into the spare file beside path (".NAME.spare", owner only) and then exchanges
// the two names in one step, so that a reader sees the old contents or the new, and the old
// file becomes the spare of the next write. Once both exist no file is made or removed, which
// spares the file system an inode for every write. Not synced (Durability::Atomic): for
// files replaced many times a second whose loss in a crash costs nothing. The spare is
// overwritten and then cut to length rather than truncated on opening: on ext4, truncating a
// file that was just written waits for its write-out, which made each answer cost about 3 ms.
// False when anything failed; path is then unchanged.
bool ReplaceFileKeepingSpare(const std::string& path, std::string_view bytes);

}  // namespace ostravel
