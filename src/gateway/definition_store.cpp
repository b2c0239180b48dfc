#include "gateway/definition_store.h"

#include <algorithm>
#include <string_view>

#include "database/ini_access.h"
#include "engine/engine.h"
#include "gateway/accounts.h"
#include "gateway/contribution_changes.h"
#include "gateway/contributions.h"
#include "gateway/full_names.h"
#include "gateway/html_pages.h"
#include "gateway/request_limits.h"
#include "profile/profile_file.h"
#include "runtime/text_case.h"
#include "session/session.h"

namespace ostravel {
namespace {

const char* const kCrLf = "\r\n";
constexpr std::string_view kUnusableInNames = "<>;'\"|[]{}=";

bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 32 || c == 127; });
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string::npos;
}

// A name that can be an entry of the files and be written as <prefix name> in a calculation.
// A new one holds no ":" either, which joins category and name in the user's records.
bool IsUsableName(std::string_view name, bool isNew) {
  return ProfileFile::IsValidKey(name) && name.find_first_of(kUnusableInNames) == name.npos &&
         !HasControlCharacter(name) && !(isNew && name.find(':') != name.npos);
}

bool IsUsablePrefix(std::string_view prefix) {
  return prefix.find_first_of(kUnusableInNames) == prefix.npos && prefix.find(' ') == prefix.npos &&
         !HasControlCharacter(prefix);
}

// A category that can be a key of "Contributed", part of a section name and of a record's key.
bool IsUsableCategory(const std::string& category, bool isNew) {
  return ProfileFile::IsValidKey(category) && ProfileFile::IsValidSection(category) &&
         !HasControlCharacter(category) && !(isNew && category.find(':') != category.npos);
}

// Whether a key list holds the item, compared without regard to case.
bool ListHolds(std::string list, const std::string& item) {
  const std::string wanted = AsciiLower(item);
  for (std::string entry = PopListItem(list); !entry.empty(); entry = PopListItem(list)) {
    if (AsciiLower(entry) == wanted) return true;
  }
  return false;
}

bool SameText(const std::string& a, const std::string& b) {
  return AsciiLower(a) == AsciiLower(b);
}

// Whether the full name is a constant or an example of the main database: a contribution of
// that name could never be reached, since constants are looked up first.
bool IsReserved(Session& s, const std::string& fullName) {
  if (IsMainConstant(s, fullName)) return true;
  s.db.IniFile = s.db.MainIniFile;
  std::string category, name = fullName;
  return !FindEntry(s, "Examples", s.lists.ExampleCategories, category, name).empty();
}

// Whether the user's records let them change the value name of category. A record is keyed
// category ":" name. A key with more than one ":", written before ":" was refused in new names
// and categories, could name several values: it grants the one whose present value it
// recorded (a record holds the definition, "'", the user's name and the time), and only when
// exactly one value matches, so that no record grants more than it did when it was written.
bool MayChange(const PendingChanges& changes, const std::string& address,
               const std::string& category, const std::string& name) {
  const std::string recordKey = category + ":" + name;
  const std::string* record = changes.Record(address, recordKey);
  if (record == nullptr) return false;
  if (std::count(recordKey.begin(), recordKey.end(), ':') == 1) return true;
  int matching = 0;
  bool itIsThisOne = false;
  for (auto colon = recordKey.find(':'); colon != std::string::npos;
       colon = recordKey.find(':', colon + 1)) {
    const std::string c = recordKey.substr(0, colon), n = recordKey.substr(colon + 1);
    const std::string* value = changes.Value("Contributed-" + c, n);
    if (value == nullptr || !record->starts_with(*value + "'")) continue;
    ++matching;
    itIsThisOne = itIsThisOne || (SameText(c, category) && SameText(n, name));
  }
  return matching == 1 && itIsThisOne;
}

// The checks a value must pass under its full name: no constant of the main database, no
// other contributed value and no earlier category may answer for it. "" when it passes.
std::string NameProblem(Session& s, const ContributedNames& names, const ContributedEntry& entry,
                        const std::string& written) {
  const std::string fullName = names.FullName(entry);
  if (IsReserved(s, fullName)) return "<" + written + "> is a reserved definition";
  if (const auto others = names.OthersNamed(fullName, entry); !others.empty()) {
    return "<" + written + "> is already defined in Contributed-" + others.front().category;
  }
  if (const std::string blocker = names.Blocker(fullName, entry.category); !blocker.empty()) {
    return "<" + written + "> would be read from " + names.Describe(blocker);
  }
  return {};
}

// A new prefix of the category (or the prefix of a new one): the category's values keep one
// meaning each under their new full names, and none of another category is hidden by it.
std::string PrefixProblem(Session& s, const ContributedNames& names, const std::string& category,
                          const std::string& prefix) {
  const std::string upper = AsciiUpper(prefix);
  const std::string shown = prefix.empty() ? "none" : prefix;
  if (!upper.empty()) {
    if (const std::string other = names.OverlappingPrefix(upper, category); !other.empty()) {
      return "Prefix " + prefix + " clashes with " + names.Describe(other) +
             ": a name beginning with both would be read from one category only";
    }
  }
  for (const std::string& key : names.KeysOf(category)) {
    std::string problem = NameProblem(s, names, {category, key}, prefix + key);
    if (!problem.empty()) return "Prefix " + shown + " cannot be used: " + problem;
  }
  if (upper.empty()) return {};
  for (const ContributedEntry& other : names.NamesBeginningWith(upper, category)) {
    const std::string fullName = names.FullName(other);
    if (SameText(names.Blocker(fullName, other.category), category)) {
      return "Prefix " + prefix + " would hide <" + fullName + "> of Contributed-" + other.category;
    }
  }
  return {};
}

// Gathers one line of the definitions: a value to store or, with an empty definition, to
// delete. False when the work ends here; s.engine.EvalError then says why.
bool GatherDefinition(Session& s, const ModifyRequest& r, const std::string& line,
                      PendingChanges& changes, ContributedNames& names, ModifyOutcome& out) {
  std::string& error = s.engine.EvalError;
  const auto eq = line.find('=');
  if (eq == std::string::npos) {
    if (!IsBlank(line)) out.report += "ignoring line (no '=' sign): " + HtmlText(line) + kCrLf;
    return true;
  }
  const std::string name = StripSpaces(line.substr(0, eq));
  std::string definition = line.substr(eq + 1);
  const std::string section = "Contributed-" + r.category;
  const bool exists = changes.Value(section, name) != nullptr;
  if (!IsUsableName(name, !exists)) {
    out.report += "ignoring line (not a usable name): " + HtmlText(line) + kCrLf;
    return true;
  }
  // A definition of blanks only would be stored as an entry without a value, which nobody
  // could tell from a missing one.
  if (IsBlank(definition)) definition.clear();

  const ContributedEntry entry{r.category, name};
  if (IsReserved(s, names.FullName(entry))) {
    error = "<" + r.newPrefix + name + "> is a reserved definition";
    return false;
  }
  // Any entry counts, whatever its value: a definition of only "|" and a description still
  // belongs to the user who made it.
  if (exists && !MayChange(changes, r.address, r.category, name)) {
    error = "permission denied for " + r.category + ":" + name;
    return false;
  }
  if (!definition.empty() && !ValuePart(&definition).empty()) {
    if (std::string problem = NameProblem(s, names, entry, r.newPrefix + name); !problem.empty()) {
      error = std::move(problem);
      return false;
    }
  }
  const std::string record =
      definition.empty() ? kNul : definition + "'" + r.userName + " " + RecordTimestamp();
  if (!changes.PutRecord(r.address, r.category + ":" + name, record) ||
      !changes.PutValue(section, name, definition.empty() ? kNul : definition)) {
    out.report += "ignoring line (not a usable name): " + HtmlText(line) + kCrLf;
    return true;
  }
  if (definition.empty()) {
    names.Removed(entry);
  } else {
    names.Added(entry);
  }
  out.report += HtmlText(name + "=" + definition) + kCrLf;
  return true;
}

// The limits of a request, checked before anything is stored. "" when it keeps to them.
std::string LimitProblem(const ModifyRequest& r, const std::vector<std::string>& lines) {
  using namespace limits;
  if (r.category.size() > kCategory)
    return "A category name may be at most " + std::to_string(kCategory) + " characters long";
  if (r.newPrefix.size() > kPrefix || r.statedPrefix.size() > kPrefix)
    return "A prefix may be at most " + std::to_string(kPrefix) + " characters long";
  const auto count = std::count_if(lines.begin(), lines.end(),
                                   [](const std::string& line) { return !IsBlank(line); });
  if (count > kDefinitionLines) {
    return "A request may hold at most " + std::to_string(kDefinitionLines) +
           " definition lines; this one holds " + std::to_string(count) + ". Nothing was stored.";
  }
  for (const std::string& line : lines) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    if (StripSpaces(line.substr(0, eq)).size() > kName || line.size() - eq - 1 > kDefinition) {
      return "A name may be at most " + std::to_string(kName) + " characters long and a " +
             "definition at most " + std::to_string(kDefinition) + ": " +
             line.substr(0, std::min<std::size_t>(eq, 60)) + ". Nothing was stored.";
    }
  }
  return {};
}

}  // namespace

void StoreDefinitions(Session& s, const ModifyRequest& r, ModifyOutcome& out) {
  std::string& error = s.engine.EvalError;
  if (r.category.empty()) {
    error = "Category type is missing";
    return;
  }
  const std::vector<std::string> lines = DefinitionLines(r.definitions);
  if (std::string problem = LimitProblem(r, lines); !problem.empty()) {
    error = std::move(problem);
    return;
  }
  // Radicals change how every formula is read, for every user.
  if (SameText(r.category, "Radicals")) {
    error =
        "The category Radicals belongs to the site: contributed radicals would change how "
        "every formula is read";
    return;
  }
  PendingChanges changes(s);
  s.db.IniFile = s.db.ContribIniFile;
  // The file decides as well as the list: a category written since the lists were loaded
  // keeps its owner.
  const bool isNew = !ListHolds(s.lists.ContribCategories, r.category) &&
                     changes.Value("Contributed", r.category) == nullptr;
  if (!IsUsableCategory(r.category, isNew)) {
    error =
        "Category type may not contain ':', ']', '=' or control characters, nor begin with "
        "'[' or ';'";
    return;
  }
  std::string owner;
  const std::string storedPrefix = IniGetEntry(s, "Contributed", "", r.category, &owner);
  // Accounts are keys of "Permissions", which match without regard to case.
  const bool isOwner = SameText(owner, r.address);
  if (!isNew && !(r.statedPrefix == storedPrefix && (r.newPrefix == storedPrefix || isOwner))) {
    error = "Prefix for type Contributed-" + r.category + " must be '" +
            (storedPrefix.empty() ? std::string("none") : storedPrefix) + "'";
    return;
  }
  ContributedNames names(changes.Contributed());
  if (isNew || r.newPrefix != storedPrefix) {
    if (!IsUsablePrefix(r.newPrefix) ||
        !changes.PutValue("Contributed", r.category, r.newPrefix + "|" + r.address)) {
      error = "A prefix may not contain blanks or any of " + std::string(kUnusableInNames);
      return;
    }
    names.CategoriesChanged();
    if (std::string problem = PrefixProblem(s, names, r.category, r.newPrefix); !problem.empty()) {
      error = std::move(problem);
      return;
    }
  }
  const std::string heading =
      "[Contributed-" + HtmlText(r.category) + "] " + HtmlText("<" + r.newPrefix + "...>") + kCrLf;
  out.report = heading;
  out.reportMade = true;

  // The lines before a failing one are stored all the same.
  for (const std::string& line : lines) {
    if (!GatherDefinition(s, r, line, changes, names, out)) break;
  }
  if (!changes.Commit(s)) {
    error = "Your definitions could not be stored. Please try again later.";
    out.report = heading;
  }
  out.changed = changes.ValuesChanged();
}

}  // namespace ostravel
