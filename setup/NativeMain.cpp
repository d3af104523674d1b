// QZSetup on the simulated machine: the setup program run in the medium's
// directory by an unattended operator, its transcript on standard output.
//
//   QZSetup [--machine DIR] [--dir PATH] [--no-overwrite] [--leave-at PAGE]
//           [--deny-writes KEY]... [--in-use PATH]... [--kill-at-write N [--kill-under KEY]...]
//
// The last ones are test hooks that set up a failure on the machine for
// this run only: a registry key below which nothing may be written, a file
// that another program holds open, the program killed as it is about to
// store its Nth registry value (below the keys given, or anywhere).
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
#include "platform/sim/NativeProgram.h"
#include "platform/sim/SimMachine.h"
#include "setup/SimulatedSetup.h"

namespace {

using qz::platform::sim::kExitUsage;
using qz::platform::sim::ProgramArgument;

int Usage(const char* problem) {
  if (problem) std::fprintf(stderr, "QZSetup: %s\n", problem);
  std::fprintf(stderr,
               "usage: QZSetup [--machine DIR] [--dir PATH] [--no-overwrite] [--leave-at 101|102|103|105]\n"
               "               [--deny-writes KEY]... [--in-use PATH]... [--kill-at-write N [--kill-under KEY]...]\n"
               "Runs the setup in the current directory (the installation medium) on a simulated machine.\n"
               "Test hooks, for this run only:\n"
               "  --deny-writes KEY  creating keys and storing values at or below the key\n"
               "                     (HKEY_LOCAL_MACHINE\\...; made if it is missing) fail\n"
               "                     with 5, access denied\n"
               "  --in-use PATH      the file is held open by another program: opening,\n"
               "                     copying over or deleting it fails with 32\n"
               "  --kill-at-write N  the program dies (status 137) as it is about to store its\n"
               "                     Nth registry value below a --kill-under KEY (default:\n"
               "                     anywhere), as when it is killed\n");
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path machineDir = qz::platform::sim::DefaultMachineDir();
  qz::UnattendedOptions options;
  std::vector<std::pair<qz::platform::RootKey, qz::KeyPathText>> deniedKeys;
  std::vector<std::string> filesInUse;
  int killAt = 0;
  std::vector<std::string> killUnder;
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
      // Typed into the directory page even when Windows-1250 lacks one of
      // its characters: the page refuses it, as on Windows.
      options.dirConvertible = ProgramArgument(v, options.dir);
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
    } else if (arg == "--kill-at-write") {
      const char* v = value("--kill-at-write");
      killAt = v ? std::atoi(v) : 0;
      if (killAt <= 0) return Usage("--kill-at-write needs a number from 1");
    } else if (arg == "--kill-under") {
      const char* v = value("--kill-under");
      std::string converted;
      if (!v || !*v || !ProgramArgument(v, converted)) return Usage("--kill-under needs a key path");
      killUnder.push_back(converted);
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
    if (killAt > 0) {
      if (killUnder.empty()) killUnder = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_USERS"};
      machine.registry().KillAtWrite(killAt, killUnder);
    }
    qz::platform::sim::EchoTranscript(machine.ui());
    return qz::ExitStatus(qz::RunUnattended(machine, options).outcome);
  } catch (const std::exception& e) {
    return qz::platform::sim::ReportTrouble("QZSetup", e);
  }
}
