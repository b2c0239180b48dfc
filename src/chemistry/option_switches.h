// The Options menu: three check items, each with the flag behind it. The flags are not saved;
// every run starts with all three on.
#pragma once

namespace ostravel {

class Session;

// Each inverts its item's check mark and sets the flag to the new mark.
void optCodes_Click(Session& s);     // AbbrevConstants
void optQuick_Click(Session& s);     // QuickSimplex
void optRadicals_Click(Session& s);  // ExpandRadicals
// The menu opens: each mark shows its flag, whatever changed the flag.
void mnuOptions_Click(Session& s);

}  // namespace ostravel
