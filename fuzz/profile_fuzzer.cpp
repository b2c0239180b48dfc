// The profile reader on any file bytes, then a write through the store and a re-read: the
// file keeps every byte the write did not change and holds the value written.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_support.h"
#include "profile/profile_file.h"
#include "profile/profile_store.h"

using namespace ostravel;

namespace {

// The value as the reader gives it back after the writer stored it.
std::string Expected(std::string value) {
  for (char& c : value)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  constexpr const char* kBlanks = " \t\r\v\f";
  const auto first = value.find_first_not_of(kBlanks);
  if (first == std::string::npos) return {};
  value = value.substr(first, value.find_last_not_of(kBlanks) - first + 1);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::Sandbox sandbox;
  static const std::string path = sandbox.program() + "/FUZZED.INI";
  FuzzedDataProvider input(data, size);
  const int action = input.ConsumeIntegralInRange(0, 2);
  const std::string section = input.ConsumeRandomLengthString(16);
  const std::string key = input.ConsumeRandomLengthString(16);
  const std::string value = input.ConsumeRandomLengthString(32);
  const std::string bytes = input.ConsumeRemainingBytesAsString();

  const ProfileFile parsed(bytes);
  if (parsed.Serialize() != bytes) fuzz::PropertyFailed("reading and writing changed the file");
  for (const std::string& k : parsed.Keys(section)) {
    if (!parsed.Find(section, k)) fuzz::PropertyFailed("a listed key has no value");
  }

  fuzz::WriteFile(path, bytes);
  ProfileStore store;
  bool written = false;
  switch (action) {
    case 0:
      written = store.Set(path, section, key, value);
      break;
    case 1:
      written = store.DeleteKey(path, section, key);
      break;
    default:
      written = store.DeleteSection(path, section);
      break;
  }
  const std::string after = fuzz::ReadFile(path);
  if (!written && after != bytes) fuzz::PropertyFailed("a refused change altered the file");
  const ProfileFile reread(after);
  if (reread.Serialize() != after) fuzz::PropertyFailed("the written file does not read back");
  const bool valid = ProfileFile::IsValidSection(section) && ProfileFile::IsValidKey(key);
  if (action == 0 && valid) {
    const std::string* found = reread.Find(section, key);
    if (!found) fuzz::PropertyFailed("the written key is missing");
    if (*found != Expected(value))
      fuzz::PropertyFailed("the written value reads back as " + *found);
  }
  if (action == 1 && valid && reread.Find(section, key))
    fuzz::PropertyFailed("the deleted key is still there");
  if (action == 2 && ProfileFile::IsValidSection(section) && !reread.Keys(section).empty())
    fuzz::PropertyFailed("the deleted section still has keys");
  return 0;
}
