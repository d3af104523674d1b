// QZSetup on the simulated machine: the setup program run in the medium's
// directory by an unattended operator, its transcript on standard output.
//
//   QZSetup [--machine DIR] [--dir PATH] [--no-overwrite] [--leave-at PAGE]
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

#include "common/CodePage.h"
#include "platform/sim/DialogTemplate.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/btrieve/SimBtrieve.h"
#include "setup/ProgramSteps.h"
#include "setup/SetupApp.h"
#include "setup/UnattendedOperator.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQZSetupDialogs;
}

namespace {

constexpr int kExitUsage = 64;
constexpr int kExitTrouble = 70;

int Usage(const char* problem) {
  if (problem) std::fprintf(stderr, "QZSetup: %s\n", problem);
  std::fprintf(stderr,
               "usage: QZSetup [--machine DIR] [--dir PATH] [--no-overwrite] [--leave-at 101|102|103|105]\n"
               "Runs the setup in the current directory (the installation medium) on a simulated machine.\n");
  return kExitUsage;
}

std::filesystem::path DefaultMachine() {
  const char* data = std::getenv("XDG_DATA_HOME");
  std::filesystem::path base;
  if (data && *data) {
    base = data;
  } else {
    const char* home = std::getenv("HOME");
    base = std::filesystem::path(home && *home ? home : ".") / ".local" / "share";
  }
  return base / "qzsetup" / "machine";
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path machineDir = DefaultMachine();
  qz::UnattendedOptions options;
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
      if (!qz::Cp1250FromUtf8(v, options.dir)) return Usage("--dir holds a character that Windows-1250 lacks");
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
    } else if (arg == "--help" || arg == "-h") {
      Usage(nullptr);
      return 0;
    } else {
      return Usage(("unknown argument: " + arg).c_str());
    }
  }

  try {
    qz::platform::sim::SimMachine machine(machineDir, std::filesystem::current_path());
    auto& ui = machine.ui();
    ui.SetTemplates(qz::templates::kQZSetupDialogs);
    qz::UnattendedOperator op(ui, options);
    ui.SetOperator(&op);
    ui.SetTranscriptEcho([](const std::string& line) {
      std::string text = qz::Utf8FromCp1250(line);
      std::fwrite(text.data(), 1, text.size(), stdout);
      std::fputc('\n', stdout);
      std::fflush(stdout);
    });
    qz::platform::sim::SimBtrieve btrieve(machine);
    qz::SetupApp app(machine.platform(), btrieve, qz::MakeInstallSequence(qz::ProgramSteps()));
    app.Run();
    switch (app.outcome) {
      case qz::RunOutcome::Finished: return 0;
      case qz::RunOutcome::Stopped: return 2;
      case qz::RunOutcome::Left: return 3;
      case qz::RunOutcome::Failed:
      case qz::RunOutcome::Running: return 1;
    }
    return 1;
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "QZSetup: %s\n", qz::Utf8FromCp1250(e.what()).c_str());
    return kExitTrouble;
  }
}
