// What Ostravel knows about the mass of one formula, as lines for people: the molar mass with
// the uncertainty that the standard atomic weights give it and the elements that dominate
// that uncertainty, the monoisotopic and nominal masses, and m/z for an ion.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ostravel {

class Session;

// Label and text of each line, for the formula as typed: "molar mass", "18.0150 ± 0.0011
// g/mol (uncertainty mostly from O 86 %, H 14 %)" and so on. A mass that cannot be given
// (an element without a natural isotope has no monoisotopic mass) has a line that says why.
// A text that is no formula is a calculation failure naming it. Latin-1 text.
std::vector<std::pair<std::string, std::string>> MassReport(Session& s, const std::string& formula);

// The same lines joined as "label: text" lines, for a tooltip.
std::string MassReportText(Session& s, const std::string& formula);

}  // namespace ostravel
