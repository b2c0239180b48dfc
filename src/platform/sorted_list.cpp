#include "platform/sorted_list.h"

#include <algorithm>
#include <cctype>

namespace ostravel {

bool ListLineLess(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int ca = std::tolower(static_cast<unsigned char>(a[i]));
    int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

int AddSortedItem(ListModel& list, std::string line) {
  auto at = std::upper_bound(list.Items.begin(), list.Items.end(), line, ListLineLess);
  const int index = static_cast<int>(at - list.Items.begin());
  list.Items.insert(at, std::move(line));
  if (list.ListIndex >= index) ++list.ListIndex;
  return index;
}

}  // namespace ostravel
