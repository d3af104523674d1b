#pragma once
// The setup program's application object: it lives for the whole run and
// owns the run's settings, the logo, the script, the registry access, the
// log and the shared message text. Every page and step reaches them here.

#include <memory>
#include <optional>
#include <string>

#include "common/LogFile.h"
#include "common/Registry.h"
#include "engine/InstallSequence.h"
#include "engine/SetupScript.h"
#include "engine/SetupSettings.h"
#include "platform/Btrieve.h"
#include "platform/Platform.h"
#include "text/Text.h"

namespace qz {

// How a run ended; the native program's exit status tells it.
enum class RunOutcome {
  Running,
  Finished,  // the installation finished and the user pressed "Befejezés"
  Failed,    // the installation failed, or a page could not be shown
  Stopped,   // a message stopped the setup before any page
  Left,      // the user left through the exit confirmation
};

// The program's exit status for how the run ended: 0 finished, 1 failed,
// 2 stopped by a message before any page, 3 left by the user.
int ExitStatus(RunOutcome outcome);

class SetupApp {
 public:
  SetupApp(platform::Platform& platform, platform::BtrieveEngine& btrieve, InstallSequence sequence);
  // Closes the log and the script if they are still open.
  ~SetupApp();
  SetupApp(const SetupApp&) = delete;
  SetupApp& operator=(const SetupApp&) = delete;

  // Start-up, then the main window, inside whose first activation the
  // wizard runs. Returns when the program ends.
  void Run();
  // Loads the logo named by AppLogo; a file that cannot be loaded leaves no
  // logo, without a message.
  void LoadLogo();

  platform::Platform& platform;
  platform::BtrieveEngine& btrieve;
  SetupSettings settings;
  std::unique_ptr<platform::Bitmap> logoBitmap;
  SetupScript script;
  Registry registry;
  LogFile log;
  InstallSequence sequence;
  // The directory an unattended run was given for the directory page (/D=,
  // --dir). A patch or an update has no such page: it works in the
  // installed directory, and the log says that the given one was not used.
  std::optional<std::string> givenDir;
  RunOutcome outcome = RunOutcome::Running;
};

}  // namespace qz
