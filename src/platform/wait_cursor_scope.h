// Shows the wait cursor for the length of a scope and puts the cursor back as it was on every
// way out of it, a failure thrown through it included.
#pragma once

#include "platform/platform.h"
#include "platform/window_model.h"

namespace ostravel {

class [[nodiscard]] WaitCursorScope {
 public:
  WaitCursorScope(MainWindowModel& window, Platform& ui)
      : window_(window), ui_(ui), saved_(window.WaitCursor) {
    Show(true);
  }
  ~WaitCursorScope() { Show(saved_); }
  WaitCursorScope(const WaitCursorScope&) = delete;
  WaitCursorScope& operator=(const WaitCursorScope&) = delete;

 private:
  void Show(bool wait) {
    window_.WaitCursor = wait;
    ui_.Changed(Control::Cursor);
  }

  MainWindowModel& window_;
  Platform& ui_;
  bool saved_;
};

}  // namespace ostravel
