#pragma once
// Making the installed application reachable: its registration under the
// maker's key with the system's uninstall entry, and its shortcuts (the
// program group with the "Menu:" items and the uninstall shortcut, and the
// "Desktop:" items).

#include "platform/Shell.h"
#include "setup/StepContext.h"

namespace qz {

bool RegisterApp(StepContext& ctx);
bool MakeIcon(StepContext& ctx);

// Saves a link to `target` at `linkPath`, with the target's directory as
// its working directory. Returns the result of the save, or of the creation
// of the link object when that failed; a setter that fails shows a warning
// box and does not decide the result.
platform::HResult CreateShortcut(StepContext& ctx, const char* target, const char* linkPath, const char* arguments,
                                 const char* description);

}  // namespace qz
