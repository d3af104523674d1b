#pragma once
// Shell links on the simulated machine: real .lnk files in the Shell Link
// binary format.

#include "platform/Shell.h"
#include "platform/sim/SimPaths.h"

namespace qz::platform::sim {

class SimFileSystem;

class SimShell : public Shell {
 public:
  SimShell(const SimPaths& paths, SimFileSystem& files) : paths_(paths), files_(files) {}
  HResult Initialize() override;
  void Uninitialize() override;
  std::unique_ptr<ShellLink> CreateLink(HResult& result) override;
  HResult QueryPersistFile(ShellLink& link) override;

 private:
  const SimPaths& paths_;
  SimFileSystem& files_;
};

}  // namespace qz::platform::sim
