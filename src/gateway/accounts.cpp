#include "gateway/accounts.h"

#include <cctype>
#include <string_view>

#include "database/ini_access.h"
#include "gateway/passwords.h"
#include "gateway/text_utils.h"
#include "session/session.h"

namespace ostravel {
namespace {

constexpr const char* kIncomplete =
    "Name/User/Password information is not complete. Make sure you use your full email "
    "address, with an '@' sign.";
constexpr const char* kUnusableAddress =
    "This email address cannot be used for an account: it may not hold blanks, control "
    "characters or any of ( ) < > [ ] , ; : \\ \" =";
// Characters that an e-mail address holds only in quotes, and "=", which would end the key.
constexpr std::string_view kNotInAddresses = " ()<>[],;:\\\"=";
constexpr const char* kNotStored = "Your password could not be stored. Please try again later.";

// Splits text at its first "="; without one, both parts are the whole text.
void SplitAtEquals(const std::string& text, std::string& before, std::string& after) {
  const auto eq = text.find('=');
  if (eq == std::string::npos) {
    before = after = text;
  } else {
    before = text.substr(0, eq);
    after = text.substr(eq + 1);
  }
}

std::string CategoryName(std::string type) {
  for (std::size_t i = 0; i < type.size(); ++i) {
    const auto c = static_cast<unsigned char>(type[i]);
    type[i] = static_cast<char>(i == 0 ? std::toupper(c) : std::tolower(c));
  }
  return type;
}

bool HasControlCharacter(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) return true;
  }
  return false;
}

}  // namespace

ModifyRequest ReadModifyRequest(const std::string& fields) {
  ModifyRequest r;
  r.definitions = GetField(fields, "MODIFY");
  r.address = GetField(fields, "user");
  r.userName = GetField(fields, "name");
  SplitAtEquals(GetField(fields, "pass"), r.password, r.newPassword);
  if (r.newPassword.empty()) r.newPassword = r.password;
  SplitAtEquals(GetField(fields, "pre"), r.statedPrefix, r.newPrefix);
  if (r.statedPrefix == "none") r.statedPrefix.clear();
  if (r.newPrefix == "none") r.newPrefix.clear();
  r.category = CategoryName(GetField(fields, "type"));
  r.action = GetField(fields, "GO");
  return r;
}

bool SignIn(Session& s, const ModifyRequest& r) {
  std::string& error = s.engine.EvalError;
  if (r.address.find('@') == std::string::npos || r.address.size() < 10 || r.password.empty() ||
      r.userName.empty()) {
    error = kIncomplete;
    return false;
  }
  // The address is a key of "Permissions" and the name of the user's own section.
  if (r.address.find_first_of(kNotInAddresses) != std::string::npos ||
      HasControlCharacter(r.address)) {
    error = kUnusableAddress;
    return false;
  }

  s.db.IniFile = s.db.PermIniFile;
  const std::string stored = IniGetEntry(s, "Permissions", "", r.address);
  bool store = true;  // a new account
  if (!stored.empty()) {
    const PasswordCheck check = CheckPassword(stored, r.password, s.gateway.PasswordHash);
    if (check == PasswordCheck::Wrong) {
      error = "Invalid password for " + r.address;
      return false;
    }
    store = check == PasswordCheck::RightRehash || r.newPassword != r.password;
  }
  if (!store) return true;
  const std::string hash = HashPassword(r.newPassword, s.gateway.PasswordHash);
  if (hash.empty() || !IniPutEntry(s, "Permissions", "", r.address, hash)) {
    error = kNotStored;
    return false;
  }
  return true;
}

}  // namespace ostravel
