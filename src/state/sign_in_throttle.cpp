#include "state/sign_in_throttle.h"

#include <algorithm>
#include <vector>

#include "runtime/text_case.h"

namespace ostravel {

std::string WaitText(SignInThrottle::Clock::duration wait) {
  using namespace std::chrono;
  const auto seconds = ceil<std::chrono::seconds>(wait).count();
  if (seconds < 120) return std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
  return std::to_string((seconds + 59) / 60) + " minutes";
}

std::string SignInThrottle::Refusal(const std::string& account, const std::string& address,
                                    Clock::time_point now) const {
  if (const auto found = accounts_.find(AsciiLower(account));
      found != accounts_.end() && found->second.until > now) {
    return "Too many wrong passwords for " + account + ". Please wait " +
           WaitText(found->second.until - now) + " before you try again.";
  }
  if (const auto found = addresses_.find(address);
      !address.empty() && found != addresses_.end() && found->second.until > now) {
    return "Too many wrong passwords from your network address. Please wait " +
           WaitText(found->second.until - now) + " before you try again.";
  }
  return {};
}

void SignInThrottle::Failed(const std::string& account, const std::string& address,
                            Clock::time_point now) {
  Count(accounts_, AsciiLower(account), kFreeAccountFailures, now);
  if (!address.empty()) Count(addresses_, address, kFreeAddressFailures, now);
}

void SignInThrottle::Succeeded(const std::string& account) {
  accounts_.erase(AsciiLower(account));
}

void SignInThrottle::Count(Records& records, const std::string& key, int free,
                           Clock::time_point now) {
  if (records.size() >= kMaxRecords) Prune(records, now);
  Record& record = records[key];
  if (record.failures > 0 && now - record.last > kMemory) record = Record{};
  ++record.failures;
  record.last = now;
  // From the last free failure on: 30 s, 1 min, 2 min, ... up to the longest wait.
  const int over = record.failures - free;
  if (over < 0) return;
  const auto wait = over >= 16 ? kLongestWait : std::min(kLongestWait, kFirstWait * (1 << over));
  record.until = now + wait;
}

void SignInThrottle::Prune(Records& records, Clock::time_point now) {
  std::erase_if(records, [now](const auto& entry) {
    return entry.second.until <= now && now - entry.second.last > kMemory;
  });
  if (records.size() < kMaxRecords) return;
  // Still full of fresh records: the older half goes.
  std::vector<Clock::time_point> lasts;
  lasts.reserve(records.size());
  for (const auto& [key, record] : records)
    lasts.push_back(record.last);
  auto middle = lasts.begin() + static_cast<std::ptrdiff_t>(lasts.size() / 2);
  std::nth_element(lasts.begin(), middle, lasts.end());
  const Clock::time_point cut = *middle;
  std::erase_if(records, [cut](const auto& entry) { return entry.second.last < cut; });
}

}  // namespace ostravel
