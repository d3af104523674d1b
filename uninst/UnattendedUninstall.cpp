#include "uninst/UnattendedUninstall.h"

#include <exception>

#include "common/UnattendedRun.h"
#include "uninst/UninstallApp.h"
#include "uninst/UninstallOperator.h"

namespace qz {

bool AsksForUnattendedRun(const std::vector<CommandArgument>& arguments) {
  for (const CommandArgument& argument : arguments) {
    if (argument.text == "/S" || argument.text == "/s") return true;
  }
  return false;
}

int RunUnattendedUninstall(platform::Platform& machine, const std::vector<CommandArgument>& arguments,
                           const platform::sim::DialogTemplateSet& templates) {
  platform::sim::SimUserInterface engine(machine.files);
  engine.SetProgramName(machine.ui.ProgramName());
  engine.SetTemplates(templates);
  UninstallOperator person(false);
  BoxLoggingOperator op(person);
  engine.SetOperator(&op);
  platform::Platform platform{machine.files, machine.registry, machine.clock, engine, machine.shell};
  UninstallOutcome outcome = UninstallOutcome::Failed;
  try {
    outcome = UninstallApp(platform, arguments, [&op](LogFile& log) { op.RecordTo(&log); });
  } catch (const std::exception&) {
    // The operator had nothing more to do on a dialog (the log says which).
    return 1;
  }
  switch (outcome) {
    case UninstallOutcome::Finished: return 0;
    case UninstallOutcome::NotInstalled:
    case UninstallOutcome::Stopped: return 2;
    case UninstallOutcome::Failed:
    case UninstallOutcome::Left: break;
  }
  return 1;
}

}  // namespace qz
