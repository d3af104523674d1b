#include "setup/UnattendedOperator.h"

#include "engine/InstallSequence.h"
#include "platform/sim/DialogTemplate.h"
#include "platform/sim/btrieve/SimBtrieve.h"
#include "setup/ProgramSteps.h"
#include "setup/WizardPage.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQZSetupDialogs;
}

namespace qz {

UnattendedRun RunUnattended(platform::sim::SimMachine& machine, const UnattendedOptions& options,
                            platform::Shell* shell) {
  platform::sim::SimUserInterface& ui = machine.ui();
  ui.SetTemplates(templates::kQZSetupDialogs);
  UnattendedOperator op(ui, options);
  ui.SetOperator(&op);
  platform::Platform platform{machine.files(), machine.registry(), machine.clock(), ui,
                              shell ? *shell : machine.shell()};
  platform::sim::SimBtrieve btrieve(machine);
  SetupApp app(platform, btrieve, MakeInstallSequence(ProgramSteps()));
  // The operator is the caller's no longer once the run is over.
  struct Detach {
    platform::sim::SimUserInterface& ui;
    ~Detach() { ui.SetOperator(nullptr); }
  } detach{ui};
  app.Run();
  return {app.outcome, app.settings};
}

bool UnattendedOperator::Act(platform::sim::SimDialog& dialog) {
  int id = dialog.TemplateId();
  std::size_t showing = ui_.DialogsShown().size();
  if (id == kExitConfirmDialog || id == options_.leaveAt || showing == acceptedShowing_) {
    dialog.Escape();
    return true;
  }
  acceptedShowing_ = showing;
  if (id == kDirectoryDialog && options_.hasDir) dialog.Type(kTextBox, options_.dir);
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
