#pragma once
// The backup of the installed program before an update: the home directory
// tree is copied into "%s\Vormex\MENTES.TMP" below the Windows directory,
// which is emptied first, so it holds the state before the latest update.

#include <string_view>

#include "setup/StepContext.h"

namespace qz {

bool MakeBackup(StepContext& ctx);
// Deletes everything below the directory and keeps the directory itself.
bool EmptyTree(StepContext& ctx, std::string_view directory);
// Copies everything below `source` into the existing `destination`.
bool CopyTree(StepContext& ctx, std::string_view source, std::string_view destination);

}  // namespace qz
