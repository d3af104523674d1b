#include "uninst/UninstallOperator.h"

#include "uninst/ConfirmDialog.h"
#include "uninst/UninstallDialog.h"

namespace qz {

bool UninstallOperator::Act(platform::sim::SimDialog& dialog) {
  if (dialog.TemplateId() == kConfirmDialogId) {
    if (cancel_) dialog.Enter();
    else dialog.Click(platform::kIdOk);
    return true;
  }
  if (dialog.TemplateId() == kUninstallDialogId && dialog.IsEnabled(platform::kIdOk)) {
    dialog.Click(platform::kIdOk);
    return true;
  }
  return false;
}

}  // namespace qz
