#pragma once
// Installing what the setup script lists: the "Home:" and "VormexDir:"
// sections mirror the medium's tree into the target tree through a
// directory cursor; the "WinDir:" section copies files into the Windows
// directory unless they are there already.

#include <string_view>

#include "engine/StepContext.h"
#include "text/Text.h"

namespace qz {

// Installs the section `label` below `root`, item by item as SectionWalk
// plans them. Each directory and file item adds its list line and its log
// line ("Könyvtár készítés : <path>..." or "Fájl másolás : <target>...")
// closed by OK, or by ERROR with the reason. The first item that is refused
// or fails shows its warning box ("Könyvtár létrehozási hiba!..." with the
// directory, "Fájl másolási hiba..." with the source) and ends the section
// with the list line "Nem sikerült a másolás!": false. False also, with
// nothing logged, when the label is missing; true when every item is done
// (an empty section included). A line that names nothing is skipped.
bool InstallSection(StepContext& ctx, std::string_view root, std::string_view label);

// The "WinDir:" section: each file is copied into the Windows directory
// unless it is there ("...EXISTS"). True when every file is copied or
// there, and when the section is missing; false at the first line that is
// too long, names a refused file or whose copy fails (logged, no box).
bool InstallWindir(StepContext& ctx);

}  // namespace qz
