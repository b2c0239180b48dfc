#include "runtime/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace ostravel {
namespace {

using testing::TempDir;

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

int FilesIn(const std::filesystem::path& folder) {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
    ++count;
  return count;
}

// Sets the umask for a test and puts the old one back.
class Umask {
 public:
  explicit Umask(mode_t mask) : old_(::umask(mask)) {}
  ~Umask() { ::umask(old_); }

 private:
  mode_t old_;
};

TEST(WriteFileAtomically, ContentsPermissionsAndRefusals) {
  constexpr Durability kAtomic = Durability::Atomic, kSynced = Durability::AtomicSynced;
  constexpr bool kKeep = true, kReplace = false;
  struct Row {
    const char* name;
    std::optional<mode_t> existing;  // the bits of a file that is there before, "old" in it
    Durability durability;
    std::optional<mode_t> asked;  // the bits asked for
    bool keepExisting;
    bool ok;
    const char* contents;  // afterwards
    mode_t mode;           // afterwards
  } rows[] = {
      {"a new file gets 0666 less the umask", {}, kAtomic, {}, kReplace, true, "new", 0644},
      {"a replaced file keeps its bits", 0640, kSynced, {}, kReplace, true, "new", 0640},
      {"bits the umask would take are kept", 0666, kAtomic, {}, kReplace, true, "new", 0666},
      {"bits asked for win over the old ones", 0644, kSynced, 0600, kReplace, true, "new", 0600},
      {"bits asked for ignore the umask", {}, kAtomic, 0664, kReplace, true, "new", 0664},
      {"a file that exists is kept", 0640, kSynced, {}, kKeep, false, "old", 0640},
      {"a file kept when it exists is placed", {}, kAtomic, {}, kKeep, true, "new", 0644},
  };
  const Umask mask(022);
  for (const Row& row : rows) {
    TempDir dir;
    const std::string path = dir.File("T.INI");
    if (row.existing) {
      dir.Write("T.INI", "old");
      std::filesystem::permissions(path, std::filesystem::perms(*row.existing));
    }
    AtomicWrite how(row.durability);
    how.mode = row.asked;
    how.keepExisting = row.keepExisting;
    const AtomicWriteResult result = WriteFileAtomically(path, "new", how);
    EXPECT_EQ(result.ok, row.ok) << row.name;
    if (!row.ok) {
      EXPECT_EQ(result.error, EEXIST) << row.name;
    }
    EXPECT_EQ(dir.Read("T.INI"), row.contents) << row.name;
    EXPECT_EQ(ModeOf(path), row.mode) << row.name;
    EXPECT_EQ(FilesIn(dir.path()), 1) << row.name << ": a temporary file is left";
  }
}

TEST(WriteFileAtomically, ASyncedWriteReportsTheFileItMade) {
  TempDir dir;
  const std::string path = dir.File("T.INI");
  const AtomicWriteResult result =
      WriteFileAtomically(path, "12345", AtomicWrite(Durability::AtomicSynced));
  ASSERT_TRUE(result.ok);
  ASSERT_TRUE(result.written.has_value());
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(result.written->st_ino, info.st_ino);
  EXPECT_EQ(result.written->st_size, 5);
  EXPECT_EQ(result.written->st_ctim.tv_nsec, info.st_ctim.tv_nsec)
      << "taken after the rename, which changes it";
}

TEST(WriteFileAtomically, AFailedWriteLeavesNothingBehind) {
  TempDir dir;
  const AtomicWrite kSynced(Durability::AtomicSynced);
  // A folder that is not there takes no temporary file; a folder in the way takes no rename.
  const AtomicWriteResult noFolder = WriteFileAtomically(dir.File("missing/T.INI"), "new", kSynced);
  EXPECT_FALSE(noFolder.ok);
  EXPECT_FALSE(noFolder.temporaryMade);
  EXPECT_EQ(noFolder.error, ENOENT);

  std::filesystem::create_directory(dir.File("T.INI"));
  dir.Write("T.INI/inside", "kept");
  const AtomicWriteResult inTheWay = WriteFileAtomically(dir.File("T.INI"), "new", kSynced);
  EXPECT_FALSE(inTheWay.ok);
  EXPECT_TRUE(inTheWay.temporaryMade);
  EXPECT_NE(inTheWay.error, 0);
  EXPECT_EQ(dir.Read("T.INI/inside"), "kept");
  EXPECT_EQ(FilesIn(dir.path()), 1) << "the temporary file is left";
}

TEST(ReadAll, WholeFilesOrAFailure) {
  TempDir dir;
  const std::string large(200000, 'x');  // more than one read
  struct Row {
    const char* name;
    std::string path;
    bool ok;
    std::string bytes;
  } rows[] = {
      {"a file, appended to what is there", dir.Write("a", large), true, ">" + large},
      {"an empty file", dir.Write("b", ""), true, ">"},
      {"a missing file", dir.File("c"), false, ">"},
      {"a folder", dir.path().string(), false, ">"},
  };
  for (const Row& row : rows) {
    std::string bytes = ">";
    EXPECT_EQ(ReadAll(row.path, bytes), row.ok) << row.name;
    EXPECT_EQ(bytes, row.bytes) << row.name;
  }
}

}  // namespace
}  // namespace ostravel
