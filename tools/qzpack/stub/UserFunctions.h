#pragma once
// The user interface functions the stub calls, from user32.dll, gdi32.dll
// and comctl32.dll loaded at first use from the system folder. The stub
// imports none of them: a DLL imported is loaded before the stub's first
// instruction, with the DLLs it imports in turn (user32.dll brings
// version.dll under Wine, for one), found through the search order that
// starts in the download's folder. Loaded after LimitDllSearchToSystem, they
// and what they import come from the system folder.

#include <windows.h>
#include <commctrl.h>

namespace qz::pack::win32 {

struct UserFunctions {
  decltype(&MessageBoxW) messageBox = nullptr;
  decltype(&RegisterClassW) registerClass = nullptr;
  decltype(&CreateWindowExW) createWindow = nullptr;
  decltype(&DestroyWindow) destroyWindow = nullptr;
  WNDPROC defaultWindowProcedure = nullptr;
  decltype(&ShowWindow) showWindow = nullptr;
  decltype(&SetWindowTextW) setWindowText = nullptr;
  decltype(&SendMessageW) sendMessage = nullptr;
  decltype(&PeekMessageW) peekMessage = nullptr;
  decltype(&TranslateMessage) translateMessage = nullptr;
  decltype(&DispatchMessageW) dispatchMessage = nullptr;
  decltype(&GetClientRect) getClientRect = nullptr;
  decltype(&GetSystemMetrics) getSystemMetrics = nullptr;
  decltype(&SystemParametersInfoW) systemParametersInfo = nullptr;
  decltype(&LoadCursorW) loadCursor = nullptr;
  decltype(&LoadIconW) loadIcon = nullptr;
  decltype(&GetDC) getDc = nullptr;
  decltype(&ReleaseDC) releaseDc = nullptr;
  decltype(&GetDeviceCaps) getDeviceCaps = nullptr;
  decltype(&CreateFontIndirectW) createFont = nullptr;
  decltype(&DeleteObject) deleteObject = nullptr;
  decltype(&InitCommonControlsEx) initCommonControls = nullptr;

  // Every function of user32.dll and gdi32.dll was found (a message box
  // needs no more).
  bool windows = false;
  // And the common controls' too (the progress bar).
  bool controls = false;
};

// Loads the DLLs at the first call; later calls return the same table.
const UserFunctions& User();

}  // namespace qz::pack::win32
