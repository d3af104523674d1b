#pragma once
// QZSetup.exe /S: the whole wizard without a window, on the machine given
// (its user interface is not used), by the native program's unattended
// operator; message boxes are written to the log (common/UnattendedRun.h).

#include <string>

#include "engine/InstallSequence.h"
#include "platform/Btrieve.h"
#include "platform/Platform.h"
#include "platform/sim/DialogTemplate.h"
#include "setup/CommandLine.h"

namespace qz {

// Returns the exit status (ExitStatus, or 1 when the run could not go on).
int RunUnattendedSetup(platform::Platform& machine, platform::BtrieveEngine& btrieve, InstallSequence sequence,
                       const SetupCommandLine& options, const platform::sim::DialogTemplateSet& templates);

// A command line not understood: a message box, or with /S a log section
// of its own, as nothing may be shown. Returns 64.
int SetupBadUsage(platform::Platform& machine, bool silent, const std::string& problem);

}  // namespace qz
