#include "gateway/contributions.h"

#include <algorithm>
#include <ctime>
#include <exception>

#include "database/ini_access.h"
#include "database/key_lists.h"
#include "gateway/accounts.h"
#include "gateway/definition_store.h"
#include "gateway/gateway_requests.h"
#include "gateway/html_pages.h"
#include "gateway/text_utils.h"
#include "runtime/scoped_value.h"
#include "session/session.h"

namespace ostravel {
namespace {

const char* const kCrLf = "\r\n";

// Puts the access routines back on the main file when the request ends, however it ends.
class MainFileAtEnd {
 public:
  explicit MainFileAtEnd(Session& s) : s_(s) {}
  ~MainFileAtEnd() { s_.db.IniFile = s_.db.MainIniFile; }
  MainFileAtEnd(const MainFileAtEnd&) = delete;
  MainFileAtEnd& operator=(const MainFileAtEnd&) = delete;

 private:
  Session& s_;
};

void ListContributions(Session& s, const ModifyRequest& r, ModifyOutcome& out) {
  s.db.IniFile = s.db.PermIniFile;
  std::string keys = IniGetKeys(s, r.address);
  if (keys.empty()) s.engine.EvalError = "You have no contributions to date";
  keys += kNul;
  out.report = "Contributions of " + HtmlText(r.address) + " to date include:<p><pre>";
  for (std::string key = PopListItem(keys); !key.empty(); key = PopListItem(keys)) {
    out.report += HtmlText(key + "=" + IniGetEntry(s, r.address, "", key)) + kCrLf;
  }
  out.report += "</pre>";
  out.reportMade = true;
}

void CarryOut(Session& s, const ModifyRequest& r, ModifyOutcome& out) {
  // A change sent with GET would leave the password in the address bar, in the browser's
  // history and in the web server's log.
  if (r.method != "POST") {
    s.engine.EvalError =
        "Changes are accepted only as the contribution page sends them (with POST). Nothing "
        "was changed.";
    return;
  }
  if (r.action.empty()) {
    s.engine.EvalError = "Transmission difficulties. Try sending less data.";
    return;
  }
  if (!SignIn(s, r)) return;
  if (r.action == "List My Contributions") {
    ListContributions(s, r, out);
  } else if (r.action == "Just Change My Password") {
    out.report = r.newPassword != r.password ? "OK--password changed" : "Password was NOT changed";
    out.reportMade = true;
  } else {
    StoreDefinitions(s, r, out);
  }
}

void WriteAnswer(Session& s, const std::string& answerFile, const ModifyOutcome& out) {
  const std::string& error = s.engine.EvalError;
  std::string fields;
  if (out.reportMade) fields += kNul + "mess=" + out.report;
  fields += kNul + "err=" + HtmlText(error.empty() ? "SUCCESS!" : error) + kNul;
  const std::string page = ReadTemplate(s.ui, s.db.ProgramFolder + "/tolvanep.ht_", fields) + kCrLf;
  WriteAnswerFile(s, answerFile, page);  // an answer that cannot be written is skipped
}

}  // namespace

std::vector<std::string> DefinitionLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    lines.emplace_back(text.substr(start, end - start));
    if (end == text.size()) break;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

std::string RecordTimestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

void HandleModifyRequest(Session& s, const std::string& fields, const std::string& answerFile) {
  MainFileAtEnd mainFileAtEnd(s);
  s.db.Profiles.KeepPrivate(s.db.PermIniFile);  // addresses and password hashes
  s.window.lstKey.Visible = false;
  s.ui.Changed(Control::KeyList);
  const ModifyRequest request = ReadModifyRequest(fields);
  s.engine.EvalError.clear();
  s.lists.CurType = "Contributed";
  s.lists.CurCategory = request.category;

  ModifyOutcome out;
  try {
    CarryOut(s, request, out);
  } catch (const std::exception&) {
    // Out of memory or the like: never answered as a success.
    if (s.engine.EvalError.empty()) {
      s.engine.EvalError = "The request could not be completed. Please try again later.";
    }
  }
  s.db.IniFile = s.db.MainIniFile;
  WriteAnswer(s, answerFile, out);

  if (out.changed) {
    const ScopedValue quiet(s.flags.QuietMode, true);
    try {
      LoadLists(s);
      MakeHtmlPages(s);
    } catch (const std::exception&) {
      // The values are stored; lists and pages follow with the next change.
    }
  }
}

}  // namespace ostravel
