#include "setup/ProgramSteps.h"

#include "btrieve/BtrieveConfig.h"
#include "btrieve/ConvertDatabase.h"
#include "engine/Backup.h"
#include "engine/InstallFiles.h"
#include "engine/Shortcuts.h"

namespace qz {

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
  steps.convertDatabase = ConvertDatabase;
  return steps;
}

}  // namespace qz
