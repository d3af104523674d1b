#pragma once

#include "common/LogFile.h"
#include "common/Registry.h"
#include "common/Text.h"
#include "setup/SetupScript.h"
#include "setup/SetupSettings.h"

namespace qz {

// Fills the settings from the script's defaults sections and from an
// earlier installation's registry key, and settles the kind of run. A
// problem that must stop the setup is left in `errorText`; an empty
// `errorText` means the setup may go on.
void GetDefaults(SetupScript& script, Registry& registry, LogFile& log, SetupSettings& settings,
                 TextBuffer& errorText);

// True when `homeDir` may not be a home directory: a drive's root, the
// Windows, system or maker's directory, or a directory above one of them.
bool IsProtectedHomeDir(std::string_view homeDir, const SetupSettings& settings);

}  // namespace qz
