#include "gateway/passwords.h"

#include <gtest/gtest.h>

#include <string>

namespace ostravel {
namespace {

constexpr PasswordCosts kCheap{1, 8192};  // libsodium's least costs: the tests stay fast

TEST(Passwords, DefaultCostsAreLibsodiumsInteractiveOnes) {
  const std::string hash = HashPassword("correct horse", PasswordCosts{});
  EXPECT_TRUE(hash.starts_with("$argon2id$v=19$m=65536,t=2,p=1$")) << hash;
  EXPECT_EQ(CheckPassword(hash, "correct horse", PasswordCosts{}), PasswordCheck::Right);
}

TEST(Passwords, CheckTellsRightWrongAndWhatToRehash) {
  const std::string hash = HashPassword("Apple-Pie-1", kCheap);
  ASSERT_TRUE(IsPasswordHash(hash));
  EXPECT_NE(HashPassword("Apple-Pie-1", kCheap), hash) << "every hash has its own salt";
  struct Row {
    const char* name;
    std::string stored;
    std::string given;
    PasswordCheck expected;
  };
  const Row rows[] = {
      {"hash, right password", hash, "Apple-Pie-1", PasswordCheck::Right},
      {"hash, wrong password", hash, "Apple-Pie-2", PasswordCheck::Wrong},
      {"hash, password with a blank more", hash, "Apple-Pie-1 ", PasswordCheck::Wrong},
      {"hash, empty password", hash, "", PasswordCheck::Wrong},
      {"hash the verifier cannot read", "$argon2id$v=19$nonsense", "x", PasswordCheck::Wrong},
      {"hash longer than any real one", "$argon2id$" + std::string(300, 'a'), "x",
       PasswordCheck::Wrong},
      {"plain, right password", "Plain-Pass-9", "Plain-Pass-9", PasswordCheck::RightRehash},
      {"plain, other case", "Plain-Pass-9", "plain-pass-9", PasswordCheck::Wrong},
      {"plain, longer password", "Plain-Pass-9", "Plain-Pass-99", PasswordCheck::Wrong},
      {"plain, shorter password", "Plain-Pass-9", "Plain-Pass-", PasswordCheck::Wrong},
      {"plain that looks like another hash", "$argon2i$v=19$x", "$argon2i$v=19$x",
       PasswordCheck::RightRehash},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CheckPassword(row.stored, row.given, kCheap), row.expected) << row.name;
  }
  EXPECT_EQ(CheckPassword(hash, "Apple-Pie-1", PasswordCosts{2, 16384}), PasswordCheck::RightRehash)
      << "a hash made with other costs is made again";
}

}  // namespace
}  // namespace ostravel
