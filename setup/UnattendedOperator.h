#pragma once
// The operator of the native QZSetup program: accepts every page with its
// default button, types the chosen directory into the directory page,
// answers the overwrite question, confirms message boxes, and leaves the
// setup through the exit confirmation on the page it is told to.

#include <string>

#include "platform/sim/SimUserInterface.h"

namespace qz {

struct UnattendedOptions {
  bool hasDir = false;
  std::string dir;  // Windows-1250
  // False for a directory with characters Windows-1250 lacks (a '?' in
  // `dir` for each): it is typed as such, and the page refuses it.
  bool dirConvertible = true;
  bool noOverwrite = false;
  int leaveAt = 0;  // a page's dialog id, or 0
};

class UnattendedOperator : public platform::sim::SimOperator {
 public:
  UnattendedOperator(platform::sim::SimUserInterface& ui, UnattendedOptions options)
      : ui_(ui), options_(std::move(options)) {}

  // A page that stays open after it was accepted (its input was refused, or
  // the overwrite question was answered No) is left: the operator has no
  // other input to give.
  bool Act(platform::sim::SimDialog& dialog) override;
  int Answer(const platform::sim::MessageBoxView& box) override;
  bool Browse(const std::string& title, std::string& folder) override;

 private:
  platform::sim::SimUserInterface& ui_;
  UnattendedOptions options_;
  std::size_t acceptedShowing_ = 0;
};

}  // namespace qz
