// A temporary folder that is removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>

namespace ostravel::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Full path of a file in the folder.
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // Writes a file byte for byte and returns its full path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  // Reads a whole file byte for byte ("" when it is missing).
  std::string Read(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// Reads a whole file byte for byte ("" when it is missing).
std::string ReadFileBytes(const std::string& path);

}  // namespace ostravel::testing
