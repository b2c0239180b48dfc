#include "profile/profile_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "support/temp_dir.h"

namespace ostravel {
namespace {

using testing::TempDir;

std::string Value(ProfileStore& store, const std::string& path, const char* section,
                  const std::string& key) {
  const std::string* value = store.Read(path)->Find(section, key);
  return value == nullptr ? "<missing>" : *value;
}

TEST(ProfileStore, MissingFileReadsEmptyAndIsNotCreated) {
  TempDir dir;
  ProfileStore store;
  const std::string path = dir.File("TOLVANE.INI");
  EXPECT_TRUE(store.Read(path)->Keys("A").empty());
  EXPECT_TRUE(store.DeleteKey(path, "A", "k"));
  EXPECT_TRUE(store.DeleteSection(path, "A"));
  EXPECT_FALSE(std::filesystem::exists(path));
  ASSERT_TRUE(store.Set(path, "A", "k", "v"));
  EXPECT_EQ(dir.Read("TOLVANE.INI"), "[A]\r\nk=v\r\n");
}

TEST(ProfileStore, UnchangedFileIsNotParsedAgain) {
  TempDir dir;
  const std::string path = dir.Write("T.INI", "[A]\nk=v\n");
  ProfileStore store;
  const auto first = store.Read(path);
  EXPECT_EQ(store.Read(path).get(), first.get());
}

TEST(ProfileStore, SeesChangesMadeByOtherWriters) {
  TempDir dir;
  const std::string path = dir.Write("T.INI", "[A]\nk=1\n");
  ProfileStore store;
  ASSERT_EQ(Value(store, path, "A", "k"), "1");

  // Same size, written in place, with another modification time.
  dir.Write("T.INI", "[A]\nk=2\n");
  const timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 123456789}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  EXPECT_EQ(Value(store, path, "A", "k"), "2");

  // Another size.
  dir.Write("T.INI", "[A]\nk=333\n");
  EXPECT_EQ(Value(store, path, "A", "k"), "333");

  // Replaced by rename with the same size and modification time: another inode.
  const std::string other = dir.Write("U.INI", "[A]\nk=444\n");
  struct stat info;
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  const timespec same[2] = {{0, UTIME_OMIT}, info.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, other.c_str(), same, 0), 0);
  ASSERT_EQ(::rename(other.c_str(), path.c_str()), 0);
  EXPECT_EQ(Value(store, path, "A", "k"), "444");

  // Removed.
  std::filesystem::remove(path);
  EXPECT_EQ(Value(store, path, "A", "k"), "<missing>");
}

TEST(ProfileStore, OwnWritesAreSeenAtOnceAndByOthers) {
  TempDir dir;
  const std::string path = dir.Write("T.INI", "; kept\n[A]\nk=1\n");
  ProfileStore store, other;
  ASSERT_EQ(Value(other, path, "A", "k"), "1");
  ASSERT_TRUE(store.Set(path, "A", "k", "2"));
  EXPECT_EQ(Value(store, path, "A", "k"), "2");
  EXPECT_EQ(Value(other, path, "A", "k"), "2");
  EXPECT_EQ(dir.Read("T.INI"), "; kept\n[A]\nk=2\n");
}

TEST(ProfileStore, RefusedWriteLeavesTheFileAlone) {
  TempDir dir;
  const std::string path = dir.Write("T.INI", "[A]\nk=1\n");
  ProfileStore store;
  EXPECT_FALSE(store.Set(path, "A", "x\n[Permissions]", "1"));
  EXPECT_FALSE(store.Set(path, "A]", "x", "1"));
  EXPECT_EQ(dir.Read("T.INI"), "[A]\nk=1\n");
}

TEST(ProfileStore, WriteIntoAMissingFolderFails) {
  TempDir dir;
  ProfileStore store;
  EXPECT_FALSE(store.Set(dir.File("none/T.INI"), "A", "k", "v"));
}

TEST(ProfileStore, KeepsPermissionBitsAndLinks) {
  TempDir dir;
  const std::string path = dir.Write("T.INI", "[A]\nk=1\n");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  const std::string link = dir.File("LINK.INI");
  ASSERT_EQ(::symlink("T.INI", link.c_str()), 0);
  ProfileStore store;
  ASSERT_TRUE(store.Set(link, "A", "k", "2"));
  struct stat info;
  ASSERT_EQ(::lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(dir.Read("T.INI"), "[A]\nk=2\n");
  EXPECT_EQ(Value(store, link, "A", "k"), "2");
}

TEST(ProfileStore, FilesAndFoldersMarkedReadOnlyAreNotReplaced) {
  namespace fs = std::filesystem;
  const struct {
    const char* name;
    bool folder;  // mark the folder rather than the file
    fs::perms mode;
    const char* says;  // in LastError and WriteProblem; "" when the write is allowed
  } rows[] = {
      {"file without write bits", false, fs::perms(0444), "T.INI is marked read-only"},
      {"file writable by its group only", false, fs::perms(0464), ""},
      {"folder without write bits", true, fs::perms(0555), " is marked read-only"},
  };
  for (const auto& row : rows) {
    TempDir dir;
    const std::string path = dir.Write("T.INI", "[A]\nk=1\n");
    const fs::path marked = row.folder ? dir.path() : fs::path(path);
    fs::permissions(marked, row.mode);
    struct stat before;
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    ProfileStore store;
    const bool written = store.Set(path, "A", "k", "2");
    EXPECT_EQ(ProfileStore::WriteProblem(path).find(row.says) != std::string::npos, true)
        << row.name << ": " << ProfileStore::WriteProblem(path);
    struct stat after;
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    if (*row.says == '\0') {
      EXPECT_TRUE(written) << row.name;
      EXPECT_EQ(ProfileStore::WriteProblem(path), "") << row.name;
    } else {
      EXPECT_FALSE(written) << row.name;
      EXPECT_NE(store.LastError().find(row.says), std::string::npos) << row.name;
      EXPECT_EQ(after.st_ino, before.st_ino) << row.name;  // not replaced
      EXPECT_EQ(dir.Read("T.INI"), "[A]\nk=1\n") << row.name;
      EXPECT_FALSE(fs::exists(path + ".lock")) << row.name;
    }
    EXPECT_EQ(after.st_uid, before.st_uid) << row.name;
    EXPECT_EQ(after.st_mode, before.st_mode) << row.name;
    fs::permissions(marked, fs::perms(0755));
  }
}

TEST(ProfileStore, RemovesTemporaryFilesOfDeadWriters) {
  TempDir dir;
  const std::string path = dir.Write("T.INI", "[A]\nk=1\n");
  dir.Write(".T.INI.tmp-99999-1", "[A]\nk=");
  dir.Write("OTHER.INI", "x");
  ProfileStore store;
  ASSERT_TRUE(store.Set(path, "A", "k", "2"));
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.insert(entry.path().filename().string());
  }
  EXPECT_EQ(names, (std::set<std::string>{"T.INI", "T.INI.lock", "OTHER.INI"}));
}

// Every line is a header or an entry "K<i>=<i>"; fails the test otherwise.
std::set<std::string> ParseStrictly(const std::string& bytes) {
  std::set<std::string> keys;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const auto end = bytes.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "unterminated line at " << start;
    if (end == std::string::npos) break;
    const std::string line = bytes.substr(start, end - start);
    if (line != "[Log]") {
      const auto equals = line.find('=');
      EXPECT_NE(equals, std::string::npos) << line;
      if (equals == std::string::npos) break;
      EXPECT_EQ(line.substr(0, equals), "K" + line.substr(equals + 1)) << line;
      keys.insert(line.substr(0, equals));
    }
    start = end + 2;
  }
  return keys;
}

TEST(ProfileStore, TwoProcessesWritingLoseNoUpdate) {
  TempDir dir;
  const std::string path = dir.File("T.INI");
  constexpr int kPerWriter = 200;
  pid_t children[2];
  for (int writer = 0; writer < 2; ++writer) {
    children[writer] = ::fork();
    ASSERT_GE(children[writer], 0);
    if (children[writer] == 0) {
      ProfileStore store;
      bool ok = true;
      for (int i = 0; i < kPerWriter; ++i) {
        const std::string n = std::to_string(writer * kPerWriter + i);
        ok = store.Set(path, "Log", "K" + n, n) && ok;
      }
      ::_exit(ok ? 0 : 1);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(ParseStrictly(dir.Read("T.INI")).size(), 2u * kPerWriter);
  ProfileStore store;
  EXPECT_EQ(store.Read(path)->Keys("Log").size(), 2u * kPerWriter);
}

}  // namespace
}  // namespace ostravel
