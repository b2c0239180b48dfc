#include "gateway/contributions.h"

#include <algorithm>
#include <ctime>
#include <exception>

#include "database/ini_access.h"
#include "database/key_lists.h"
#include "database/profile_file.h"
#include "engine/engine.h"
#include "gateway/accounts.h"
#include "gateway/atomic_file.h"
#include "gateway/contribution_changes.h"
#include "gateway/html_pages.h"
#include "gateway/text_utils.h"
#include "session/session.h"

namespace ostravel {
namespace {

const char* const kCrLf = "\r\n";
constexpr std::string_view kUnusableInNames = "<>;'\"|[]{}=";

// What a request leaves for its answer page.
struct Outcome {
  std::string report;  // HTML: the request's own texts in it are escaped
  bool reportMade = false;
  bool changed = false;  // the contributed values changed: lists and pages are made again
};

// Puts the access routines back on the main file when the request ends, however it ends.
class MainFileAtEnd {
 public:
  explicit MainFileAtEnd(Session& s) : s_(s) {}
  ~MainFileAtEnd() { s_.db.IniFile = s_.db.MainIniFile; }
  MainFileAtEnd(const MainFileAtEnd&) = delete;
  MainFileAtEnd& operator=(const MainFileAtEnd&) = delete;

 private:
  Session& s_;
};

bool HasControlCharacter(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) return true;
  }
  return false;
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string::npos;
}

// A name that can be an entry of the files and be written as <prefix name> in a calculation.
bool IsUsableName(std::string_view name) {
  return ProfileFile::IsValidKey(name) && name.find_first_of(kUnusableInNames) == name.npos &&
         !HasControlCharacter(name);
}

bool IsUsablePrefix(std::string_view prefix) {
  return prefix.find_first_of(kUnusableInNames) == prefix.npos && prefix.find(' ') == prefix.npos &&
         !HasControlCharacter(prefix);
}

// A category that can be a key of "Contributed", part of a section name and of a record's key.
bool IsUsableCategory(const std::string& category) {
  return ProfileFile::IsValidKey(category) && ProfileFile::IsValidSection(category) &&
         !HasControlCharacter(category);
}

// Whether a key list holds the item, compared without regard to case.
bool ListHolds(std::string list, const std::string& item) {
  const std::string wanted = AsciiLower(item);
  for (std::string entry = PopListItem(list); !entry.empty(); entry = PopListItem(list)) {
    if (AsciiLower(entry) == wanted) return true;
  }
  return false;
}

// Whether the name, written with the stated prefix, is a constant or an example of the main
// database: a contribution of that name could never be reached, since constants are looked
// up first. Calculations look names up in upper case, so the name is taken so.
bool IsReserved(Session& s, const std::string& prefixedName) {
  s.db.IniFile = s.db.MainIniFile;
  std::string category, name = AsciiUpper(prefixedName);
  if (!FindEntry(s, "Constants", s.lists.ConstCategories, category, name).empty()) return true;
  category.clear();
  name = AsciiUpper(prefixedName);
  return !FindEntry(s, "Examples", s.lists.ExampleCategories, category, name).empty();
}

void ListContributions(Session& s, const ModifyRequest& r, Outcome& out) {
  s.db.IniFile = s.db.PermIniFile;
  std::string keys = IniGetKeys(s, r.address);
  if (keys.empty()) s.engine.EvalError = "You have no contributions to date";
  keys += kNul;
  out.report = "Contributions of " + HtmlText(r.address) + " to date include:<p><pre>";
  for (std::string key = PopListItem(keys); !key.empty(); key = PopListItem(keys)) {
    out.report += HtmlText(key + "=" + IniGetEntry(s, r.address, "", key)) + kCrLf;
  }
  out.report += "</pre>";
  out.reportMade = true;
}

// Gathers one line of the definitions: a value to store or, with an empty definition, to
// delete. False when the work ends here; s.engine.EvalError then says why.
bool GatherDefinition(Session& s, const ModifyRequest& r, const std::string& line,
                      PendingChanges& changes, Outcome& out) {
  std::string& error = s.engine.EvalError;
  const auto eq = line.find('=');
  if (eq == std::string::npos) {
    if (!IsBlank(line)) out.report += "ignoring line (no '=' sign): " + HtmlText(line) + kCrLf;
    return true;
  }
  const std::string name = StripSpaces(line.substr(0, eq));
  std::string definition = line.substr(eq + 1);
  if (!IsUsableName(name)) {
    out.report += "ignoring line (not a usable name): " + HtmlText(line) + kCrLf;
    return true;
  }
  // A definition of blanks only would be stored as an entry without a value, which nobody
  // could tell from a missing one.
  if (IsBlank(definition)) definition.clear();

  if (IsReserved(s, r.statedPrefix + name)) {
    error = "<" + r.statedPrefix + name + "> is a reserved definition";
    return false;
  }
  const std::string section = "Contributed-" + r.category;
  const std::string recordKey = r.category + ":" + name;
  // Any entry counts, whatever its value: a definition of only "|" and a description still
  // belongs to the user who made it.
  if (changes.HasValue(section, name) && !changes.HasRecord(r.address, recordKey)) {
    error = "permission denied for " + recordKey;
    return false;
  }
  const std::string record =
      definition.empty() ? kNul : definition + "'" + r.userName + " " + RecordTimestamp();
  if (!changes.PutRecord(r.address, recordKey, record) ||
      !changes.PutValue(section, name, definition.empty() ? kNul : definition)) {
    out.report += "ignoring line (not a usable name): " + HtmlText(line) + kCrLf;
    return true;
  }
  out.report += HtmlText(name + "=" + definition) + kCrLf;
  return true;
}

void StoreDefinitions(Session& s, const ModifyRequest& r, Outcome& out) {
  std::string& error = s.engine.EvalError;
  if (r.category.empty()) {
    error = "Category type is missing";
    return;
  }
  if (!IsUsableCategory(r.category)) {
    error =
        "Category type may not contain ']', '=' or control characters, nor begin with '[' or ';'";
    return;
  }
  PendingChanges changes(s);
  s.db.IniFile = s.db.ContribIniFile;
  // The file decides as well as the list: a category written since the lists were loaded
  // keeps its owner.
  const bool isNew = !ListHolds(s.lists.ContribCategories, r.category) &&
                     !changes.HasValue("Contributed", r.category);
  std::string owner;
  const std::string storedPrefix = IniGetEntry(s, "Contributed", "", r.category, &owner);
  // Accounts are keys of "Permissions", which match without regard to case.
  const bool isOwner = AsciiLower(owner) == AsciiLower(r.address);
  if (!isNew && !(r.statedPrefix == storedPrefix && (r.newPrefix == storedPrefix || isOwner))) {
    error = "Prefix for type Contributed-" + r.category + " must be '" +
            (storedPrefix.empty() ? std::string("none") : storedPrefix) + "'";
    return;
  }
  if ((isNew || r.newPrefix != storedPrefix) &&
      (!IsUsablePrefix(r.newPrefix) ||
       !changes.PutValue("Contributed", r.category, r.newPrefix + "|" + r.address))) {
    error = "A prefix may not contain blanks or any of " + std::string(kUnusableInNames);
    return;
  }
  const std::string heading =
      "[Contributed-" + HtmlText(r.category) + "] " + HtmlText("<" + r.newPrefix + "...>") + kCrLf;
  out.report = heading;
  out.reportMade = true;

  // The lines before a failing one are stored all the same.
  for (const std::string& line : DefinitionLines(r.definitions)) {
    if (!GatherDefinition(s, r, line, changes, out)) break;
  }
  if (!changes.Commit(s)) {
    error = "Your definitions could not be stored. Please try again later.";
    out.report = heading;
  }
  out.changed = changes.ValuesChanged();
}

void CarryOut(Session& s, const ModifyRequest& r, Outcome& out) {
  // A change sent with GET would leave the password in the address bar, in the browser's
  // history and in the web server's log.
  if (r.method != "POST") {
    s.engine.EvalError =
        "Changes are accepted only as the contribution page sends them (with POST). Nothing "
        "was changed.";
    return;
  }
  if (r.action.empty()) {
    s.engine.EvalError = "Transmission difficulties. Try sending less data.";
    return;
  }
  if (!SignIn(s, r)) return;
  if (r.action == "List My Contributions") {
    ListContributions(s, r, out);
  } else if (r.action == "Just Change My Password") {
    out.report = r.newPassword != r.password ? "OK--password changed" : "Password was NOT changed";
    out.reportMade = true;
  } else {
    StoreDefinitions(s, r, out);
  }
}

void WriteAnswer(Session& s, const std::string& answerFile, const Outcome& out) {
  const std::string& error = s.engine.EvalError;
  std::string fields;
  if (out.reportMade) fields += kNul + "mess=" + out.report;
  fields += kNul + "err=" + HtmlText(error.empty() ? "SUCCESS!" : error) + kNul;
  const std::string page = ReadTemplate(s.ui, s.db.ProgramFolder + "/tolvanep.ht_", fields) + kCrLf;
  WriteFileAtomically(answerFile, page);  // an answer that cannot be written is skipped
}

}  // namespace

std::vector<std::string> DefinitionLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    lines.emplace_back(text.substr(start, end - start));
    if (end == text.size()) break;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

std::string RecordTimestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

void HandleModifyRequest(Session& s, const std::string& fields, const std::string& answerFile) {
  MainFileAtEnd mainFileAtEnd(s);
  s.db.Profiles.KeepPrivate(s.db.PermIniFile);  // addresses and password hashes
  s.window.lstKey.Visible = false;
  s.ui.Changed(Control::KeyList);
  const ModifyRequest request = ReadModifyRequest(fields);
  s.engine.EvalError.clear();
  s.lists.CurType = "Contributed";
  s.lists.CurCategory = request.category;

  Outcome out;
  try {
    CarryOut(s, request, out);
  } catch (const std::exception&) {
    // Out of memory or the like: never answered as a success.
    if (s.engine.EvalError.empty()) {
      s.engine.EvalError = "The request could not be completed. Please try again later.";
    }
  }
  s.db.IniFile = s.db.MainIniFile;
  WriteAnswer(s, answerFile, out);

  if (out.changed) {
    const bool quiet = s.flags.QuietMode;
    s.flags.QuietMode = true;
    try {
      LoadLists(s);
      MakeHtmlPages(s);
    } catch (const std::exception&) {
      // The values are stored; lists and pages follow with the next change.
    }
    s.flags.QuietMode = quiet;
  }
}

}  // namespace ostravel
