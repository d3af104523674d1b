#pragma once
// The list on the running page to which the steps add one short line per
// action. It only grows.

#include "platform/ListControl.h"

namespace qz {

class ProgressList {
 public:
  explicit ProgressList(platform::ListControl& list) : list_(list) {}
  // Appends the line, then selects the first line from the second on
  // (wrapping to the first) that begins with it: as a rule the new line,
  // which so comes into view.
  void AddLine(const char* text) {
    list_.AddString(text);
    list_.SelectString(0, text);
  }

 private:
  platform::ListControl& list_;
};

}  // namespace qz
