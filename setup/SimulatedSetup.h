#pragma once
// The setup program run whole on a simulated machine by the unattended
// operator: the native QZSetup, the dry run of qzcheck and the tests.

#include "platform/Shell.h"
#include "platform/sim/SimMachine.h"
#include "setup/SetupApp.h"
#include "setup/UnattendedOperator.h"

namespace qz {

// How an unattended run ended, and the settings it worked with.
struct UnattendedRun {
  RunOutcome outcome = RunOutcome::Running;
  SetupSettings settings;
};

// The setup's own dialogs, the machine's Btrieve engine, and the machine's
// shell unless `shell` stands in for it (to watch the links made).
UnattendedRun RunUnattended(platform::sim::SimMachine& machine, const UnattendedOptions& options,
                            platform::Shell* shell = nullptr);

}  // namespace qz
