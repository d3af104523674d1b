#pragma once

#include "common/LogFile.h"
#include "common/ProtectedFolders.h"
#include "common/Registry.h"
#include "engine/SetupScript.h"
#include "engine/SetupSettings.h"
#include "text/Text.h"

namespace qz {

// Fills the settings from the script's defaults sections and from an
// earlier installation's registry key, and settles the kind of run. A
// problem that must stop the setup is left in `errorText`; an empty
// `errorText` means the setup may go on.
// An application name that the uninstaller could not remove, and an
// installed home directory that the protected folders refuse, stop it with
// a log line of their own.
void GetDefaults(SetupScript& script, Registry& registry, LogFile& log, const ProtectedFolders& folders,
                 SetupSettings& settings, TextBuffer& errorText);

}  // namespace qz
