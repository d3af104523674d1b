#pragma once
// Shell links on the simulated machine: real .lnk files in the Shell Link
// binary format, written under the machine's file rules (names without
// regard to case, read-only files, files in use, full drives).

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

  // Times the component library is initialised and not yet uninitialised.
  int initializeCount() const { return initialized_; }

 private:
  const SimPaths& paths_;
  SimFileSystem& files_;
  int initialized_ = 0;
};

}  // namespace qz::platform::sim
