#pragma once
// The native qzpack's files: the medium, the programs' folder, the packed
// file, over POSIX calls on host paths (UTF-8).

#include <memory>
#include <string>

#include "tools/qzpack/PackProgram.h"

namespace qz::pack {

// Null when the file cannot be opened.
std::unique_ptr<ByteSource> OpenHostFile(const std::string& path);
// The medium's and the programs' folders.
std::unique_ptr<PackSource> OpenHostSource(const std::string& medium, const std::string& programs);
// The packed file, written as "<path>.XXXXXX" and renamed at Commit.
std::unique_ptr<OutputFile> CreateHostOutput(const std::string& path, std::string& problem);

}  // namespace qz::pack
