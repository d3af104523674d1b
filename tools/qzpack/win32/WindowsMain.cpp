// qzpack.exe: qzpack for makers on Windows. It checks the medium with the
// checker as qzcheck.exe does (the database files through the wbtrv32.dll
// beside it), reads and writes files through the wide calls, and hashes with
// the system's bcrypt.dll; it writes the same file as the native qzpack.
// Its arguments are taken in UTF-16 and its output is UTF-8.

#include <windows.h>

#include <shellapi.h>

#include "tools/qzcheck/WindowsConsole.h"
#include "tools/qzcheck/WindowsHost.h"
#include "tools/qzpack/PackProgram.h"
#include "tools/qzpack/win32/BcryptSha256.h"
#include "tools/qzpack/win32/SystemLibrary.h"
#include "tools/qzpack/win32/Win32Files.h"
#include "tools/qzpack/win32/Win32PackFiles.h"

namespace {

using namespace qz::pack::win32;

std::wstring FullPath(const std::wstring& path) {
  const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  std::wstring full(length, L'\0');
  const DWORD got = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
  if (got == 0 || got >= length) return path;
  full.resize(got);
  return full;
}

class WindowsPackHost : public qz::pack::PackProgramHost {
 public:
  qz::check::ProgramHost& checker() override { return checker_; }
  std::string Absolute(const std::string& path) override { return Utf8FromWide(FullPath(WideFromUtf8(path))); }
  std::unique_ptr<qz::pack::PackSource> OpenSource(const std::string& medium, const std::string& programs,
                                                   std::string&) override {
    return OpenWin32Source(WideFromUtf8(medium), WideFromUtf8(programs));
  }
  std::unique_ptr<qz::pack::OutputFile> CreateOutput(const std::string& path, std::string& problem) override {
    return CreateWin32Output(WideFromUtf8(path), problem);
  }
  std::unique_ptr<qz::pack::ByteSource> OpenFile(const std::string& path) override {
    return OpenForReading(WideFromUtf8(path));
  }
  std::unique_ptr<qz::pack::Sha256> NewSha256() override { return NewBcryptSha256(); }
  // qzpack.exe lies in the programs' folder, beside qzstub.exe and QZSetup.exe.
  std::string DefaultPrograms() override {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "";
    std::wstring folder(path, length);
    return Utf8FromWide(folder.substr(0, folder.find_last_of(L'\\')));
  }

 private:
  qz::check::WindowsHost checker_;
};

}  // namespace

int main() {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i) args.push_back(Utf8FromWide(wide[i]));
  if (wide) LocalFree(wide);
  return qz::check::RunConsoleTool("qzpack", [&](std::string& out, std::string& err) {
    WindowsPackHost host;
    return qz::pack::RunPackProgram(args, host, out, err);
  });
}
