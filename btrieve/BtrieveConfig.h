#pragma once
// Preparing the Btrieve engine in a first installation: registry settings
// files applied where an earlier Btrieve installation is found
// ("BtrieveCheck:", raising 32-bit values), and unconditionally
// ("BtrieveRegistry:", adding missing values only).

#include "engine/StepContext.h"

namespace qz {

bool BtrieveCheck(StepContext& ctx);
bool BtrieveRegistry(StepContext& ctx);

}  // namespace qz
