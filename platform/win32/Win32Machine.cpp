#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace qz::platform::win32 {

QuietSystemErrors::QuietSystemErrors() { SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX); }

}  // namespace qz::platform::win32
