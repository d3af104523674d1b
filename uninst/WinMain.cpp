// qzuninst.exe: the uninstaller on the real machine, started by the
// system's uninstall entry or the program group's shortcut with the
// application's name as its argument.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "uninst/UninstallApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The C runtime has split the command line by the platform's rules: a
  // quoted name with blanks arrives as one argument without its quotes.
  std::vector<std::string> arguments;
  for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
  qz::platform::win32::Win32Machine machine;
  qz::UninstallApp(machine.platform(), arguments);
  return 0;
}
