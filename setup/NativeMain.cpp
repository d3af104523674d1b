// QZSetup on the simulated machine: the setup program run in the medium's
// directory by an unattended operator, its transcript on standard output.
//
//   QZSetup [--machine DIR] [--dir PATH] [--no-overwrite] [--leave-at PAGE]
//           [--deny-writes KEY]... [--in-use PATH]...
//
// The last two are test hooks that set up a failure on the machine for this
// run only: a registry key below which nothing may be written, a file that
// another program holds open.
//
// Exit status: 0 finished, 1 the installation failed, 2 stopped by a
// message before any page, 3 the user left, 64 bad usage, 70 the run could
// not go on (the machine is in use, or the operator had nothing to do).

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/Registry.h"
#include "platform/sim/DialogTemplate.h"
#include "platform/sim/NativeProgram.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/btrieve/SimBtrieve.h"
#include "setup/ProgramSteps.h"
#include "setup/SetupApp.h"
#include "setup/UnattendedOperator.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQZSetupDialogs;
}

namespace {

using qz::platform::sim::kExitUsage;
using qz::platform::sim::ProgramArgument;

int Usage(const char* problem) {
  if (problem) std::fprintf(stderr, "QZSetup: %s\n", problem);
  std::fprintf(stderr,
               "usage: QZSetup [--machine DIR] [--dir PATH] [--no-overwrite] [--leave-at 101|102|103|105]\n"
               "               [--deny-writes KEY]... [--in-use PATH]...\n"
               "Runs the setup in the current directory (the installation medium) on a simulated machine.\n"
               "Test hooks, for this run only:\n"
               "  --deny-writes KEY  creating keys and storing values at or below the key\n"
               "                     (HKEY_LOCAL_MACHINE\\...; made if it is missing) fail\n"
               "                     with 5, access denied\n"
               "  --in-use PATH      the file is held open by another program: opening,\n"
               "                     copying over or deleting it fails with 32\n");
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path machineDir = qz::platform::sim::DefaultMachineDir();
  qz::UnattendedOptions options;
  std::vector<std::pair<qz::platform::RootKey, qz::KeyPathText>> deniedKeys;
  std::vector<std::string> filesInUse;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](const char* name) -> const char* {
      if (i + 1 >= argc) return nullptr;
      (void)name;
      return argv[++i];
    };
    if (arg == "--machine") {
      const char* v = value("--machine");
      if (!v || !*v) return Usage("--machine needs a directory");
      machineDir = v;
    } else if (arg == "--dir") {
      const char* v = value("--dir");
      if (!v) return Usage("--dir needs a path");
      if (!ProgramArgument(v, options.dir)) return Usage("--dir holds a character that Windows-1250 lacks");
      options.hasDir = true;
    } else if (arg == "--no-overwrite") {
      options.noOverwrite = true;
    } else if (arg == "--leave-at") {
      const char* v = value("--leave-at");
      std::string page = v ? v : "";
      if (page != "101" && page != "102" && page != "103" && page != "105") {
        return Usage("--leave-at takes 101, 102, 103 or 105");
      }
      options.leaveAt = std::atoi(page.c_str());
    } else if (arg == "--deny-writes" || arg == "--in-use") {
      const char* v = value(arg.c_str());
      std::string converted;
      if (!v || !*v) return Usage((arg + " needs a value").c_str());
      if (!ProgramArgument(v, converted)) return Usage((arg + " holds a character that Windows-1250 lacks").c_str());
      if (arg == "--in-use") {
        filesInUse.push_back(converted);
        continue;
      }
      auto& [root, subkey] = deniedKeys.emplace_back();
      if (!qz::Registry::SplitKeyPath(converted, root, subkey)) {
        return Usage("--deny-writes needs a key path such as HKEY_LOCAL_MACHINE\\SOFTWARE");
      }
    } else if (arg == "--help" || arg == "-h") {
      Usage(nullptr);
      return 0;
    } else {
      return Usage(("unknown argument: " + arg).c_str());
    }
  }

  try {
    qz::platform::sim::SimMachine machine(machineDir, std::filesystem::current_path());
    for (const auto& [root, subkey] : deniedKeys) machine.registry().DenyWrites(root, subkey.c_str());
    for (const std::string& path : filesInUse) machine.files().SetInUse(path.c_str(), true);
    auto& ui = machine.ui();
    ui.SetTemplates(qz::templates::kQZSetupDialogs);
    qz::UnattendedOperator op(ui, options);
    ui.SetOperator(&op);
    qz::platform::sim::EchoTranscript(ui);
    qz::platform::sim::SimBtrieve btrieve(machine);
    qz::SetupApp app(machine.platform(), btrieve, qz::MakeInstallSequence(qz::ProgramSteps()));
    app.Run();
    return qz::ExitStatus(app.outcome);
  } catch (const std::exception& e) {
    return qz::platform::sim::ReportTrouble("QZSetup", e);
  }
}
