#pragma once
// Installing what the setup script lists: the "Home:" and "VormexDir:"
// sections mirror the medium's tree into the target tree through a
// directory cursor; the "WinDir:" section copies files into the Windows
// directory unless they are there already.

#include <string_view>

#include "engine/StepContext.h"
#include "text/Text.h"

namespace qz {

// The directory cursor of a section being installed: the target directory
// of the file items, and the expanded name of the item being handled.
struct InstallCursor {
  PathText currentDir;
  PathText itemName;
  // The current directory was made by this section: nothing stands in it
  // but what the section has copied there since.
  bool madeHere = false;
};

// Installs the section `label` below `root`. False when the label is
// missing or an item failed (the list then shows "Nem sikerült a másolás!").
bool InstallSection(StepContext& ctx, InstallCursor& cursor, std::string_view root, std::string_view label);
bool InstallSection(StepContext& ctx, std::string_view root, std::string_view label);

// True when a line of "Home:" or "VormexDir:" is a directory item: the
// capitals DIR stand anywhere in it (also in a name or a macro).
bool IsDirectoryItem(std::string_view line);

// One directory item ("DIR" somewhere in the line) and one file item.
bool MakeDirItem(StepContext& ctx, InstallCursor& cursor, std::string_view line, std::string_view root);
bool CopyFileItem(StepContext& ctx, InstallCursor& cursor, std::string_view line, std::string_view root);

// The "WinDir:" section; true when it is missing.
bool InstallWindir(StepContext& ctx);

}  // namespace qz
