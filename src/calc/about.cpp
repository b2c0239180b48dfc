#include "calc/about.h"

#include "session/session.h"

namespace ostravel {

std::string AboutText(const std::string& databaseFolder) {
  return std::string(kAppTitle) +
         " 4.0, a chemistry calculator.\n\n"
         "Written by the Ostravel author. This program is freeware: it may be "
         "distributed freely.\n\n"
         "Constant values and examples are stored in TOLVANE.INI; users may add more "
         "(File, Modify Database). The database is in the folder " +
         databaseFolder +
         ".\n\n"
         "Calculation results are placed on the clipboard.\n\n"
         "TOLVANE.TXT gives more information.";
}

void mnuAbout_Click(Session& s) {
  s.ui.MessageBox(AboutText(s.db.ProgramFolder), MessageIcon::None, kAppTitle);
}

}  // namespace ostravel
