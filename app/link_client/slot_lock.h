// The slots 1..64 of the channel: a client holds its slot by an exclusive lock on a file in
// the register folder, so two requests that run at once never share a slot (and an answer
// file). The lock goes when the process ends, however it ends.
#pragma once

#include <chrono>
#include <string>

namespace ostravel::link {

inline constexpr int kSlotCount = 64;

class SlotLock {
 public:
  SlotLock() = default;
  ~SlotLock();
  SlotLock(const SlotLock&) = delete;
  SlotLock& operator=(const SlotLock&) = delete;

  // Takes the first free slot, starting the search at a slot chosen by the process id;
  // waits for one to come free until deadline. False when none came free or the lock files
  // cannot be made.
  bool Acquire(const std::string& folder, std::chrono::steady_clock::time_point deadline);
  int slot() const { return slot_; }

 private:
  int fd_ = -1;
  int slot_ = 0;
};

}  // namespace ostravel::link
