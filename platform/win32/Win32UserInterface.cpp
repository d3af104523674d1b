#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace qz::platform::win32 {

// Not yet: dialogs and the main window arrive with the setup program.
int Win32UserInterface::RunDialog(DialogHandler&) { return -1; }
int Win32UserInterface::ShowMessage(const char* text, const char* caption, Buttons buttons, Icon) {
  return MessageBoxA(nullptr, text, caption, buttons == Buttons::YesNo ? MB_YESNO : MB_OK);
}
std::unique_ptr<Bitmap> Win32UserInterface::LoadBitmapFile(const char*) { return nullptr; }
void Win32UserInterface::RunMainWindow(const char*, MainWindowHandler&) {}
void Win32UserInterface::CloseMainWindow() {}
const char* Win32UserInterface::ProgramName() { return "QZSetup"; }

}  // namespace qz::platform::win32
