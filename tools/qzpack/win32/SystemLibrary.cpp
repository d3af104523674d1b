#include "tools/qzpack/win32/SystemLibrary.h"

#include <string>

namespace qz::pack::win32 {
namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// The LOAD_LIBRARY_SEARCH_* flags came with SetDefaultDllDirectories; a
// system without it refuses them (87).
bool HasSearchFlags() {
  return ProcOf<SetDefaultDllDirectoriesFunction>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories") !=
         nullptr;
}

}  // namespace

void LimitDllSearchToSystem() {
  SetDllDirectoryW(L"");
  auto setDefault =
      ProcOf<SetDefaultDllDirectoriesFunction>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (HasSearchFlags()) return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Without the flags: by the full path, and the DLL's own imports searched
  // from its folder first.
  wchar_t system[MAX_PATH];
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(system, length) + L"\\" + name;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace qz::pack::win32
