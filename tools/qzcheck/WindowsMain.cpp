// qzcheck.exe: the same checks on Windows, reading the medium through the
// real file system and opening its database files through wbtrv32.dll, as
// QZSetup.exe does. Its output is UTF-8, as the native program's, so that
// the two can be compared and --json is valid JSON everywhere.
//
// The dry run (--plan) is the native program's alone: it installs the
// medium on a throw-away simulated machine, and a dry run on Windows would
// need a throw-away copy of the Windows it runs on. qzcheck.exe refuses it.

#include <windows.h>

#include "tools/qzcheck/WindowsConsole.h"
#include "tools/qzcheck/WideUtf8.h"
#include "tools/qzcheck/WindowsHost.h"


int wmain(int argc, wchar_t** argv) {
  // The wide arguments, as written whatever the system's code page.
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(qz::check::Utf8FromWide(argv[i]));
  return qz::check::RunConsoleTool("qzcheck", [&](std::string& out, std::string& err) {
    qz::check::WindowsHost host;
    return qz::check::RunProgram(args, host, out, err);
  });
}
