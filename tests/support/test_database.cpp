#include "support/test_database.h"

#include <algorithm>

#include "database/key_lists.h"
#include "database/settings.h"
#include "session/session.h"
#include "support/temp_dir.h"

namespace ostravel::testing {

TestDatabase::TestDatabase() {
  Set("Options", "Default Significant Digits", "4");
  Category("Constants", "Physical");
  Category("Constants", "Ksp", "KSP");
  Entry("Constants", "Physical", "R", "8.314|gas constant");
  Entry("Constants", "Ksp", "AGCL", "1.8E-10|silver chloride");
  Category("Examples", "Basics");
  Entry("Examples", "Basics", "Water", "MW(H2O)|molar mass of water");
}

TestDatabase& TestDatabase::Set(const std::string& section, const std::string& key,
                                const std::string& value) {
  auto found = std::find_if(sections_.begin(), sections_.end(),
                            [&](const Section& s) { return s.name == section; });
  if (found == sections_.end()) found = sections_.insert(sections_.end(), Section{section, {}});
  auto& entries = found->entries;
  const auto entry =
      std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.first == key; });
  if (entry == entries.end())
    entries.emplace_back(key, value);
  else
    entry->second = value;
  return *this;
}

TestDatabase& TestDatabase::Remove(const std::string& section) {
  std::erase_if(sections_, [&](const Section& s) { return s.name == section; });
  return *this;
}

TestDatabase& TestDatabase::Category(const std::string& type, const std::string& name,
                                     const std::string& value) {
  return Set(type, name, value);
}

TestDatabase& TestDatabase::Entry(const std::string& type, const std::string& category,
                                  const std::string& key, const std::string& text) {
  return Set(type + "-" + category, key, text);
}

TestDatabase& TestDatabase::Radical(const std::string& name, const std::string& formula) {
  return Set("Constants-Radicals", name, formula);
}

TestDatabase& TestDatabase::ContributedRadical(const std::string& name,
                                               const std::string& formula) {
  return Set("Contributed-Radicals", name, formula);
}

TestDatabase& TestDatabase::Avogadro() {
  return Entry("Constants", "Physical", "NA", "6.02214076E23|Avogadro constant");
}

std::string TestDatabase::Text(bool contributed) const {
  std::string text;
  for (const Section& section : sections_) {
    if (section.name.starts_with("Contributed") != contributed) continue;
    text += "[" + section.name + "]\r\n";
    for (const auto& [key, value] : section.entries)
      text += key + "=" + value + "\r\n";
  }
  return text;
}

std::string TestDatabase::Main() const {
  return Text(false);
}

std::string TestDatabase::Contributed() const {
  return Text(true);
}

void TestDatabase::Write(const TempDir& dir) const {
  dir.Write("TOLVANE.INI", Main());
  if (const std::string contributed = Contributed(); !contributed.empty())
    dir.Write("TOLVANEC.INI", contributed);
}

void TestDatabase::Load(const TempDir& dir, Session& s) const {
  Write(dir);
  LoadProgramFolder(dir, s);
}

void LoadProgramFolder(const TempDir& dir, Session& s) {
  s.db.ProgramFolder = dir.path().string();
  LoadSettings(s);
  LoadLists(s);
}

}  // namespace ostravel::testing
