#pragma once
// A list box on a dialog: the progress lists of both programs.

#include <string>
#include <string_view>
#include <vector>

namespace qz::platform {

class ListControl {
 public:
  virtual ~ListControl() = default;
  // LB_ADDSTRING on an unsorted list: the text becomes the last item.
  virtual void AddString(const char* text) = 0;
  // LB_SELECTSTRING: selects the first item that begins with `prefix`
  // (without regard to case), searching from the item after `start` and
  // wrapping round to `start` itself, and scrolls it into view.
  virtual void SelectString(int start, const char* prefix) = 0;
};

// The search of LB_SELECTSTRING over a list's items: the index of the item
// found, or -1. Lists that keep their items themselves (the simulated
// machine's) select through this.
int FindStringFrom(const std::vector<std::string>& items, int start, std::string_view prefix);

// Of the indexes of the items that begin with the prefix, the one that
// search finds first: the first after `start`, else the first from the top.
int ChooseInSearchOrder(const std::vector<int>& matches, int count, int start);

}  // namespace qz::platform
