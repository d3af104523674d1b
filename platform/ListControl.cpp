#include "platform/ListControl.h"

#include "text/CodePage.h"

namespace qz::platform {

int FindStringFrom(const std::vector<std::string>& items, int start, std::string_view prefix) {
  std::vector<int> matches;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (StartsWithNoCase(items[i], prefix)) matches.push_back(static_cast<int>(i));
  }
  return ChooseInSearchOrder(matches, static_cast<int>(items.size()), start);
}

int ChooseInSearchOrder(const std::vector<int>& matches, int count, int start) {
  if (count == 0) return -1;
  if (start < 0 || start >= count) start = count - 1;  // -1: the whole list from the top
  int best = -1;
  int bestDistance = count + 1;
  for (int index : matches) {
    int distance = (index - start + count - 1) % count;  // 0 for the item right after start
    if (distance < bestDistance) {
      best = index;
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace qz::platform
