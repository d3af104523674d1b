#pragma once
// What the native qzpack runs on: the checker's native host (a scratch
// simulated machine over the medium) and the host's files.

#include "tools/qzcheck/NativeHost.h"
#include "tools/qzpack/PackProgram.h"

namespace qz::pack {

class NativePackHost : public PackProgramHost {
 public:
  check::ProgramHost& checker() override { return checker_; }
  std::string Absolute(const std::string& path) override;
  std::unique_ptr<PackSource> OpenSource(const std::string& medium, const std::string& programs,
                                         std::string& problem) override;
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path, std::string& problem) override;
  std::unique_ptr<ByteSource> OpenFile(const std::string& path) override;
  std::unique_ptr<Sha256> NewSha256() override;
  // The native qzpack has no folder of Windows programs of its own.
  std::string DefaultPrograms() override { return ""; }

 private:
  check::NativeHost checker_;
};

}  // namespace qz::pack
