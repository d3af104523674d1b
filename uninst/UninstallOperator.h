#pragma once
// The operator of the native qzuninst program: confirms the removal (or,
// with --cancel, presses the default "Kilép"), answers every message box
// with OK, and presses "Befejezés" once the removal has ended.

#include "platform/sim/SimUserInterface.h"

namespace qz {

class UninstallOperator : public platform::sim::SimOperator {
 public:
  explicit UninstallOperator(bool cancel) : cancel_(cancel) {}
  bool Act(platform::sim::SimDialog& dialog) override;
  int Answer(const platform::sim::MessageBoxView&) override { return platform::kIdOk; }
  bool Browse(const std::string&, std::string&) override { return false; }

 private:
  bool cancel_;
};

}  // namespace qz
