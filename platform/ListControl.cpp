#include "platform/ListControl.h"

#include "common/CodePage.h"

namespace qz::platform {

int FindStringFrom(const std::vector<std::string>& items, int start, std::string_view prefix) {
  int count = static_cast<int>(items.size());
  if (count == 0) return -1;
  if (start < 0 || start >= count) start = count - 1;  // -1: the whole list from the top
  for (int step = 1; step <= count; ++step) {
    int index = (start + step) % count;
    if (StartsWithNoCase(items[static_cast<std::size_t>(index)], prefix)) return index;
  }
  return -1;
}

}  // namespace qz::platform
