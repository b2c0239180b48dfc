// How tests look at a call that should fail: the kind of failure it ended in, printed by name
// when an expectation does not hold.
#pragma once

#include <optional>
#include <ostream>
#include <utility>

#include "runtime/failure.h"

namespace ostravel {

// Test reports print a failure kind by its description.
inline std::ostream& operator<<(std::ostream& out, FailureKind kind) {
  return out << FailureDescription(kind);
}

namespace testing {

// The kind of the RunFailure that call throws; nothing when it returns.
//   EXPECT_EQ(FailureOf([&] { ToInt16(1e10); }), FailureKind::Overflow);
template <typename Call>
std::optional<FailureKind> FailureOf(Call&& call) {
  try {
    std::forward<Call>(call)();
  } catch (const RunFailure& failure) {
    return failure.kind();
  }
  return std::nullopt;
}

}  // namespace testing
}  // namespace ostravel
