#include "setup/ProgressPage.h"

#include "common/ProgressList.h"
#include "engine/InstallSequence.h"
#include "engine/SetupMessages.h"

namespace qz {

void ProgressPage::OnCommand(platform::Dialog& dialog, int id) {
  if (id == kStartCommand) {
    RunInstall(dialog);
  } else {
    WizardPage::OnCommand(dialog, id);
  }
}

void ProgressPage::OnOk(platform::Dialog& dialog) {
  if (finished_) dialog.End(kPageForward);
}

// The sequence runs within this one command and does not pump messages:
// the list shows its new lines when the command returns (and whenever a
// step's message box runs its own loop). Letting messages through would let
// Esc or a second command reach the page halfway through the installation.
void ProgressPage::RunInstall(platform::Dialog& dialog) {
  ProgressList progress(dialog.ListBox(kProgressListBox));
  StepContext ctx{app_.platform, app_.btrieve, app_.settings, app_.script,
                  app_.log,      app_.registry, progress,     dialog};
  std::optional<MessageText> failure = RunSequence(app_.sequence, app_.settings.installType, ctx);
  if (failure) {
    ShowError(dialog, failure->c_str());
    progress.AddLine(msg::kInstallFailedLine);
  } else {
    progress.AddLine(msg::kInstallSucceededLine);
  }
  succeeded_ = !failure;
  finished_ = true;
  dialog.EnableItem(kPageForward, true);
}

void ProgressPage::ShowError(platform::Dialog& dialog, const char* text) {
  dialog.ShowMessage(text, app_.settings.appName.c_str(), platform::Buttons::Ok, platform::Icon::Stop);
  app_.log.Print("ShowError : \n%s\n\nA telepítés nem sikerült!!!", text);
}

}  // namespace qz
