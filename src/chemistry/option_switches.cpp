#include "chemistry/option_switches.h"

#include "session/session.h"

namespace ostravel {
namespace {

void Toggle(Session& s, bool& checked, bool& flag) {
  checked = !checked;
  flag = checked;
  s.ui.Changed(Control::Menus);
}

}  // namespace

void optCodes_Click(Session& s) {
  Toggle(s, s.window.optCodesChecked, s.flags.AbbrevConstants);
}

void optQuick_Click(Session& s) {
  Toggle(s, s.window.optQuickChecked, s.flags.QuickSimplex);
}

void optRadicals_Click(Session& s) {
  Toggle(s, s.window.optRadicalsChecked, s.flags.ExpandRadicals);
}

void mnuOptions_Click(Session& s) {
  s.window.optCodesChecked = s.flags.AbbrevConstants;
  s.window.optQuickChecked = s.flags.QuickSimplex;
  s.window.optRadicalsChecked = s.flags.ExpandRadicals;
  s.ui.Changed(Control::Menus);
}

}  // namespace ostravel
