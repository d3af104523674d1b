#include "tools/qzpack/stub/UserFunctions.h"

#include "tools/qzpack/win32/SystemLibrary.h"

namespace qz::pack::win32 {
namespace {

template <typename Function>
bool Find(HMODULE module, const char* name, Function& function) {
  function = ProcOf<Function>(module, name);
  return function != nullptr;
}

UserFunctions Load() {
  UserFunctions f;
  HMODULE user = LoadSystemLibrary(L"user32.dll");
  HMODULE gdi = LoadSystemLibrary(L"gdi32.dll");
  f.windows = Find(user, "MessageBoxW", f.messageBox) & Find(user, "RegisterClassW", f.registerClass) &
              Find(user, "CreateWindowExW", f.createWindow) & Find(user, "DestroyWindow", f.destroyWindow) &
              Find(user, "DefWindowProcW", f.defaultWindowProcedure) & Find(user, "ShowWindow", f.showWindow) &
              Find(user, "SetWindowTextW", f.setWindowText) & Find(user, "SendMessageW", f.sendMessage) &
              Find(user, "PeekMessageW", f.peekMessage) & Find(user, "TranslateMessage", f.translateMessage) &
              Find(user, "DispatchMessageW", f.dispatchMessage) & Find(user, "GetClientRect", f.getClientRect) &
              Find(user, "GetSystemMetrics", f.getSystemMetrics) &
              Find(user, "SystemParametersInfoW", f.systemParametersInfo) & Find(user, "LoadCursorW", f.loadCursor) &
              Find(user, "LoadIconW", f.loadIcon) & Find(user, "GetDC", f.getDc) &
              Find(user, "ReleaseDC", f.releaseDc) & Find(gdi, "GetDeviceCaps", f.getDeviceCaps) &
              Find(gdi, "CreateFontIndirectW", f.createFont) & Find(gdi, "DeleteObject", f.deleteObject);
  // Through the manifest, the loader takes version 6 of the common controls.
  f.controls = f.windows && Find(LoadSystemLibrary(L"comctl32.dll"), "InitCommonControlsEx", f.initCommonControls);
  return f;
}

}  // namespace

const UserFunctions& User() {
  static const UserFunctions functions = Load();
  return functions;
}

}  // namespace qz::pack::win32
