#pragma once
// What the native qzcheck reads a medium with: a scratch simulated machine
// (removed with the host) whose working directory is the medium, and its
// Btrieve engine; and the dry run.

#include <filesystem>
#include <memory>

#include "platform/sim/SimMachine.h"
#include "platform/sim/btrieve/SimBtrieve.h"
#include "tools/qzcheck/Program.h"

namespace qz::check {

class NativeHost : public ProgramHost {
 public:
  NativeHost() = default;
  ~NativeHost() override;
  NativeHost(const NativeHost&) = delete;
  NativeHost& operator=(const NativeHost&) = delete;

  bool OpenMedium(const std::string& medium, std::string& problem) override;
  platform::FileSystem& files() override { return machine_->files(); }
  platform::BtrieveEngine& btrieve() override { return *btrieve_; }
  int Plan(const std::string& medium, const std::optional<std::string>& machine, const std::optional<std::string>& dir,
           std::string& out, std::string& problem) override;

 private:
  std::filesystem::path scratch_;
  std::unique_ptr<platform::sim::SimMachine> machine_;
  std::unique_ptr<platform::sim::SimBtrieve> btrieve_;
};

}  // namespace qz::check
