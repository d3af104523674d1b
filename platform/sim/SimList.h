#pragma once

#include <string>
#include <vector>

#include "platform/ListControl.h"

namespace qz::platform::sim {

// A list box that keeps its items and its selection.
class SimList : public ListControl {
 public:
  void AddString(const char* text) override { items_.emplace_back(text); }
  void SelectString(int start, const char* prefix) override {
    int found = FindStringFrom(items_, start, prefix);
    if (found >= 0) selected_ = found;
  }
  const std::vector<std::string>& items() const { return items_; }
  int selected() const { return selected_; }

 private:
  std::vector<std::string> items_;
  int selected_ = -1;
};

}  // namespace qz::platform::sim
