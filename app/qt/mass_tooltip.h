// The tooltip of a memory line that holds a molar or exact mass: the molar mass with its
// uncertainty and the elements that dominate it, the monoisotopic and nominal masses, m/z.
#pragma once

#include <QString>
#include <string>

namespace ostravel {

class Session;

// For a memory line "M3: 18.02<TAB>MW(H2O)" (or EM(, MZ( in any case): the mass report of
// the formula; an empty text for any other line, and while a calculation runs.
QString MassToolTip(Session& s, const std::string& memoryLine);

}  // namespace ostravel
