#include "setup/SimulatedSetup.h"

#include "engine/InstallSequence.h"
#include "platform/sim/DialogTemplate.h"
#include "platform/sim/btrieve/SimBtrieve.h"
#include "setup/ProgramSteps.h"

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
  // The operator is the caller's no longer once the run is over.
  struct Detach {
    platform::sim::SimUserInterface& ui;
    ~Detach() { ui.SetOperator(nullptr); }
  } detach{ui};
  platform::Platform platform{machine.files(), machine.registry(), machine.clock(), ui,
                              shell ? *shell : machine.shell()};
  platform::sim::SimBtrieve btrieve(machine);
  SetupApp app(platform, btrieve, MakeInstallSequence(ProgramSteps()));
  if (options.hasDir) app.givenDir = options.dir;
  app.Run();
  return {app.outcome, app.settings};
}

}  // namespace qz
