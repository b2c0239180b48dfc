// The small database the tests share, written into a temporary program folder.
//
// Its main file holds four significant digits, the constant categories Physical (the gas
// constant R) and Ksp (prefix KSP, silver chloride) and the example category Basics (the molar
// mass of water). A test adds what it needs by name, so that it states only how its database
// differs:
//   TestDatabase().Avogadro().Radical("Me", "CH3").Category("Contributed", "Mine", "MY|me@x.org")
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ostravel {
class Session;
}

namespace ostravel::testing {

class TempDir;

class TestDatabase {
 public:
  TestDatabase();

  // Sets key of section to value: in place when the section has the key, after its last entry
  // when not; a section the database lacks is added at the end of its file. Sections whose
  // names begin with "Contributed" belong to the contributed file, all others to the main one.
  TestDatabase& Set(const std::string& section, const std::string& key, const std::string& value);
  // Removes a section with all its entries.
  TestDatabase& Remove(const std::string& section);

  // A category of type ("Constants", "Examples" or "Contributed"); its value is the prefix, and
  // for a contributed category the prefix, "|" and the owner.
  TestDatabase& Category(const std::string& type, const std::string& name,
                         const std::string& value = "");
  // An entry of a category; text is the value, then "|" and the description if there is one.
  TestDatabase& Entry(const std::string& type, const std::string& category, const std::string& key,
                      const std::string& text);
  // A radical of the main database or of the contributed one.
  TestDatabase& Radical(const std::string& name, const std::string& formula);
  TestDatabase& ContributedRadical(const std::string& name, const std::string& formula);
  // NA, the Avogadro constant, in Physical.
  TestDatabase& Avogadro();

  // The text of the main file (TOLVANE.INI) and of the contributed file (TOLVANEC.INI), with
  // CR LF line ends as the delivered files have; "" for a file without sections.
  std::string Main() const;
  std::string Contributed() const;

  // Writes the main file into dir and, when the database has contributed sections, the
  // contributed file.
  void Write(const TempDir& dir) const;
  // Writes the files and loads them into s as the program's start does (LoadProgramFolder).
  void Load(const TempDir& dir, Session& s) const;

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
  };
  std::string Text(bool contributed) const;

  std::vector<Section> sections_;
};

// Makes dir the program folder of s and loads its database files as the program's start does:
// the options and atomic weights, then the category lists.
void LoadProgramFolder(const TempDir& dir, Session& s);

}  // namespace ostravel::testing
