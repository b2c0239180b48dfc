#include "link_client/slot_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <thread>

namespace ostravel::link {

SlotLock::~SlotLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool SlotLock::Acquire(const std::string& folder, std::chrono::steady_clock::time_point deadline) {
  const int start = static_cast<int>(::getpid() % kSlotCount);
  while (true) {
    bool anyFile = false;
    for (int i = 0; i < kSlotCount; ++i) {
      const int slot = (start + i) % kSlotCount + 1;
      const std::string path = folder + "/slot" + std::to_string(slot) + ".lock";
      int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
      if (fd < 0) continue;
      anyFile = true;
      if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        fd_ = fd;
        slot_ = slot;
        return true;
      }
      ::close(fd);
    }
    if (!anyFile || std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace ostravel::link
