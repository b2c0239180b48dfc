// A main() for a fuzz target in a build without libFuzzer: feeds every file of the corpus
// folders named on the command line to LLVMFuzzerTestOneInput once, in name order, so that
// an ordinary GCC or sanitizer build checks that the corpus still passes. A property that no
// longer holds aborts, as under the fuzzer. Like scripts/fuzz, it runs in a working folder of
// its own, which the gateway target checks that nothing is written into.
#include <unistd.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {
namespace fs = std::filesystem;

// The regular files of folder, sorted by name; an empty list for a folder that does not exist.
std::vector<fs::path> CorpusFiles(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS_FOLDER...\n", argv[0]);
    return 2;
  }
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::vector<fs::path> files = CorpusFiles(fs::absolute(argv[i]));
    if (files.empty()) {
      // A corpus that went missing must not pass as one that passed.
      std::fprintf(stderr, "%s: no inputs in %s\n", argv[0], argv[i]);
      return 2;
    }
    inputs.insert(inputs.end(), files.begin(), files.end());
  }

  std::string work = (fs::temp_directory_path() / "ostravel-replay-XXXXXX").string();
  if (mkdtemp(work.data()) == nullptr || chdir(work.c_str()) != 0) {
    std::perror("working folder");
    return 2;
  }
  for (const fs::path& input : inputs) {
    const std::string bytes = ostravel::fuzz::ReadFile(input.string());
    // The name goes out first: when a property fails, the last name printed is the input.
    std::fprintf(stderr, "%s\n", input.filename().c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::error_code ignored;
  fs::current_path(fs::temp_directory_path(), ignored);
  fs::remove_all(work, ignored);
  std::printf("replayed %zu inputs\n", inputs.size());
  return 0;
}
