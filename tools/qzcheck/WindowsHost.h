#pragma once
// What qzcheck.exe (and qzpack.exe) read a medium with on Windows: the real
// file system, the medium made the current directory, and the database
// files opened through wbtrv32.dll, as QZSetup.exe does. The dry run is the
// native program's alone.

#include "platform/win32/Win32Platform.h"
#include "platform/win32/btrieve/Win32Btrieve.h"
#include "tools/qzcheck/Program.h"

namespace qz::check {

class WindowsHost : public ProgramHost {
 public:
  bool OpenMedium(const std::string& medium, std::string& problem) override;
  platform::FileSystem& files() override { return files_; }
  platform::BtrieveEngine& btrieve() override { return btrieve_; }
  int Plan(const std::string&, const std::optional<std::string>&, const std::optional<std::string>&, std::string&,
           std::string& problem) override;

 private:
  platform::win32::Win32FileSystem files_;
  platform::win32::Win32Btrieve btrieve_;
};

}  // namespace qz::check
