#include "startup/modify_database.h"

#include <fstream>

#include "database/database_editor.h"
#include "database/key_lists.h"
#include "gateway/html_pages.h"
#include "runtime/failure.h"
#include "session/session.h"

namespace ostravel {

void mnuModify_Click(Session& s) {
  RunStep([&] {
    s.window.lstKey.Visible = false;
    s.ui.Changed(Control::KeyList);
  });
  s.db.DbChanged = false;
  RunStep([&] {
    frmModify::Form_Load(s);
    s.ui.ShowModal(Dialog::ModifyDatabase);
  });
  frmModify::Form_Unload(s);
  if (!s.db.DbChanged) return;
  RunStep([&] { LoadLists(s); });
  // On a machine that serves the web version the static pages follow the database. The
  // editor changes constants and examples, so their pages are made again, not taken from the
  // links cache.
  RunStep([&] {
    if (!std::ifstream(s.db.ProgramFolder + "/tolvane.ht_").is_open()) return;
    s.gateway.IndexRefsCache.clear();
    MakeHtmlPages(s);
  });
}

}  // namespace ostravel
