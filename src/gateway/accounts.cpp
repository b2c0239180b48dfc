#include "gateway/accounts.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "database/ini_access.h"
#include "gateway/passwords.h"
#include "gateway/request_limits.h"
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
constexpr const char* kNoEqualsHere =
    "A password sent as \"old=new\" may not contain \"=\" itself. Please use the "
    "contribution page, which sends the new password in a field of its own, or choose a "
    "password without \"=\".";

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

// A field longer than the files and pages are made for.
std::string LengthProblem(const ModifyRequest& r) {
  const auto over = [](const std::string& text, std::size_t limit) { return text.size() > limit; };
  if (over(r.address, limits::kAddress))
    return "The email address may be at most " + std::to_string(limits::kAddress) +
           " characters long.";
  if (over(r.userName, limits::kUserName))
    return "Your name may be at most " + std::to_string(limits::kUserName) + " characters long.";
  if (over(r.password, limits::kPassword) || over(r.newPassword, limits::kPassword))
    return "A password may be at most " + std::to_string(limits::kPassword) + " characters long.";
  return {};
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
  // The first field is the request line up to "?": slot, method, path.
  const std::string_view line(fields.data(), std::min(fields.find('\0'), fields.size()));
  if (const auto blank = line.find(' '); blank != std::string_view::npos) {
    const auto method = line.substr(blank + 1);
    r.method = std::string(method.substr(0, method.find(' ')));
  }
  r.definitions = GetField(fields, "MODIFY");
  r.address = GetField(fields, "user");
  r.userName = GetField(fields, "name");
  const std::string pass = GetRawField(fields, "pass");
  if (fields.find(kNul + "newpass=") != std::string::npos) {
    r.password = pass;
    r.newPassword = GetRawField(fields, "newpass");
  } else {
    SplitAtEquals(pass, r.password, r.newPassword);
    r.passwordSplit = pass.find('=') != std::string::npos;
  }
  if (r.newPassword.empty()) r.newPassword = r.password;
  SplitAtEquals(GetField(fields, "pre"), r.statedPrefix, r.newPrefix);
  if (r.statedPrefix == "none") r.statedPrefix.clear();
  if (r.newPrefix == "none") r.newPrefix.clear();
  r.category = CategoryName(GetField(fields, "type"));
  r.action = GetField(fields, "GO");
  r.clientAddress = GetField(fields, "ADDR");
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
  if (std::string tooLong = LengthProblem(r); !tooLong.empty()) {
    error = std::move(tooLong);
    return false;
  }
  SignInThrottle& throttle = s.gateway.SignIns;
  const auto now = SignInThrottle::Clock::now();
  if (std::string refusal = throttle.Refusal(r.address, r.clientAddress, now); !refusal.empty()) {
    error = std::move(refusal);
    return false;
  }

  // Read whole: a password kept in plain text by an older version may hold "|".
  const std::string* kept = s.db.Profiles.Read(s.db.PermIniFile)->Find("Permissions", r.address);
  const std::string stored = kept == nullptr ? std::string() : *kept;
  bool store = true;  // a new account
  if (stored.empty() && r.passwordSplit) {
    // "a=b" would make an account with the password "b" that its owner never typed.
    error = kNoEqualsHere;
    return false;
  }
  if (!stored.empty()) {
    const PasswordCheck check = CheckPassword(stored, r.password, s.gateway.PasswordHash);
    if (check == PasswordCheck::Wrong) {
      throttle.Failed(r.address, r.clientAddress, now);
      error = "Invalid password for " + r.address;
      return false;
    }
    throttle.Succeeded(r.address);
    store = check == PasswordCheck::RightRehash || r.newPassword != r.password;
  }
  if (r.passwordSplit && r.newPassword.find('=') != std::string::npos) {
    error = kNoEqualsHere;
    return false;
  }
  if (!store) return true;
  const std::string hash = HashPassword(r.newPassword, s.gateway.PasswordHash);
  s.db.IniFile = s.db.PermIniFile;
  if (hash.empty() || !IniPutEntry(s, "Permissions", "", r.address, hash)) {
    error = kNotStored;
    return false;
  }
  return true;
}

}  // namespace ostravel
