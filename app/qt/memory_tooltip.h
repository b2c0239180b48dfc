// The tooltip of a memory line that holds a mass: for a molar mass, how its formula was read,
// as ostravel --explain prints it (each element's count, mass and mass percent, the parts of a
// hydrate or mixture, then the mass report: uncertainty, monoisotopic and nominal masses); for
// an exact mass or m/z, the mass report alone.
#pragma once

#include <QString>
#include <string>

class QHelpEvent;
class QListWidget;

namespace ostravel {

class Session;

// The reading of the formula of a memory line named MW(formula), as plain text; "" for any
// other line, for a formula that no longer reads, and while a line is calculated.
QString MolarMassReading(Session& s, const std::string& memoryLine);

// Shows the reading and the mass report as the tooltip of the line under the mouse; false
// when that line has neither (the list then shows its usual tooltip).
bool ShowMemoryToolTip(Session& s, QListWidget* memories, QHelpEvent* event);

}  // namespace ostravel
