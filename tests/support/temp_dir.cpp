#include "support/temp_dir.h"

#include <fstream>
#include <random>
#include <stdexcept>

#include "runtime/file_io.h"

namespace ostravel::testing {

TempDir::TempDir() {
  std::random_device random;
  auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("ostravel-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
  out << bytes;
  return File(name);
}

std::string TempDir::Read(const std::string& name) const {
  return ReadFileBytes(File(name));
}

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  if (!ReadAll(path, bytes)) bytes.clear();
  return bytes;
}

}  // namespace ostravel::testing
