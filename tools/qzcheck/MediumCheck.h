#pragma once
// The checks of an installation medium: the setup script, the files it
// names, the Btrieve settings files, the database files and the conversion
// files, read with the setup program's own readers. Nothing is written.

#include <vector>

#include "platform/Btrieve.h"
#include "platform/FileSystem.h"
#include "tools/qzcheck/Findings.h"

namespace qz::check {

// Checks the medium that is the working directory of `files`, as the setup
// program sees it; its database files are opened through `btrieve`. The
// findings come in order: setup.ini's by line, then the other files'.
std::vector<Finding> CheckMedium(platform::FileSystem& files, platform::BtrieveEngine& btrieve);

}  // namespace qz::check
