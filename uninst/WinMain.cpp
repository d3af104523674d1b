// qzuninst.exe: the uninstaller on the real machine, started by the
// system's uninstall entry or the program group's shortcut with the
// application's name as its argument.
//
//   qzuninst.exe [/S] "Application name"
//
// With /S the removal runs without a window and without the confirmation
// (uninst/UnattendedUninstall.h) and tells its outcome in the exit status.
// Without it the dialogs are shown and the exit status is 0 in every case.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/WideText.h"
#include "uninst/UnattendedUninstall.h"
#include "uninst/UninstallApp.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQzuninstDialogs;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  // First of all: the machine turns the system's error boxes off.
  qz::platform::win32::Win32Machine machine;
  // The C runtime has split the wide command line by the platform's rules:
  // a quoted name with blanks arrives as one argument without its quotes,
  // with its letters as written, whatever the system's code page.
  std::vector<qz::CommandArgument> arguments;
  for (int i = 1; i < __argc; ++i) {
    std::string text;
    bool whole = qz::platform::win32::Narrow(__wargv[i], text);
    arguments.emplace_back(text, whole);
  }
  if (qz::AsksForUnattendedRun(arguments)) {
    return qz::RunUnattendedUninstall(machine.platform(), arguments, qz::templates::kQzuninstDialogs);
  }
  qz::UninstallApp(machine.platform(), arguments);
  return 0;
}
