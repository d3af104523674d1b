// qzcheck.exe: the same checks on Windows, reading the medium through the
// real file system and opening its database files through wbtrv32.dll, as
// QZSetup.exe does. Its output is UTF-8, as the native program's, so that
// the two can be compared and --json is valid JSON everywhere.
//
// The dry run (--plan) is the native program's alone: it installs the
// medium on a throw-away simulated machine, and a dry run on Windows would
// need a throw-away copy of the Windows it runs on. qzcheck.exe refuses it.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <exception>

#include "text/CodePage.h"
#include "tools/qzcheck/WindowsHost.h"

namespace {

std::string Utf8FromWide(const wchar_t* text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string utf8(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), n, nullptr, nullptr);
  utf8.pop_back();  // the terminator
  return utf8;
}

void Write(FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The wide arguments, as written whatever the system's code page.
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8FromWide(argv[i]));
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
  std::string out, err;
  int status;
  try {
    qz::check::WindowsHost host;
    status = qz::check::RunProgram(args, host, out, err);
  } catch (const std::exception& e) {
    err += std::string("qzcheck: ") + qz::Utf8FromCp1250(e.what()) + "\n";
    status = qz::check::kExitTrouble;
  }
  Write(stdout, out);
  Write(stderr, err);
  return status;
}
