#include "gateway/passwords.h"

#include <sodium.h>

#include <stdexcept>

namespace ostravel {
namespace {

constexpr std::string_view kHashPrefix = "$argon2id$";
static_assert(PasswordCosts{}.OpsLimit == crypto_pwhash_OPSLIMIT_INTERACTIVE);
static_assert(PasswordCosts{}.MemLimit == crypto_pwhash_MEMLIMIT_INTERACTIVE);

void InitSodium() {
  static const bool ready = sodium_init() >= 0;
  if (!ready) throw std::runtime_error("libsodium could not be initialised");
}

using Digest = unsigned char[crypto_generichash_BYTES];

void DigestOf(std::string_view text, Digest& out) {
  crypto_generichash(out, sizeof out, reinterpret_cast<const unsigned char*>(text.data()),
                     text.size(), nullptr, 0);
}

}  // namespace

std::string HashPassword(std::string_view password, const PasswordCosts& costs) {
  InitSodium();
  char hash[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str_alg(hash, password.data(), password.size(), costs.OpsLimit, costs.MemLimit,
                            crypto_pwhash_ALG_ARGON2ID13) != 0) {
    return {};
  }
  return hash;
}

bool IsPasswordHash(std::string_view stored) {
  return stored.starts_with(kHashPrefix);
}

PasswordCheck CheckPassword(std::string_view stored, std::string_view given,
                            const PasswordCosts& costs) {
  InitSodium();
  if (IsPasswordHash(stored)) {
    // The verifier reads a NUL-terminated text of at most crypto_pwhash_STRBYTES bytes.
    if (stored.size() >= crypto_pwhash_STRBYTES) return PasswordCheck::Wrong;
    char hash[crypto_pwhash_STRBYTES] = {};
    stored.copy(hash, stored.size());
    if (crypto_pwhash_str_verify(hash, given.data(), given.size()) != 0) {
      return PasswordCheck::Wrong;
    }
    return crypto_pwhash_str_needs_rehash(hash, costs.OpsLimit, costs.MemLimit) == 0
               ? PasswordCheck::Right
               : PasswordCheck::RightRehash;
  }
  Digest a, b;
  DigestOf(stored, a);
  DigestOf(given, b);
  return sodium_memcmp(a, b, sizeof a) == 0 ? PasswordCheck::RightRehash : PasswordCheck::Wrong;
}

}  // namespace ostravel
