// The access routines through which every other part reads and writes the database files.
// All of them work on the file named by s.db.IniFile at the moment of the call.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace ostravel {

class Session;
struct ListModel;

// The NUL character: separator of key lists and the delete marker of IniPutEntry.
inline const std::string kNul(1, '\0');

// The longest value text IniGetEntry returns; longer values are cut.
inline constexpr std::size_t kMaxEntryLength = 499;
// SetListTabs takes at most this many stops.
inline constexpr std::size_t kMaxTabStops = 21;

// Value of key in section type (or type + "-" + category); the text after the first "|"
// goes to *description, trimmed. Blanks before "(" are removed. Missing reads as "".
std::string IniGetEntry(Session& s, std::string_view type, std::string_view category,
                        std::string_view key, std::string* description = nullptr);
// IniGetEntry without the length limit, for the editor, which must never shorten a value.
std::string IniGetWholeEntry(Session& s, std::string_view type, std::string_view category,
                             std::string_view key, std::string* description = nullptr);
// Every key of the section, each followed by NUL; "" when the section is missing or empty.
// The list holds every key however long it grows: a key left out would be an entry that is
// stored but shown on no menu or page and found by no calculation.
std::string IniGetKeys(Session& s, std::string_view section);
// Writes key=value; value NUL deletes the key; key and value NUL delete the section. Sets
// DbChanged and moves NameSearchStart to the newest memory. Returns false when nothing could
// be written: a key or section name that would break the file's lines, or a file that cannot
// be replaced (callers that have no use for it ignore it).
bool IniPutEntry(Session& s, std::string_view type, std::string_view category, std::string_view key,
                 std::string_view value);
// One change of IniPutEntries: key=value into a whole section name, or, with value NUL, the
// removal of the key.
struct IniEdit {
  std::string section;
  std::string key;
  std::string value;
};
// Makes the edits in IniFile in their order with one locked atomic write, so that a request
// of many entries costs one write: all of them, or none when one is refused or the file
// cannot be written (false). Sets DbChanged and NameSearchStart as IniPutEntry does.
bool IniPutEntries(Session& s, const std::vector<IniEdit>& edits);
// Takes the first item off a key list.
std::string PopListItem(std::string& list);
// Looks a name up among the categories of a type, honouring category prefixes.
std::string FindEntry(Session& s, std::string_view type, std::string_view categories,
                      std::string& category, std::string& name);
// Sets the tab stops of a list from a text such as "70, 75, 80, 85, 90".
void SetListTabs(Session& s, ListModel& list, Control control, std::string stops);
// The number at the front of list, rounded; list loses everything up to the first separator.
int PopNumber(std::string& list, std::string_view separator);

}  // namespace ostravel
