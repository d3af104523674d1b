#pragma once
// The console side of the Windows tools (qzcheck.exe, qzpack.exe): their
// output is UTF-8 bytes, as the native programs', so that the two can be
// compared and --json is valid JSON whatever the console's code page; an
// exception is reported on the error stream as trouble.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>

#include "text/CodePage.h"
#include "tools/qzcheck/Program.h"

namespace qz::check {

inline void WriteBytes(FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

// Runs `run(out, err)` and writes what it wrote; returns its status.
template <class Run>
int RunConsoleTool(const char* name, Run run) {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
  std::string out, err;
  int status;
  try {
    status = run(out, err);
  } catch (const std::exception& e) {
    err += std::string(name) + ": " + Utf8FromCp1250(e.what()) + "\n";
    status = kExitTrouble;
  }
  WriteBytes(stdout, out);
  WriteBytes(stderr, err);
  return status;
}

}  // namespace qz::check
