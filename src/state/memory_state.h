// The memory lines: every result with its name, numbered 1..1000 and then 1 again.
#pragma once

#include <array>
#include <string>

namespace ostravel {

inline constexpr int kMaxMemories = 1000;

struct MemoryState {
  int MemoryCount = 0;  // number of the newest line, 0 when none since the last reset
  std::array<double, kMaxMemories + 1> MemValues{};
  std::array<std::string, kMaxMemories + 1> MemNames;
  int NameSearchStart = 0;  // first line that FindMemoryName searches
};

}  // namespace ostravel
