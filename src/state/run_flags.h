// Flags that steer the whole run.
#pragma once

namespace ostravel {

struct RunFlags {
  bool QuietMode = false;       // a gateway request is answered: no message boxes, no clipboard
  bool Unattended = false;      // no user interaction: one-shot command line and gateway
  bool QuickSimplex = true;     // menu optQuick: solve without showing the solver window
  bool AbbrevConstants = true;  // menu optCodes: insert constants as <name>
  bool ExpandRadicals = true;   // menu optRadicals: radicals win over element symbols
};

}  // namespace ostravel
