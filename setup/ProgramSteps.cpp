#include "setup/ProgramSteps.h"

namespace qz {

// A row whose step is not bound fails with its message, so a program built
// before its steps never reports an installation it did not make.
InstallSteps ProgramSteps() { return InstallSteps{}; }

}  // namespace qz
