#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

#include "session/session.h"
#include "startup/startup.h"

namespace ostravel::fuzz {
namespace fs = std::filesystem;

namespace {

// Entries that must end in a clear failure, not in a loop: constants and radicals that refer
// to themselves, directly and through each other, and a contributed category with an owner.
// Each goes in after the header of its section in the delivered files, since only the first
// section of a name counts.
struct Insertion {
  const char* file;
  const char* header;
  const char* lines;
};
const Insertion kHostileEntries[] = {
    {"TOLVANE.INI", "[Constants]\r\n", "Loops=\r\n"},
    {"TOLVANE.INI", "[Constants-Radicals]\r\n", "Qx=QxH\r\nZy=ZwO\r\nZw=ZyN\r\n"},
    {"TOLVANEC.INI", "[Contributed]\r\n", "Mine=MY|old@example.org\r\n"},
};

const char* const kLoopConstants =
    "[Constants-Loops]\r\n"
    "SELF=2*<SELF>|refers to itself\r\n"
    "PING=<PONG>+1\r\n"
    "PONG=<PING>-1\r\n";

const char* const kMineValues =
    "[Contributed-Mine]\r\n"
    "A=1.5|first\r\n"
    "LOOP=<MYLOOP>\r\n";

const char* const kAccounts =
    "[Permissions]\r\n"
    "old@example.org=legacy-password\r\n";

}  // namespace

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path);
}

Session& StartedSession() {
  static SilentPlatform ui;
  static Sandbox sandbox;
  static std::unique_ptr<Session> session = [] {
    auto s = std::make_unique<Session>(ui);
    s->db.ProgramFolder = sandbox.program();
    Form_Load(*s, "");
    return s;
  }();
  return *session;
}

void PropertyFailed(const std::string& what) {
  std::fprintf(stderr, "property violated: %s\n", what.c_str());
  std::abort();
}

Sandbox::Sandbox() {
  std::string pattern = (fs::temp_directory_path() / "ostravel-fuzz-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a sandbox");
  root_ = pattern;
  program_ = root_ + "/program";
  fs::create_directory(program_);
  fs::create_directory(register_folder());
  const std::string data = OSTRAVEL_DATA_DIR;
  for (const char* name : {"tolvane.ht_", "tolvane1.ht_", "tolvanep.ht_", "tolvanes.ht_"})
    WriteFile(program_ + "/" + name, ReadFile(data + "/" + name));
  database_ = {{"TOLVANE.INI", ReadFile(data + "/TOLVANE.INI") + kLoopConstants},
               {"TOLVANEC.INI", ReadFile(data + "/TOLVANEC.INI") + kMineValues},
               {"TOLVANEP.INI", kAccounts}};
  for (const Insertion& insertion : kHostileEntries) {
    for (auto& [name, bytes] : database_) {
      if (name != insertion.file) continue;
      const auto at = bytes.find(insertion.header);
      if (at == std::string::npos) throw std::runtime_error(std::string("no ") + insertion.header);
      bytes.insert(at + std::strlen(insertion.header), insertion.lines);
    }
  }
  RestoreDatabase();
}

Sandbox::~Sandbox() {
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

void Sandbox::RestoreDatabase() const {
  for (const auto& [name, bytes] : database_)
    WriteFile(program_ + "/" + name, bytes);
}

std::vector<std::string> Sandbox::Files() const {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root_)) {
    if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), root_).string());
  }
  return files;
}

}  // namespace ostravel::fuzz
