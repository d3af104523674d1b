#pragma once
// One simulated Windows PC in a folder, laid out as a Wine prefix:
//   <machine>/drive_c/windows, drive_c/windows/system32,
//   drive_c/users/<user>/AppData/Roaming/Microsoft/Windows/Start Menu/Programs,
//   drive_c/users/<user>/Desktop, drive_<x>/ for further drives,
//   <machine>/registry.reg (REGEDIT4, Windows-1250).
// It is created on first use.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimPaths.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimUserInterface.h"

namespace qz::platform::sim {

// Local time, from the host unless a test fixes it.
class SimClock : public Clock {
 public:
  LocalTime Now() override;
  void Fix(const LocalTime& time) { fixed_ = time; }

 private:
  std::optional<LocalTime> fixed_;
};

class SimMachine {
 public:
  // `workingDir` is the process's working directory as the programs see it
  // (the installation medium); relative paths resolve there.
  explicit SimMachine(std::filesystem::path root,
                      std::filesystem::path workingDir = std::filesystem::current_path());
  ~SimMachine();

  Platform& platform() { return platform_; }
  SimFileSystem& files() { return files_; }
  SimRegistry& registry() { return *registry_; }
  SimClock& clock() { return clock_; }
  SimUserInterface& ui() { return ui_; }
  SimShell& shell() { return shell_; }
  const std::filesystem::path& root() const { return root_; }

  // The host path of a Windows path (for tests and tools).
  std::filesystem::path HostPath(const char* windowsPath) const;
  // A network share the machine reaches as "\\server\share" (for tests:
  // shell folders redirected to a share).
  void AddShare(std::string_view server, std::string_view share);
  // Drive `letter` mapped to a share, which it makes: what lies on the drive
  // resolves to "\\server\share\..." on disk.
  void MapNetworkDrive(char letter, std::string_view server, std::string_view share);
  // The login name that names the user's folder, as Wine names it.
  static std::string UserName();

 private:
  void CreateLayout();

  std::filesystem::path root_;
  SimPaths paths_;
  SimFileSystem files_;
  std::shared_ptr<SimRegistry> registry_;
  SimClock clock_;
  SimUserInterface ui_;
  SimShell shell_;
  Platform platform_;
};

}  // namespace qz::platform::sim
