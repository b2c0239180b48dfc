// Failed sign-ins of the web accounts, counted per account and per client address, so that
// passwords cannot be guessed at the speed the gateway answers. After a few failures every
// further attempt must wait a delay that doubles with each failure; an attempt that comes
// before its time is refused before its password is checked, so that guessing costs the single
// gateway almost nothing and every other user's calculations are answered as usual.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <unordered_map>

namespace ostravel {

class SignInThrottle {
 public:
  using Clock = std::chrono::steady_clock;

  // Failures after which the waits begin: an address may be shared by many users.
  static constexpr int kFreeAccountFailures = 5;
  static constexpr int kFreeAddressFailures = 20;
  static constexpr std::chrono::seconds kFirstWait{30};
  static constexpr std::chrono::seconds kLongestWait{30 * 60};
  // A record is forgotten this long after its last failure.
  static constexpr std::chrono::hours kMemory{24};
  // At most this many accounts and addresses are remembered each; the oldest go first.
  static constexpr std::size_t kMaxRecords = 10000;

  // What keeps an attempt from being checked now: "" when it may go on, else the message.
  // account is the e-mail address (matched without regard to case), address the client's
  // network address ("" when unknown).
  std::string Refusal(const std::string& account, const std::string& address,
                      Clock::time_point now) const;
  // A wrong password was given.
  void Failed(const std::string& account, const std::string& address, Clock::time_point now);
  // The right password was given: the account's failures are forgotten (the address's are
  // not, or one's own account would open the door to guessing others').
  void Succeeded(const std::string& account);

 private:
  struct Record {
    int failures = 0;
    Clock::time_point last{};   // the last failure
    Clock::time_point until{};  // no attempt before this
  };
  using Records = std::unordered_map<std::string, Record>;

  static void Count(Records& records, const std::string& key, int free, Clock::time_point now);
  static void Prune(Records& records, Clock::time_point now);

  Records accounts_, addresses_;
};

// A wait as a person reads it: "45 seconds", "3 minutes".
std::string WaitText(SignInThrottle::Clock::duration wait);

}  // namespace ostravel
