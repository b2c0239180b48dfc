// The delivered isotope table "ISOTOPES.TXT": isotope masses, natural compositions and the
// standard atomic weights with their uncertainties.
#pragma once

#include <string>
#include <string_view>

namespace ostravel {

class Session;
struct IsotopeTable;

inline constexpr const char* kIsotopeFileName = "ISOTOPES.TXT";

// Reads the text of an isotope file into table (which it replaces). Returns "" on success,
// else what is wrong, with the line number.
std::string ParseIsotopeData(std::string_view text, IsotopeTable& table);

// The edition an isotope file names in its [Edition] section (which comes before the others);
// 0 for a file without one, -1 for a file that cannot be read. Cheap: it reads no further
// than the first section of data.
int IsotopeFileEdition(const std::string& path);

// The isotope table of the program folder, read on first use. A missing or damaged file is a
// calculation failure whose message names the file.
const IsotopeTable& IsotopeData(Session& s);

}  // namespace ostravel
