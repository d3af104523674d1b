#pragma once
// qzpack.exe's files: the medium and the programs' folder it reads, and
// the packed file it writes, through the wide Win32 calls.

#include <memory>
#include <string>

#include "tools/qzpack/PackProgram.h"

namespace qz::pack::win32 {

// The medium's and the programs' folders (full paths).
std::unique_ptr<PackSource> OpenWin32Source(const std::wstring& medium, const std::wstring& programs);
// The packed file, written under a name of its own and renamed at Commit.
std::unique_ptr<OutputFile> CreateWin32Output(const std::wstring& path, std::string& problem);

}  // namespace qz::pack::win32
