#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/ListControl.h"

namespace qz::platform::sim {

// A list box that keeps its items and its selection. The items are also
// indexed by their upper-cased text, so that selecting by prefix stays
// quick when a removal or a copy adds tens of thousands of lines.
class SimList : public ListControl {
 public:
  void AddString(const char* text) override;
  void SelectString(int start, const char* prefix) override;
  // The indexes of the items that begin with the prefix, letter case
  // folded as Windows folds Windows-1250; in no particular order.
  std::vector<int> Matches(const char* prefix) const;
  const std::vector<std::string>& items() const { return items_; }
  int selected() const { return selected_; }

 private:
  std::vector<std::string> items_;
  std::multimap<std::string, int> byText_;
  int selected_ = -1;
};

}  // namespace qz::platform::sim
