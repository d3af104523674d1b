#pragma once
// DLLs from the system folder only. A program started from a Downloads
// folder must not load a DLL planted beside it or in the current directory,
// through its imports or through a system DLL that loads another by name.

#include <windows.h>

namespace qz::pack::win32 {

// Takes the program's folder and the current directory out of the search
// for every DLL loaded from now on. SetDefaultDllDirectories is looked up:
// Vista and 7 lack it without their update (KB2533623), and there the
// current directory at least is taken out.
void LimitDllSearchToSystem();

// Loads a DLL of the system folder; null with GetLastError() otherwise.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A function of a loaded DLL as the pointer type it is called through.
template <typename Function>
Function ProcOf(HMODULE module, const char* name) {
  FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(proc));
}

}  // namespace qz::pack::win32
