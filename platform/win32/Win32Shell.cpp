#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace qz::platform::win32 {

// Not yet: shell links arrive with the install steps.
HResult Win32Shell::Initialize() { return 0; }
void Win32Shell::Uninitialize() {}
std::unique_ptr<ShellLink> Win32Shell::CreateLink(HResult& result) {
  result = static_cast<HResult>(E_NOTIMPL);
  return nullptr;
}
HResult Win32Shell::QueryPersistFile(ShellLink&) { return static_cast<HResult>(E_NOTIMPL); }

}  // namespace qz::platform::win32
