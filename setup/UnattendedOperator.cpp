#include "setup/UnattendedOperator.h"

#include "setup/WizardPage.h"

namespace qz {

bool UnattendedOperator::Act(platform::sim::SimDialog& dialog) {
  int id = dialog.TemplateId();
  std::size_t showing = ui_.DialogsShown().size();
  if (id == kExitConfirmDialog || id == options_.leaveAt || showing == acceptedShowing_) {
    dialog.Escape();
    return true;
  }
  acceptedShowing_ = showing;
  if (id == kDirectoryDialog && options_.hasDir) {
    if (options_.dirConvertible) {
      dialog.Type(kTextBox, options_.dir);
    } else {
      dialog.TypeNotConvertible(kTextBox, options_.dir);
    }
  }
  int button = dialog.DefaultButton();
  if (button == 0) button = kPageForward;
  if (!dialog.IsEnabled(button)) return false;
  dialog.Click(button);
  return true;
}

int UnattendedOperator::Answer(const platform::sim::MessageBoxView& box) {
  if (box.buttons == platform::Buttons::YesNo) return options_.noOverwrite ? platform::kIdNo : platform::kIdYes;
  return platform::kIdOk;
}

bool UnattendedOperator::Browse(const std::string&, std::string&) { return false; }

}  // namespace qz
