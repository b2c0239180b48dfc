#include "database/ini_access.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/replace_all.h"
#include "runtime/text_case.h"
#include "session/session.h"

namespace ostravel {
namespace {

std::string SectionName(std::string_view type, std::string_view category) {
  std::string section(type);
  if (!category.empty()) {
    section += '-';
    section += category;
  }
  return section;
}

// The entry's value and description, from at most limit characters of the stored text.
std::string ReadEntry(Session& s, std::string_view type, std::string_view category,
                      std::string_view key, std::string* description, std::size_t limit) {
  const auto file = s.db.Profiles.Read(s.db.IniFile);
  const std::string* value = file->Find(SectionName(type, category), key);
  std::string text = value == nullptr ? std::string() : value->substr(0, limit);
  ReplaceAll(text, " (", "(");
  const auto bar = text.find('|');
  if (bar == std::string::npos) {
    if (description != nullptr) description->clear();
    return text;
  }
  if (description != nullptr) *description = TrimBlanks(std::string_view(text).substr(bar + 1));
  text.resize(bar);
  return text;
}

}  // namespace

std::string IniGetEntry(Session& s, std::string_view type, std::string_view category,
                        std::string_view key, std::string* description) {
  return ReadEntry(s, type, category, key, description, kMaxEntryLength);
}

std::string IniGetWholeEntry(Session& s, std::string_view type, std::string_view category,
                             std::string_view key, std::string* description) {
  return ReadEntry(s, type, category, key, description, std::string::npos);
}

std::string IniGetKeys(Session& s, std::string_view section) {
  const auto file = s.db.Profiles.Read(s.db.IniFile);
  std::string list;
  for (const auto& key : file->Keys(section)) {
    list += key;
    list += '\0';
  }
  return list;
}

bool IniPutEntry(Session& s, std::string_view type, std::string_view category, std::string_view key,
                 std::string_view value) {
  s.db.DbChanged = true;
  s.memory.NameSearchStart = s.memory.MemoryCount;
  const std::string section = SectionName(type, category);
  if (value != kNul) return s.db.Profiles.Set(s.db.IniFile, section, key, value);
  if (key != kNul) return s.db.Profiles.DeleteKey(s.db.IniFile, section, key);
  return s.db.Profiles.DeleteSection(s.db.IniFile, section);
}

bool IniPutEntries(Session& s, const std::vector<IniEdit>& edits) {
  s.db.DbChanged = true;
  s.memory.NameSearchStart = s.memory.MemoryCount;
  return s.db.Profiles.Edit(s.db.IniFile, [&](ProfileFile& file) {
    auto result = ProfileFile::EditResult::Unchanged;
    for (const IniEdit& edit : edits) {
      const auto made = edit.value == kNul ? file.DeleteKey(edit.section, edit.key)
                                           : file.Set(edit.section, edit.key, edit.value);
      if (made == ProfileFile::EditResult::Refused) return made;
      if (made == ProfileFile::EditResult::Changed) result = made;
    }
    return result;
  });
}

std::string PopListItem(std::string& list) {
  const auto nul = list.find('\0');
  if (nul == std::string::npos) return {};
  std::string item = list.substr(0, nul);
  list.erase(0, nul + 1);
  return item;
}

std::string FindEntry(Session& s, std::string_view type, std::string_view categories,
                      std::string& category, std::string& name) {
  if (category.empty()) {
    std::string list = AsciiUpper(categories) + kNul;
    for (std::string c = PopListItem(list); !c.empty(); c = PopListItem(list)) {
      const std::string prefix = AsciiUpper(IniGetEntry(s, type, "", c));
      if (prefix.empty()) {
        std::string value = IniGetEntry(s, type, c, name);
        if (!value.empty()) return value;
      } else if (name.starts_with(prefix)) {
        name.erase(0, prefix.size());
        category = c;
        break;
      }
    }
  }
  return IniGetEntry(s, type, category, name);
}

void SetListTabs(Session& s, ListModel& list, Control control, std::string stops) {
  std::vector<int> numbers;
  while (!stops.empty() && numbers.size() < kMaxTabStops) {
    numbers.push_back(PopNumber(stops, ","));
  }
  list.TabStops = std::move(numbers);
  s.ui.Changed(control);
}

int PopNumber(std::string& list, std::string_view separator) {
  double number = 0;
  try {
    number = RoundHalfEven(LeadingNumber(list));
  } catch (const RunFailure&) {
    number = 0;  // beyond the double range: no usable number stands there
  }
  const auto at = separator.empty() ? std::string::npos : list.find(separator);
  list = at == std::string::npos ? std::string() : list.substr(at + separator.size());
  return static_cast<int>(std::clamp(number, double{INT_MIN}, double{INT_MAX}));
}

}  // namespace ostravel
