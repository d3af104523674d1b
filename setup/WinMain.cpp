// QZSetup.exe: the setup program on the real machine.
#include <windows.h>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/btrieve/Win32Btrieve.h"
#include "setup/ProgramSteps.h"
#include "setup/SetupApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  qz::platform::win32::Win32Machine machine;
  // BTRCALL is bound by ordinal 1 when the program is loaded.
  qz::platform::win32::Win32Btrieve btrieve;
  qz::SetupApp app(machine.platform(), btrieve, qz::MakeInstallSequence(qz::ProgramSteps()));
  app.Run();
  // Success in every case: the outcome was told to the user and the log.
  return 0;
}
