#pragma once
// The steps the setup program's install sequence runs, bound to their rows.

#include "engine/InstallSequence.h"

namespace qz {

InstallSteps ProgramSteps();

}  // namespace qz
