#include "setup/ProgramSteps.h"

#include "btrieve/BtrieveConfig.h"
#include "engine/Backup.h"
#include "engine/InstallFiles.h"
#include "engine/Shortcuts.h"

namespace qz {

// A row whose step is not bound fails with its message, so a program built
// before one of its steps never reports an installation it did not make.
// The database conversion is bound once the Btrieve support provides it.
InstallSteps ProgramSteps() {
  InstallSteps steps;
  steps.btrieveCheck = BtrieveCheck;
  steps.btrieveRegistry = BtrieveRegistry;
  steps.installWindir = InstallWindir;
  steps.installHome = [](StepContext& ctx) { return InstallSection(ctx, ctx.settings.homeDir.view(), "Home:"); };
  steps.installVormexDir = [](StepContext& ctx) {
    return InstallSection(ctx, ctx.settings.vormexDir.view(), "VormexDir:");
  };
  steps.registerApp = RegisterApp;
  steps.makeIcon = MakeIcon;
  steps.makeBackup = MakeBackup;
  return steps;
}

}  // namespace qz
