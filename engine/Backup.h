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

bool MakeBackup(StepContext& ctx);
// Deletes everything below the directory and keeps the directory itself.
bool EmptyTree(StepContext& ctx, std::string_view directory);
// Copies everything below `source` into the existing `destination`.
bool CopyTree(StepContext& ctx, std::string_view source, std::string_view destination);

}  // namespace qz
