#include "tools/qzpack/native/NativePackHost.h"

#include <filesystem>

#include "tools/qzpack/native/OpenSslSha256.h"
#include "tools/qzpack/native/PosixFiles.h"

namespace qz::pack {

std::string NativePackHost::Absolute(const std::string& path) { return std::filesystem::absolute(path).string(); }

std::unique_ptr<PackSource> NativePackHost::OpenSource(const std::string& medium, const std::string& programs,
                                                       std::string&) {
  return OpenHostSource(medium, programs);
}

std::unique_ptr<OutputFile> NativePackHost::CreateOutput(const std::string& path, std::string& problem) {
  return CreateHostOutput(path, problem);
}

std::unique_ptr<ByteSource> NativePackHost::OpenFile(const std::string& path) { return OpenHostFile(path); }

std::unique_ptr<Sha256> NativePackHost::NewSha256() { return NewOpenSslSha256(); }

}  // namespace qz::pack
