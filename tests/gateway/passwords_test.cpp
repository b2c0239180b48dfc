#include "gateway/passwords.h"
#include "state/sign_in_throttle.h"

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

namespace ostravel {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;
using Clock = SignInThrottle::Clock;

TEST(SignInThrottle, WaitsDoubleFromTheLastFreeFailure) {
  struct Row {
    int failures;
    Clock::duration wait;  // before the next attempt of the account
  };
  const Row rows[] = {
      {4, seconds(0)},   {5, seconds(30)},  {6, minutes(1)},   {7, minutes(2)},
      {10, minutes(16)}, {11, minutes(30)}, {40, minutes(30)},
  };
  const Clock::time_point start = Clock::time_point{} + hours(100);
  for (const Row& row : rows) {
    SignInThrottle throttle;
    for (int i = 0; i < row.failures; ++i)
      throttle.Failed("Alice@Example.org", "", start);
    EXPECT_EQ(throttle.Refusal("alice@example.org", "", start + row.wait), "") << row.failures;
    if (row.wait > seconds(0)) {
      EXPECT_NE(throttle.Refusal("ALICE@example.org", "", start + row.wait - seconds(1)), "")
          << row.failures;
    }
  }
}

TEST(SignInThrottle, AccountsAndAddressesAreCountedApart) {
  const Clock::time_point now = Clock::time_point{} + hours(100);
  SignInThrottle throttle;
  for (int i = 0; i < SignInThrottle::kFreeAccountFailures; ++i)
    throttle.Failed("alice@example.org", "192.0.2.1", now);
  EXPECT_NE(throttle.Refusal("alice@example.org", "198.51.100.2", now), "");
  EXPECT_EQ(throttle.Refusal("bob@example.org", "192.0.2.1", now), "");
  // The right password clears the account's count, not the address's.
  throttle.Succeeded("alice@example.org");
  EXPECT_EQ(throttle.Refusal("alice@example.org", "192.0.2.1", now), "");
  for (int i = SignInThrottle::kFreeAccountFailures; i < SignInThrottle::kFreeAddressFailures; ++i)
    throttle.Failed("user" + std::to_string(i) + "@example.org", "192.0.2.1", now);
  EXPECT_EQ(throttle.Refusal("carol@example.org", "192.0.2.1", now),
            "Too many wrong passwords from your network address. Please wait 30 seconds before "
            "you try again.");
  EXPECT_EQ(throttle.Refusal("carol@example.org", "", now), "");
}

TEST(SignInThrottle, OldFailuresAreForgotten) {
  const Clock::time_point then = Clock::time_point{} + hours(100);
  SignInThrottle throttle;
  for (int i = 0; i < SignInThrottle::kFreeAccountFailures - 1; ++i)
    throttle.Failed("alice@example.org", "", then);
  throttle.Failed("alice@example.org", "", then + SignInThrottle::kMemory + seconds(1));
  EXPECT_EQ(throttle.Refusal("alice@example.org", "", then + SignInThrottle::kMemory + seconds(1)),
            "");
}

TEST(SignInThrottle, RemembersABoundedNumberOfAddresses) {
  const Clock::time_point now = Clock::time_point{} + hours(100);
  SignInThrottle throttle;
  for (std::size_t i = 0; i < 3 * SignInThrottle::kMaxRecords; ++i)
    throttle.Failed("a" + std::to_string(i) + "@example.org", std::to_string(i), now + seconds(i));
  // The newest addresses are still counted.
  for (int i = 0; i < SignInThrottle::kFreeAddressFailures; ++i)
    throttle.Failed("z@example.org", "newest", now + hours(1));
  EXPECT_NE(throttle.Refusal("y@example.org", "newest", now + hours(1)), "");
}

TEST(WaitText, ReadsAsAPersonSaysIt) {
  const std::pair<Clock::duration, const char*> rows[] = {
      {seconds(1), "1 second"},
      {seconds(30), "30 seconds"},
      {std::chrono::milliseconds(29001), "30 seconds"},
      {seconds(119), "119 seconds"},
      {seconds(120), "2 minutes"},
      {seconds(121), "3 minutes"},
      {minutes(30), "30 minutes"},
  };
  for (const auto& [wait, text] : rows)
    EXPECT_EQ(WaitText(wait), text);
}

}  // namespace
}  // namespace ostravel
