// QZSetup.exe: the setup program on the real machine.
//
//   QZSetup.exe [/S [/NOOVERWRITE] [/D=PATH]]
//
// Without options the wizard is shown; with /S it runs unattended and
// without a window (setup/UnattendedSetup.h). Both return the native
// program's exit statuses: 0 finished, 1 failed, 2 stopped by a message
// before any page, 3 left (a directory the page refused, or the overwrite
// question answered No), 64 a command line not understood.
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/btrieve/Win32Btrieve.h"
#include "setup/ProgramSteps.h"
#include "setup/SetupApp.h"
#include "setup/UnattendedSetup.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQZSetupDialogs;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // First of all: the machine turns the system's error boxes off.
  qz::platform::win32::Win32Machine machine;
  // BTRCALL is bound by ordinal 1 when the program is loaded.
  qz::platform::win32::Win32Btrieve btrieve;
  qz::SetupCommandLine options;
  std::string problem;
  // The wide command line: a /D= path arrives as it was written, whatever
  // the system's code page.
  std::wstring_view line = GetCommandLineW();
  if (!qz::ParseSetupCommandLine(std::u16string(line.begin(), line.end()), options, problem)) {
    return qz::SetupBadUsage(machine.platform(), options.silent, problem);
  }
  if (options.silent) {
    return qz::RunUnattendedSetup(machine.platform(), btrieve, qz::MakeInstallSequence(qz::ProgramSteps()), options,
                                  qz::templates::kQZSetupDialogs);
  }
  qz::SetupApp app(machine.platform(), btrieve, qz::MakeInstallSequence(qz::ProgramSteps()));
  app.Run();
  return qz::ExitStatus(app.outcome);
}
