// The profile files of a run: each file parsed once and kept until it changes on disk, and
// every write done as a locked read-modify-write that replaces the file atomically.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "profile/profile_file.h"

namespace ostravel {

class ProfileStore {
 public:
  // The file as it is on disk now; an empty file when it is missing or cannot be read. The
  // parsed file is kept and handed out again while the file's inode, size, modification time
  // and change time stay the same, so unchanged files are not parsed again.
  std::shared_ptr<const ProfileFile> Read(const std::string& path);

  // Makes the file at path one that only its owner may read: every write replaces it with a
  // file of mode 0600, and an existing file gets that mode now. For the accounts file.
  void KeepPrivate(const std::string& path);

  // Write key=value into section (see ProfileFile::Set), delete a key, delete a section.
  // Each one takes the lock of the file (an advisory lock on "path.lock" beside it), reads the
  // file as it is now, applies the change and, when something changed, replaces the file with
  // a temporary file in the same folder that was written, flushed and synced; its permission
  // bits are kept. Returns false when the change was refused or the file could not be written,
  // in which case the file is as it was and LastError() says why. A file or folder without
  // any write permission bit is read-only for every user, root included.
  bool Set(const std::string& path, std::string_view section, std::string_view key,
           std::string_view value);
  bool DeleteKey(const std::string& path, std::string_view section, std::string_view key);
  bool DeleteSection(const std::string& path, std::string_view section);
  // Any number of changes in one such locked read-modify-write: edit changes the file as it is
  // now; when it returns Refused the file stays as it was.
  bool Edit(const std::string& path,
            const std::function<ProfileFile::EditResult(ProfileFile&)>& edit);

  // Why the last write that returned false failed, in words: "", "the entry cannot be
  // written as it stands", or what keeps the file from being written.
  const std::string& LastError() const { return lastError_; }

  // What keeps the file at path from being written or created, such as "/db/T.INI is marked
  // read-only"; "" when it can be written.
  static std::string WriteProblem(const std::string& path);

 public:
  // What tells one state of a file on disk from another.
  struct Identity {
    unsigned long long device = 0, inode = 0;
    long long size = 0;
    long long modifiedSeconds = 0, modifiedNanoseconds = 0;
    long long changedSeconds = 0, changedNanoseconds = 0;
    bool operator==(const Identity&) const = default;
  };

 private:
  struct Cached {
    Identity identity;
    std::shared_ptr<const ProfileFile> file;
  };

  bool Fail(std::string reason);

  std::unordered_map<std::string, Cached> cache_;
  std::unordered_set<std::string> private_;  // paths written with mode 0600
  std::string lastError_;
};

}  // namespace ostravel
