#pragma once
// The database conversion step of an UPDATE run: loads the conversion plan
// for the installed version and passes every database file of the
// application through the Btrieve engine (Open with its Stat request, then
// Close). The database directories are the subdirectories of the home
// directory whose names end in ".DAT"; their Btrieve files match "*.DAT".

#include "engine/StepContext.h"

namespace qz {

// False at the first database file the engine cannot open or report on.
bool ConvertDatabase(StepContext& ctx);

}  // namespace qz
