#pragma once
// Preparing the Btrieve engine in a first installation: registry settings
// files applied where an earlier Btrieve installation is found
// ("BtrieveCheck:", raising 32-bit values), and unconditionally
// ("BtrieveRegistry:", adding missing values only).

#include "engine/StepContext.h"

namespace qz {

// Each "BtrieveCheck:" line names a settings file and a registry key; the
// file is imported (32-bit values raised) when the key exists. A key path
// too long for any key is logged (206) and its line passed over. False at
// the first line over 511 characters or settings file that cannot be
// opened, both logged; true otherwise, also without the section. No box.
bool BtrieveCheck(StepContext& ctx);
// Imports each "BtrieveRegistry:" settings file, adding missing values
// only. False at the first line or path that is too long (logged, 206) or
// file that cannot be opened; otherwise what the last import returned (an
// import that fails on a line logs it and applies none after it). No box.
bool BtrieveRegistry(StepContext& ctx);

}  // namespace qz
