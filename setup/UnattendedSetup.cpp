#include "setup/UnattendedSetup.h"

#include <exception>

#include "common/UnattendedRun.h"
#include "setup/SetupApp.h"
#include "setup/UnattendedOperator.h"

namespace qz {

int RunUnattendedSetup(platform::Platform& machine, platform::BtrieveEngine& btrieve, InstallSequence sequence,
                       const SetupCommandLine& options, const platform::sim::DialogTemplateSet& templates) {
  platform::sim::SimUserInterface engine(machine.files);
  engine.SetProgramName(machine.ui.ProgramName());
  engine.SetTemplates(templates);
  UnattendedOptions answers;
  answers.hasDir = options.hasDir;
  answers.dir = options.dir;
  answers.dirConvertible = options.dirConvertible;
  answers.noOverwrite = options.noOverwrite;
  UnattendedOperator person(engine, answers);
  BoxLoggingOperator op(person);
  engine.SetOperator(&op);
  platform::Platform platform{machine.files, machine.registry, machine.clock, engine, machine.shell};
  SetupApp app(platform, btrieve, std::move(sequence));
  if (options.hasDir) app.givenDir = options.dir;
  op.RecordTo(&app.log);
  try {
    app.Run();
  } catch (const std::exception&) {
    // The operator had nothing more to give on a dialog (the log says
    // which): the run ends as failed.
    app.log.Close();
    return 1;
  }
  return ExitStatus(app.outcome);
}

int SetupBadUsage(platform::Platform& machine, bool silent, const std::string& problem) {
  constexpr int kExitUsage = 64;
  std::string text = SetupUsage(problem);
  if (!silent) {
    machine.ui.ShowMessage(text.c_str(), machine.ui.ProgramName(), platform::Buttons::Ok, platform::Icon::Exclamation);
    return kExitUsage;
  }
  LogFile log(machine.files);
  PathText directory;
  LogText ignored;
  if (LogFile::LogDirectory(machine.files, directory) && log.Open(directory.c_str(), ignored)) {
    log.WriteBanner(LogFile::Program::Setup, machine.clock.Now());
    log.Write(text);
    log.Close();
  }
  return kExitUsage;
}

}  // namespace qz
