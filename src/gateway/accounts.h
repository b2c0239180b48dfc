// The fields of a change request from the contribution form, and the accounts of the web
// users: keyed by e-mail address in section "Permissions" of "TOLVANEP.INI".
#pragma once

#include <string>

namespace ostravel {

class Session;

struct ModifyRequest {
  std::string method;       // of the HTTP request: "POST", "GET", ...
  std::string definitions;  // field "MODIFY": one definition per line
  std::string address;      // field "user": the e-mail address, the account's key
  std::string userName;     // field "name"
  // The password given and the new one, exactly as typed. The contribution page sends the new
  // password in a field of its own, "newpass"; a form without that field sends "old=new" in
  // "pass", which is split at its first "=".
  std::string password;
  std::string newPassword;     // the password given when none was asked for
  bool passwordSplit = false;  // "pass" was split at an "="
  std::string statedPrefix;    // field "pre" before its first "=", else all of it; "none" is ""
  std::string newPrefix;       // after the first "=" (may be empty), else all of it; "none" is ""
  std::string category;        // field "type", first letter upper case, the rest lower case
  std::string action;          // field "GO"
  std::string clientAddress;   // field "ADDR", the browser's network address, put in by the CGI
};

// Reads and splits the fields of a change request from a decoded field list.
ModifyRequest ReadModifyRequest(const std::string& fields);

// Checks the request's address, name and password, creates the account of an address that has
// none and stores a new password. A new hash is written only for a new account, a changed
// password, or a stored password that is not yet a hash with today's costs; signing in with an
// unchanged password writes nothing. Wrong passwords are counted per account and per client
// address; while either must wait, an attempt is refused before its password is checked.
// False, with s.engine.EvalError holding the message, when the request may not go on.
bool SignIn(Session& s, const ModifyRequest& request);

}  // namespace ostravel
