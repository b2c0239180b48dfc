// What the database editor accepts as an entry: keys that can be stored as one line of the
// database file and, for constants, typed in a calculation as <NAME>; values that read back
// as they were typed.
#pragma once

#include <string>
#include <string_view>

namespace ostravel {

// Why key cannot be the key of an entry of type ("Constants", "Examples", ...), in a sentence
// that names the key; "" when it can.
std::string KeyProblem(std::string_view type, std::string_view key);

// Why value (with description) cannot be stored so that it reads back unchanged; "" when it
// can. The database reads at most kMaxEntryLength characters of value, "|" and description.
std::string EntryProblem(std::string_view value, std::string_view description);

}  // namespace ostravel
