#pragma once
// qzuninst.exe /S "Name": the removal without a window and without the
// confirmation, on the machine given (its user interface is not used);
// message boxes are written to the log (common/UnattendedRun.h).

#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/DialogTemplate.h"
#include "uninst/UninstallApp.h"

namespace qz {

// Returns 0 when everything was removed, 1 when the removal failed, 2 when
// there is no such application (or no name, one that Windows-1250 cannot
// carry, or no log).
int RunUnattendedUninstall(platform::Platform& machine, const std::vector<CommandArgument>& arguments,
                           const platform::sim::DialogTemplateSet& templates);

// Whether the arguments ask for an unattended run (/S).
bool AsksForUnattendedRun(const std::vector<CommandArgument>& arguments);

}  // namespace qz
