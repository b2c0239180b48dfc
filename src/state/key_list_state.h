// The category lists and radical names read by LoadLists, and the category shown.
#pragma once

#include <string>

namespace ostravel {

struct KeyListState {
  std::string ConstCategories;    // keys of "Constants", each followed by NUL, plus one NUL
  std::string ExampleCategories;  // keys of "Examples", likewise
  std::string ContribCategories;  // keys of "Contributed" (contributed file), likewise
  std::string RadicalKeys;        // NUL k1 NUL .. kn NUL NUL, then NUL c1 NUL .. cm NUL NUL
  int RadicalSplit = 0;           // length of the part that holds the main file's radicals
  int ConstCount = 0, ExampleCount = 0, ContribCount = 0;
  std::string CurType;      // "Constants", "Examples" or "Contributed"
  std::string CurCategory;  // the category shown
};

}  // namespace ostravel
