// qzuninst on the simulated machine: the uninstaller run by an unattended
// operator, its transcript on standard output.
//
//   qzuninst [--machine DIR] [--cancel] [--in-use PATH]... "Application name"
//
// --in-use is a test hook: the file counts as held open by another program
// for this run, so that its deletion fails.
//
// Exit status: 0 removed, 1 the removal failed (or the application is not
// installed), 2 stopped by a message before any page, 3 the user cancelled,
// 64 bad usage, 70 the run could not go on (the machine is in use).

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/DialogTemplate.h"
#include "platform/sim/NativeProgram.h"
#include "platform/sim/SimMachine.h"
#include "uninst/UninstallApp.h"
#include "uninst/UninstallOperator.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQzuninstDialogs;
}

namespace {

using qz::platform::sim::kExitUsage;
using qz::platform::sim::ProgramArgument;

int Usage(const char* problem) {
  if (problem) std::fprintf(stderr, "qzuninst: %s\n", problem);
  std::fprintf(stderr, "usage: qzuninst [--machine DIR] [--cancel] [--in-use PATH]... \"Application name\"\n"
                       "Removes an application from a simulated machine.\n"
                       "Test hook, for this run only:\n"
                       "  --in-use PATH  the file is held open by another program: deleting it\n"
                       "                 fails with 32\n");
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path machineDir = qz::platform::sim::DefaultMachineDir();
  bool cancel = false;
  std::vector<std::string> filesInUse;
  // What the program itself sees of its command line, as on Windows.
  std::vector<qz::CommandArgument> arguments;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--machine") {
      if (i + 1 >= argc || !*argv[i + 1]) return Usage("--machine needs a directory");
      machineDir = argv[++i];
    } else if (arg == "--cancel") {
      cancel = true;
    } else if (arg == "--in-use") {
      std::string converted;
      if (i + 1 >= argc || !*argv[i + 1]) return Usage("--in-use needs a path");
      if (!ProgramArgument(argv[++i], converted)) return Usage("--in-use holds a character that Windows-1250 lacks");
      filesInUse.push_back(converted);
    } else if (arg == "--help" || arg == "-h") {
      Usage(nullptr);
      return 0;
    } else {
      // One that Windows-1250 cannot carry goes to the program all the
      // same, which refuses it as on Windows.
      std::string converted;
      bool whole = ProgramArgument(arg.c_str(), converted);
      arguments.emplace_back(converted, whole);
    }
  }

  try {
    qz::platform::sim::SimMachine machine(machineDir, std::filesystem::current_path());
    for (const std::string& path : filesInUse) machine.files().SetInUse(path.c_str(), true);
    auto& ui = machine.ui();
    ui.SetProgramName("qzuninst");
    ui.SetTemplates(qz::templates::kQzuninstDialogs);
    qz::UninstallOperator op(cancel);
    ui.SetOperator(&op);
    qz::platform::sim::EchoTranscript(ui);
    switch (qz::UninstallApp(machine.platform(), arguments)) {
      case qz::UninstallOutcome::Finished: return 0;
      case qz::UninstallOutcome::Failed:
      case qz::UninstallOutcome::NotInstalled: return 1;
      case qz::UninstallOutcome::Stopped: return 2;
      case qz::UninstallOutcome::Left: return 3;
    }
    return 1;
  } catch (const std::exception& e) {
    return qz::platform::sim::ReportTrouble("qzuninst", e);
  }
}
