// Whole gateway requests, calculations and change requests with hostile field values, against
// a program folder in a sandbox. After each request it checks that nothing was written outside
// the program and register folders, that every database file keeps its line structure, that no
// answer page holds markup that came from the request, and that no account holds a password
// in plain text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <filesystem>
#include <set>

#include "database/key_lists.h"
#include "database/settings.h"
#include "fuzz_support.h"
#include "gateway/gateway_requests.h"
#include "profile/profile_file.h"
#include "session/session.h"

using namespace ostravel;
namespace fs = std::filesystem;

namespace {

// Marks a field value; it may reach a page only escaped.
constexpr const char* kCanary = "<zq";

std::string Lower(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The name after a "<": an optional "/" or "!" and letters and digits, in lower case.
std::string TagAfter(const std::string& text, std::size_t lt) {
  std::size_t end = lt + 1;
  if (end < text.size() && (text[end] == '/' || text[end] == '!')) ++end;
  while (end < text.size() && std::isalnum(static_cast<unsigned char>(text[end])))
    ++end;
  return Lower(text.substr(lt, end - lt));
}

// The markup the program writes: what the templates hold and the memory lines and reports add.
std::set<std::string> KnownTags(const fuzz::Sandbox& sandbox) {
  std::set<std::string> tags = {"<input", "<br", "<p", "<pre", "</pre", "<a", "</a", "<h4", "</h4"};
  for (const char* name : {"tolvane.ht_", "tolvanep.ht_"}) {
    const std::string text = fuzz::ReadFile(sandbox.program() + "/" + name);
    for (std::size_t p = text.find('<'); p != std::string::npos; p = text.find('<', p + 1))
      tags.insert(TagAfter(text, p));
  }
  return tags;
}

std::vector<std::string> Entries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Every line is blank, a comment, a section header or an entry.
void CheckLines(const std::string& file, const std::string& text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == ';') continue;
    if (line[first] == '[' && line.find(']') != std::string::npos) continue;
    if (line.find('=') != std::string::npos && line[first] != '=') continue;
    fuzz::PropertyFailed(file + " holds the line \"" + line + "\"");
  }
}

void CheckDatabase(const fuzz::Sandbox& sandbox) {
  for (const char* name : {"TOLVANE.INI", "TOLVANEC.INI", "TOLVANEP.INI"}) {
    const std::string text = fuzz::ReadFile(sandbox.program() + "/" + name);
    CheckLines(name, text);
  }
  const ProfileFile main(fuzz::ReadFile(sandbox.program() + "/TOLVANE.INI"));
  if (main.Keys("AtomicWeights").empty() || main.Keys("Constants").empty())
    fuzz::PropertyFailed("TOLVANE.INI lost a section");
  const ProfileFile perm(fuzz::ReadFile(sandbox.program() + "/TOLVANEP.INI"));
  for (const std::string& address : perm.Keys("Permissions")) {
    const std::string& stored = *perm.Find("Permissions", address);
    if (stored.starts_with("$argon2id$")) continue;
    if (address == "old@example.org" && stored == "legacy-password") continue;
    fuzz::PropertyFailed("a password in plain text for " + address);
  }
}

void CheckAnswerPages(const fuzz::Sandbox& sandbox, const std::set<std::string>& tags) {
  for (const auto& entry : fs::directory_iterator(sandbox.register_folder())) {
    const std::string page = fuzz::ReadFile(entry.path().string());
    if (Lower(page).find(kCanary) != std::string::npos)
      fuzz::PropertyFailed("a field value reached the page unescaped");
    for (std::size_t p = page.find('<'); p != std::string::npos; p = page.find('<', p + 1)) {
      if (!tags.contains(TagAfter(page, p)))
        fuzz::PropertyFailed("markup from the request: " + page.substr(p, 40));
    }
    fs::remove(entry.path());
  }
}

void CheckFolders(const fuzz::Sandbox& sandbox, const std::vector<std::string>& workingFolder) {
  for (const std::string& file : sandbox.Files()) {
    const fs::path path(file);
    const std::string parent = path.parent_path().string();
    if (parent != "program" && parent != "program/register")
      fuzz::PropertyFailed("a file outside the program folders: " + file);
  }
  if (Entries(fs::current_path()) != workingFolder)
    fuzz::PropertyFailed("the working folder changed");
}

// A field value: sometimes one the request needs to get far, else fuzzed bytes, sometimes
// with the canary in front.
std::string Value(FuzzedDataProvider& input, std::initializer_list<const char*> likely) {
  std::string value;
  const std::size_t pick = input.ConsumeIntegralInRange<std::size_t>(0, likely.size());
  if (pick < likely.size()) {
    value = likely.begin()[pick];
  } else {
    value = input.ConsumeRandomLengthString(48);
  }
  if (input.ConsumeBool()) value = kCanary + value;
  return value;
}

std::string CalcRequest(FuzzedDataProvider& input) {
  std::string r = "GET /calc?CALC=" + Value(input, {"2*3", "MW(CuSO4.5H2O)", "x^2=2, X0=1", "<R>"});
  r += "&x=" + Value(input, {"1", "-2.5E3"});
  r += "&nsig=" + Value(input, {"4", "40000"});
  r += "&NM=" + Value(input, {"2", "-1", "1001"});
  r += "&M1=" + Value(input, {"3.5"}) + "&N1=" + Value(input, {"first", "<script>"});
  r += "&M2=" + Value(input, {"1E308"}) + "&N2=" + Value(input, {"'\"&"});
  r += "&ID=" + Value(input, {"7"});
  return r;
}

std::string ModifyRequest(FuzzedDataProvider& input) {
  std::string r = "POST /calc?MODIFY=" + Value(input, {"A=2", "B=<MYA>*2|twice\nC=", "A="});
  r += "&user=" + Value(input, {"old@example.org", "new@example.org"});
  r += "&name=" + Value(input, {"Old User", "New User"});
  r += "&pass=" + Value(input, {"legacy-password", "secret-1", "secret-1=secret-2"});
  r += "&type=" + Value(input, {"Mine", "Other"});
  r += "&pre=" + Value(input, {"MY", "none", "MY=OT"});
  r += "&GO=" + Value(input, {"List My Contributions", "Just Change My Password", "Store"});
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::SilentPlatform ui;
  static fuzz::Sandbox sandbox;
  static const std::set<std::string> tags = KnownTags(sandbox);
  static const std::vector<std::string> workingFolder = Entries(fs::current_path());

  FuzzedDataProvider input(data, size);
  sandbox.RestoreDatabase();
  Session s(ui);
  s.db.ProgramFolder = sandbox.program();
  s.gateway.PasswordHash = {1, 8192};  // libsodium's least costs: many requests a second
  LoadSettings(s);
  LoadLists(s);
  if (!OpenRegisterFolder(s, sandbox.register_folder())) fuzz::PropertyFailed("no register folder");

  const int requests = input.ConsumeIntegralInRange(1, 3);
  for (int i = 0; i < requests && input.remaining_bytes() > 0; ++i) {
    std::string command = std::to_string(input.ConsumeIntegralInRange(1, 20)) + " ";
    command += input.ConsumeBool() ? CalcRequest(input) : ModifyRequest(input);
    if (input.ConsumeBool()) command += " HTTP/1.1";
    Form_LinkExecute(s, command);
    for (int tick = 0; tick < 10 && s.window.Timer1Enabled; ++tick)
      Timer1_Timer(s);
    CheckAnswerPages(sandbox, tags);
  }
  CheckDatabase(sandbox);
  CheckFolders(sandbox, workingFolder);
  return 0;
}
