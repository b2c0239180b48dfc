#include "gateway/full_names.h"

#include <algorithm>

#include "database/ini_access.h"
#include "profile/profile_file.h"
#include "runtime/replace_all.h"
#include "runtime/scoped_value.h"
#include "runtime/text_case.h"
#include "session/session.h"

namespace ostravel {
namespace {

const char* const kFunctionsOfX = "F(X)";

bool HoldsX(const std::string& name) {
  return name.find("(X)") != std::string::npos;
}

std::string Section(const std::string& category) {
  return "Contributed-" + category;
}

}  // namespace

bool ContributedEntry::Is(const ContributedEntry& other) const {
  return AsciiLower(category) == AsciiLower(other.category) &&
         AsciiLower(key) == AsciiLower(other.key);
}

std::string ValuePart(const std::string* entry) {
  if (entry == nullptr) return {};
  std::string text = entry->substr(0, kMaxEntryLength);
  ReplaceAll(text, " (", "(");
  return text.substr(0, text.find('|'));
}

ContributedNames::ContributedNames(const ProfileFile& contributed) : file_(contributed) {
  Index();
}

void ContributedNames::Index() {
  categories_.clear();
  named_.clear();
  for (const std::string& name : file_.Keys("Contributed")) {
    categories_.push_back({name, AsciiUpper(ValuePart(file_.Find("Contributed", name)))});
  }
  for (const Category& category : categories_) {
    for (const std::string& key : file_.Keys(Section(category.name))) {
      Added({category.name, key});
    }
  }
}

const ContributedNames::Category* ContributedNames::Find(const std::string& category) const {
  const std::string folded = AsciiLower(category);
  for (const Category& c : categories_)
    if (AsciiLower(c.name) == folded) return &c;
  return nullptr;
}

std::string ContributedNames::PrefixOf(const std::string& category) const {
  const Category* found = Find(category);
  return found == nullptr ? std::string() : found->prefix;
}

std::vector<std::string> ContributedNames::KeysOf(const std::string& category) const {
  return file_.Keys(Section(category));
}

std::string ContributedNames::FullName(const ContributedEntry& entry) const {
  const std::string key = AsciiUpper(entry.key);
  // A function of x is looked up by its own name in F(X), whatever the category's prefix.
  if (AsciiUpper(entry.category) == kFunctionsOfX && HoldsX(key)) return key;
  return PrefixOf(entry.category) + key;
}

std::string ContributedNames::Blocker(const std::string& fullName,
                                      const std::string& category) const {
  const std::string own = AsciiLower(category);
  if (HoldsX(fullName)) return AsciiUpper(category) == kFunctionsOfX ? "" : kFunctionsOfX;
  for (const Category& c : categories_) {
    if (AsciiLower(c.name) == own) return {};
    if (c.prefix.empty() ? !ValuePart(file_.Find(Section(c.name), fullName)).empty()
                         : fullName.starts_with(c.prefix)) {
      return c.name;
    }
  }
  return {};
}

std::string ContributedNames::Describe(const std::string& category) const {
  const std::string prefix = PrefixOf(category);
  return Section(category) + (prefix.empty() ? "" : " (prefix " + prefix + ")");
}

std::vector<ContributedEntry> ContributedNames::OthersNamed(const std::string& fullName,
                                                            const ContributedEntry& except) const {
  std::vector<ContributedEntry> others;
  if (const auto found = named_.find(fullName); found != named_.end()) {
    for (const ContributedEntry& entry : found->second)
      if (!entry.Is(except)) others.push_back(entry);
  }
  return others;
}

std::vector<ContributedEntry> ContributedNames::NamesBeginningWith(
    const std::string& prefix, const std::string& exceptCategory) const {
  std::vector<ContributedEntry> found;
  const std::string except = AsciiLower(exceptCategory);
  for (const auto& [fullName, entries] : named_) {
    if (!fullName.starts_with(prefix)) continue;
    for (const ContributedEntry& entry : entries)
      if (AsciiLower(entry.category) != except) found.push_back(entry);
  }
  return found;
}

std::string ContributedNames::OverlappingPrefix(const std::string& prefix,
                                                const std::string& exceptCategory) const {
  const std::string except = AsciiLower(exceptCategory);
  for (const Category& c : categories_) {
    if (c.prefix.empty() || AsciiLower(c.name) == except) continue;
    if (c.prefix.starts_with(prefix) || prefix.starts_with(c.prefix)) return c.name;
  }
  return {};
}

void ContributedNames::Added(const ContributedEntry& entry) {
  auto& entries = named_[FullName(entry)];
  if (std::none_of(entries.begin(), entries.end(),
                   [&entry](const ContributedEntry& e) { return e.Is(entry); }))
    entries.push_back(entry);
}

void ContributedNames::Removed(const ContributedEntry& entry) {
  const auto found = named_.find(FullName(entry));
  if (found == named_.end()) return;
  std::erase_if(found->second, [&entry](const ContributedEntry& e) { return e.Is(entry); });
  if (found->second.empty()) named_.erase(found);
}

void ContributedNames::CategoriesChanged() {
  Index();
}

bool IsMainConstant(Session& s, const std::string& fullName) {
  // As the constant look-up of a calculation: names holding (X) in F(X) alone.
  std::string category = HoldsX(fullName) ? kFunctionsOfX : "";
  std::string name = fullName;
  const ScopedValue toMain(s.db.IniFile, s.db.MainIniFile);
  return !FindEntry(s, "Constants", s.lists.ConstCategories, category, name).empty();
}

std::vector<std::string> NameClashes(Session& s) {
  const auto file = s.db.Profiles.Read(s.db.ContribIniFile);
  const ContributedNames names(*file);
  std::vector<std::string> clashes;
  for (const std::string& category : file->Keys("Contributed")) {
    for (const std::string& key : names.KeysOf(category)) {
      if (ValuePart(file->Find(Section(category), key)).empty()) continue;
      const std::string fullName = names.FullName({category, key});
      const std::string where = "<" + fullName + "> of Contributed-" + category;
      if (IsMainConstant(s, fullName)) {
        clashes.push_back(where + " is hidden by a constant of the main database");
      } else if (const std::string blocker = names.Blocker(fullName, category); !blocker.empty()) {
        clashes.push_back(where + " is read from " + names.Describe(blocker));
      }
    }
  }
  return clashes;
}

void ReportNameClashes(Session& s) {
  const std::vector<std::string> clashes = NameClashes(s);
  if (clashes.empty()) return;
  std::string text = "These contributed values cannot be reached by their names:";
  for (const std::string& clash : clashes)
    text += "\n" + clash;
  s.ui.MessageBox(text, MessageIcon::Exclamation, kAppTitle);
}

}  // namespace ostravel
