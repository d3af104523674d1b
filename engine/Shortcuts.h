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

bool RegisterApp(StepContext& ctx);

// A "Menu:" or "Desktop:" line: the target's file name from its first
// blank-delimited word and the title from the rest, both expanded; the
// `whole` flags tell whether each fitted. False when the line has no title.
bool SplitShortcutLine(const ValueExpander& macros, std::string_view line, TextBuffer& file, bool& fileWhole,
                       TextBuffer& title, bool& titleWhole);

bool MakeIcon(StepContext& ctx);

// Saves a link to `target` at `linkPath`, with the target's directory as
// its working directory. Returns the result of the save, or of the creation
// of the link object when that failed; a setter that fails shows a warning
// box and does not decide the result.
platform::HResult CreateShortcut(StepContext& ctx, const char* target, const char* linkPath, const char* arguments,
                                 const char* description);

}  // namespace qz
