// The full names of the contributed values. A calculation writes a contributed value as
// <prefix name>: the prefix of its category followed by its own name. The constants of the
// main database are looked up first; then the contributed categories in their order, where a
// category without a prefix answers for the names it holds and a category whose prefix begins
// the name takes the name, whether or not it holds the rest; a name holding "(X)" is looked up
// in the category F(X) alone. So that every full name means exactly one value, a change is
// refused when it would give a full name a second value or put a value where its name never
// reaches it; clashes made before are reported when the pages are written.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace ostravel {

class ProfileFile;
class Session;

// A contributed value: its category and its name in the category.
struct ContributedEntry {
  std::string category;
  std::string key;
  bool Is(const ContributedEntry& other) const;  // the same, without regard to case
};

// The value part of an entry as the access routines read it (IniGetEntry): at most 499
// characters, blanks before "(" removed, the text before the first "|".
std::string ValuePart(const std::string* entry);

class ContributedNames {
 public:
  // Reads the categories of the contributed file and the full names of all their values. The
  // file must outlive this object; after it changes, Added, Removed or CategoriesChanged.
  explicit ContributedNames(const ProfileFile& contributed);

  // The full name of a value in upper case, as a calculation looks it up.
  std::string FullName(const ContributedEntry& entry) const;
  // The category that answers for a full name (upper case) before the given category is
  // reached, so that a value of that category under this name would never be read: one whose
  // prefix begins the name, one without a prefix that holds it, or F(X) for a name holding
  // "(X)". "" when none does.
  std::string Blocker(const std::string& fullName, const std::string& category) const;
  // "Contributed-" and the category, with its prefix when it has one.
  std::string Describe(const std::string& category) const;
  // The values whose full name is fullName, but for the one given.
  std::vector<ContributedEntry> OthersNamed(const std::string& fullName,
                                            const ContributedEntry& except) const;
  // The values of other categories whose full name begins with prefix (upper case).
  std::vector<ContributedEntry> NamesBeginningWith(const std::string& prefix,
                                                   const std::string& exceptCategory) const;
  // The category whose prefix overlaps prefix (upper case): one begins the other. "" if none.
  std::string OverlappingPrefix(const std::string& prefix, const std::string& exceptCategory) const;
  std::string PrefixOf(const std::string& category) const;  // upper case
  std::vector<std::string> KeysOf(const std::string& category) const;

  void Added(const ContributedEntry& entry);
  void Removed(const ContributedEntry& entry);
  // A category entry was written: a new category or a new prefix.
  void CategoriesChanged();

 private:
  struct Category {
    std::string name;
    std::string prefix;  // upper case
  };

  void Index();
  const Category* Find(const std::string& category) const;

  const ProfileFile& file_;
  std::vector<Category> categories_;  // in the order of the file
  std::unordered_map<std::string, std::vector<ContributedEntry>> named_;  // full name -> values
};

// Whether a full name (upper case) is a constant of the main database, found as a calculation
// finds it.
bool IsMainConstant(Session& s, const std::string& fullName);

// The contributed values that a calculation cannot reach by their full names, each described
// in a sentence; empty when every full name means one value.
std::vector<std::string> NameClashes(Session& s);

// Shows NameClashes in a message box, when there are any (the pages are written by hand).
void ReportNameClashes(Session& s);

}  // namespace ostravel
