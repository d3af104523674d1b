#pragma once
// The backup of the installed program before an update: the home directory
// tree is copied into "%s\Vormex\MENTES.TMP" below the Windows directory,
// which is emptied first, so it holds the state before the latest update.
//
// Links: the backup holds whatever the update passes through the engine, so
// a linked directory of the installed tree is copied by reading through
// the link, unless it points at a protected folder or at a folder that
// holds the link (the copy would never end): either fails the backup, with
// the reason in the log. What lands in the backup is plain folders and
// files. A link left in the backup is removed itself when it is emptied,
// and a backup directory that is itself a link is refused: nothing is ever
// emptied or deleted through a link.

#include <string_view>

#include "engine/StepContext.h"

namespace qz {

// Empties the backup directory and copies the home directory into it.
// False, with the reason logged, when either directory holds the other or
// the backup directory is a link; false with a box ("Könyvtár létrehozási
// hiba!...") when it cannot be made; false when emptying or copying fails.
bool MakeBackup(StepContext& ctx);
// Deletes everything below the directory and keeps the directory itself,
// each deletion logged. Stops, false, at the first entry that cannot be
// deleted (or listed); links are removed, never walked into.
bool EmptyTree(StepContext& ctx, std::string_view directory);
// Copies everything below `source` into the existing `destination`, each
// directory and file logged (a linked directory is read through, with the
// link's line). The first directory that cannot be listed or made, file
// that cannot be copied, or link that may not be read through ends the
// copy: false.
bool CopyTree(StepContext& ctx, std::string_view source, std::string_view destination);

}  // namespace qz
