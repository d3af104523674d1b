#pragma once
// The last page of the wizard: once shown it posts itself command 9999 and
// runs the install sequence of the run's type, adding a line to its list
// before each step. The first failure is shown by ShowError; at the end
// "Befejezés" is enabled, whatever the outcome.

#include "setup/WizardPage.h"
#include "text/Text.h"

namespace qz {

inline constexpr int kStartCommand = 9999;

class ProgressPage : public WizardPage {
 public:
  explicit ProgressPage(SetupApp& app) : WizardPage(app, kProgressDialog) {}

  // The page is also told when it is hidden and shown again (its owner
  // minimised and restored): the installation is started once only.
  void OnShow(platform::Dialog& dialog) override {
    if (started_) return;
    started_ = true;
    dialog.PostCommand(kStartCommand);
  }
  void OnCommand(platform::Dialog& dialog, int id) override;
  // "Befejezés": only once the sequence has ended (the button is disabled
  // until then; Enter must not finish the page early either).
  void OnOk(platform::Dialog& dialog) override;

  void RunInstall(platform::Dialog& dialog);
  // The failure in a stop box captioned with the application's name, then
  // in the log.
  void ShowError(platform::Dialog& dialog, const char* text);

  bool Finished() const { return finished_; }
  bool Succeeded() const { return finished_ && succeeded_; }

 private:
  bool started_ = false;
  bool finished_ = false;
  bool succeeded_ = false;
};

}  // namespace qz
