// Passwords of the web accounts. They are kept as Argon2id hashes in libsodium's string form;
// a stored value in any other form is a password that an older version kept in plain text.
#pragma once

#include <string>
#include <string_view>

#include "state/gateway_state.h"

namespace ostravel {

enum class PasswordCheck {
  Wrong,
  Right,        // a hash made with today's costs: nothing to write
  RightRehash,  // right, but kept in plain text or hashed with other costs: store a new hash
};

// The Argon2id hash of password in libsodium's string form ("$argon2id$v=19$m=65536,t=2,...").
// "" when it could not be made (out of memory).
std::string HashPassword(std::string_view password, const PasswordCosts& costs);

// True for a stored value in the form HashPassword makes.
bool IsPasswordHash(std::string_view stored);

// Checks the password given against the stored value. A hash is verified, and asks for a new
// one when it was made with other costs; any other value is compared with the password in
// constant time (through digests of both, so that neither the contents nor the length of the
// stored password shows in the time taken).
PasswordCheck CheckPassword(std::string_view stored, std::string_view given,
                            const PasswordCosts& costs);

}  // namespace ostravel
