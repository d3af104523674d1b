#include "setup/SetupApp.h"

#include "engine/SetupMessages.h"
#include "setup/MainFrame.h"

namespace qz {

int ExitStatus(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::Finished: return 0;
    case RunOutcome::Stopped: return 2;
    case RunOutcome::Left: return 3;
    case RunOutcome::Failed:
    case RunOutcome::Running: break;
  }
  return 1;
}

SetupApp::SetupApp(platform::Platform& p, platform::BtrieveEngine& engine, InstallSequence rows)
    : platform(p), btrieve(engine), script(p.files), registry(p.registry), log(p.files), sequence(std::move(rows)) {}

SetupApp::~SetupApp() {
  script.Close();
  // A log still open here was not closed by the wizard: it ends without the
  // closing gap, as the log's own destruction ends it.
}

void SetupApp::LoadLogo() {
  logoBitmap = platform.ui.LoadBitmapFile(settings.appLogo.c_str());
}

void SetupApp::Run() {
  MainFrame frame(*this);
  platform::LocalTime now = platform.clock.Now();
  settings.winDir = platform.files.WindowsDir();
  settings.sysDir = platform.files.SystemDir();
  bool fits = settings.vormexDir.Format("%s\\Vormex", settings.winDir.c_str());

  // A start-up failure ends the program once its message is confirmed: the
  // main window is never shown and nothing is logged.
  bool opened = false;
  if (fits) {
    opened = log.Open(settings.vormexDir.c_str(), frame.errorText);
  } else {
    msg::LogDirectoryNotMade(frame.errorText, settings.vormexDir.c_str());
  }
  if (!opened) {
    platform.ui.ShowMessage(frame.errorText.c_str(), platform.ui.ProgramName(), platform::Buttons::Ok,
                            platform::Icon::Exclamation);
    outcome = RunOutcome::Stopped;
    return;
  }
  registry.AttachLog(&log);
  log.WriteBanner(LogFile::Program::Setup, now);
  platform.ui.RunMainWindow(kMainWindowCaption, frame);
}

}  // namespace qz
