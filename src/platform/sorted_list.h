// Lines of a sorted list box.
#pragma once

#include <string>

#include "platform/window_model.h"

namespace ostravel {

// Orders two lines as a sorted list box does: without regard to case, then by character code.
bool ListLineLess(const std::string& a, const std::string& b);
// Inserts line at its sorted place (after equal lines) and returns its index. The selection
// stays on the line it was on.
int AddSortedItem(ListModel& list, std::string line);

}  // namespace ostravel
