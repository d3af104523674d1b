#pragma once
// Making the installed application reachable: its registration under the
// maker's key with the system's uninstall entry, and its shortcuts (the
// program group with the "Menu:" items and the uninstall shortcut, and the
// "Desktop:" items).

#include <string_view>

#include "common/ValueExpander.h"
#include "engine/StepContext.h"
#include "platform/Shell.h"
#include "text/Text.h"

namespace qz {

// Writes the application's "Home Dir" and "Version" under the maker's key
// and its uninstall entry ("DisplayName", "UninstallString"). False, with a
// log line, for a name the uninstaller would refuse; false when a value
// cannot be written (the registry logs it). A missing uninstaller is only
// noted in the log.
bool RegisterApp(StepContext& ctx);

// A "Menu:" or "Desktop:" line: the target's file name from its first
// blank-delimited word and the title from the rest, both expanded; the
// `whole` flags tell whether each fitted. False when the line has no title.
bool SplitShortcutLine(const ValueExpander& macros, std::string_view line, TextBuffer& file, bool& fileWhole,
                       TextBuffer& title, bool& titleWhole);

// Makes the program group below the Programs folder, its "Menu:" shortcuts,
// the "Desktop:" shortcuts (each one saved is registered under "Link") and,
// in a first installation, the uninstall shortcut. False, logged, when the
// name or the group is refused, the group cannot be made, a shell folder
// cannot be read or a desktop shortcut cannot be registered. A shortcut
// that is skipped or cannot be saved is logged (its setters' failures show
// warning boxes) and the step goes on.
bool MakeIcon(StepContext& ctx);

// Saves a link to `target` at `linkPath`, with the target's directory as
// its working directory. Returns the result of the save, or of the creation
// of the link object when that failed; a setter that fails shows a warning
// box and does not decide the result.
platform::HResult CreateShortcut(StepContext& ctx, const char* target, const char* linkPath, const char* arguments,
                                 const char* description);

}  // namespace qz
