// planted_loader.exe NAME: loads the DLL NAME through the ordinary search
// order (the program's folder first): the stub's tests prove with it that a
// planted DLL would be loaded, so that its absence from the stub means
// something.

#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 64;
  return LoadLibraryW(argv[1]) ? 0 : 1;
}
