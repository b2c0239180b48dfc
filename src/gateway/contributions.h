// Change requests of the web form: web users keep their own named values in categories of the
// type "Contributed" ("TOLVANEC.INI"); their accounts and the records of what each of them
// contributed are kept in "TOLVANEP.INI".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ostravel {

class Session;

// Answers one change request: signs the user in (an address without an account gets one),
// then lists the user's contributions, changes the password, or stores the definitions of the
// field "MODIFY"; writes the answer page from "tolvanep.ht_" into answerFile and, when the
// database changed, reloads the category lists and rewrites the web pages. s.db.IniFile is
// the main file again when it returns.
void HandleModifyRequest(Session& s, const std::string& fields, const std::string& answerFile);

// The lines of the field "MODIFY". A line ends at CR LF, at a lone LF or at a lone CR: the
// contribution page sends the lines of its text area separated by LF, which the request
// decoding keeps (it turns only CR LF into a field boundary).
std::vector<std::string> DefinitionLines(std::string_view text);

// The date and time recorded with a contribution: local time, as in "2026-12-08 14:03:07".
std::string RecordTimestamp();

}  // namespace ostravel
