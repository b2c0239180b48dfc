#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/wait_cursor_scope.h"
#include "runtime/scoped_value.h"
#include "support/recording_platform.h"

namespace ostravel {
namespace {

// The ways out of a scope: falling off its end, or a failure thrown through it.
struct Exit {
  const char* name;
  bool throws;
};
constexpr Exit kExits[] = {{"at the end", false}, {"by a failure", true}};

void Leave(const Exit& exit, const std::function<void()>& inside) {
  try {
    inside();
    if (exit.throws) throw 42;
  } catch (int) {
  }
}

TEST(ScopedValue, PutsTheOldValueBackOnEveryWayOut) {
  for (const Exit& exit : kExits) {
    bool flag = false;
    std::string text = "before";
    Leave(exit, [&] {
      const ScopedValue setFlag(flag, true);
      const ScopedValue setText(text, std::string("during"));
      EXPECT_TRUE(flag) << exit.name;
      EXPECT_EQ(text, "during") << exit.name;
      {
        // An inner scope gives back what the outer one set, not what was there first.
        const ScopedValue inner(flag, false);
        EXPECT_FALSE(flag) << exit.name;
      }
      EXPECT_TRUE(flag) << exit.name;
    });
    EXPECT_FALSE(flag) << exit.name;
    EXPECT_EQ(text, "before") << exit.name;
  }
}

TEST(WaitCursorScope, ShowsTheCursorAndPutsItBackOnEveryWayOut) {
  for (const Exit& exit : kExits) {
    for (const bool waitingBefore : {false, true}) {
      testing::RecordingPlatform ui;
      MainWindowModel window;
      window.WaitCursor = waitingBefore;
      Leave(exit, [&] {
        const WaitCursorScope waiting(window, ui);
        EXPECT_TRUE(window.WaitCursor) << exit.name;
      });
      // A scope inside a longer wait leaves the cursor waiting.
      EXPECT_EQ(window.WaitCursor, waitingBefore) << exit.name;
      EXPECT_EQ(ui.changed, (std::vector<Control>{Control::Cursor, Control::Cursor})) << exit.name;
    }
  }
}

}  // namespace
}  // namespace ostravel
