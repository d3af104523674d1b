#pragma once
// The uninstaller's progress page (dialog 102): it checks that the
// application is registered, then runs the removal's steps (uninst/Removal.h)
// in turn, each even when an earlier one failed, with a list line before
// each, a box for each that fails, and the outcome as the last line.

#include <string_view>

#include "platform/UserInterface.h"
#include "text/Text.h"
#include "uninst/UninstallContext.h"

namespace qz {

inline constexpr int kUninstallDialogId = 102;
inline constexpr int kUninstallListId = 1001;
inline constexpr int kStartRemovalCommand = 9999;

class UninstallDialog : public platform::DialogHandler {
 public:
  UninstallDialog(UninstallContext& context, std::string_view appName);

  int TemplateId() const override { return kUninstallDialogId; }
  void OnInit(platform::Dialog& dialog) override { CheckApplication(dialog); }
  void OnCommand(platform::Dialog& dialog, int id) override;

  // True once a removal ran with every step succeeding.
  bool succeeded() const { return succeeded_; }
  // True once the application's key was found.
  bool registered() const { return registered_; }

 private:
  // When the application is registered the page takes its name and the
  // removal starts; otherwise the page tells so and ends at once.
  void CheckApplication(platform::Dialog& dialog);
  void StartRemoval(platform::Dialog& dialog);

  UninstallContext& ctx_;
  NameText appName_;
  bool succeeded_ = false;
  bool registered_ = false;
};

}  // namespace qz
