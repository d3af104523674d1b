// qzstub.exe: the setup stub of a one-file medium (tools/qzpack). It checks
// the file it was started from, extracts QZSetup.exe and the medium into a
// folder of their own, runs the setup program there with the stub's
// arguments (/S, /NOOVERWRITE, /D=...), removes the folder and returns the
// setup program's exit status, or its own (StubRun.h) when it could not get
// that far.
//
// It imports kernel32.dll, advapi32.dll and msvcrt.dll alone, which Windows
// loads from the system folder, and once it has limited the DLL search to
// that folder, loads the rest from there (bcrypt.dll; user32.dll, gdi32.dll
// and comctl32.dll when it shows something: UserFunctions.h).

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "setup/CommandLine.h"
#include "tools/qzpack/PackFormat.h"
#include "tools/qzpack/StubRun.h"
#include "tools/qzpack/stub/StubTexts.h"
#include "tools/qzpack/stub/Win32StubSystem.h"
#include "tools/qzpack/win32/SystemLibrary.h"

// The pack record, filled in by qzpack (tools/qzpack/PackFormat.h).
__attribute__((section(".qzpack"), used)) constinit const std::array<unsigned char, qz::pack::kRecordSize>
    kPackRecord = qz::pack::EmptyRecord();

namespace {

std::wstring ModulePath() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) return std::wstring(path.data(), length);
    path.resize(path.size() * 2);
  }
}

// The command line after the program's path, which the system quotes when
// it holds blanks, and the blanks after it.
std::wstring ArgumentsOf(const wchar_t* commandLine) {
  std::wstring_view line(commandLine ? commandLine : L"");
  std::size_t end = 0;
  if (!line.empty() && line[0] == L'"') {
    end = line.find(L'"', 1);
    end = end == std::wstring_view::npos ? line.size() : end + 1;
  } else {
    while (end < line.size() && line[end] != L' ' && line[end] != L'\t') ++end;
  }
  while (end < line.size() && (line[end] == L' ' || line[end] == L'\t')) ++end;
  return std::wstring(line.substr(end));
}

// /S as the setup program reads it: then the stub shows nothing either.
bool Silent(const std::wstring& arguments) {
  qz::SetupCommandLine options;
  std::string problem;
  qz::ParseSetupCommandLine(u"qzstub " + std::u16string(arguments.begin(), arguments.end()), options, problem);
  return options.silent;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  qz::pack::win32::LimitDllSearchToSystem();
  const std::wstring arguments = ArgumentsOf(GetCommandLineW());
  qz::pack::StubOptions options;
  options.silent = Silent(arguments);
  qz::pack::win32::Win32StubSystem system(ModulePath(), arguments);
  if (const DWORD error = system.OpenSelf(); error != 0) {
    if (!options.silent) system.ShowMessage(qz::pack::StubMessage::kCannotExtract, error);
    return qz::pack::kExitCannotExtract;
  }
  return qz::pack::RunStub(system, options);
}
