#include "uninst/UninstallApp.h"

#include "common/LogFile.h"
#include "common/Registry.h"
#include "common/SafePaths.h"
#include "uninst/ConfirmDialog.h"
#include "uninst/UninstallDialog.h"

namespace qz {

std::string ApplicationNameFrom(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (!argument.empty() && (argument[0] == '/' || argument[0] == '-')) continue;
    return IsValidAppName(argument) ? argument : std::string();
  }
  return {};
}

UninstallOutcome UninstallApp(platform::Platform& platform, const std::vector<std::string>& arguments,
                              const std::function<void(LogFile&)>& logOpened) {
  LogFile log(platform.files);
  Registry registry(platform.registry);
  const char* caption = platform.ui.ProgramName();

  PathText logDirectory;
  // Room for the message with the log's path and its folder in full.
  LogText message;
  bool opened = LogFile::LogDirectory(platform.files, logDirectory) && log.Open(logDirectory.c_str(), message);
  if (!opened) {
    if (message.empty()) message.Format("Nem hozható létre a %s könyvtár!", logDirectory.c_str());
    platform.ui.ShowMessage(message.c_str(), caption, platform::Buttons::Ok, platform::Icon::Exclamation);
    return UninstallOutcome::Stopped;
  }
  registry.AttachLog(&log);
  if (logOpened) logOpened(log);
  log.WriteBanner(LogFile::Program::Uninstaller, platform.clock.Now());

  std::string appName = ApplicationNameFrom(arguments);
  if (appName.empty()) {
    // The section stays open-ended: the next run's banner follows on the
    // same line.
    log.Write("* Programnév : ERROR");
    platform.ui.ShowMessage("Hiba! Nincs megadva az eltávolítandó program.", caption, platform::Buttons::Ok,
                            platform::Icon::Exclamation);
    return UninstallOutcome::Stopped;
  }
  log.Print("* Programnév : %s\n\n", appName.c_str());

  UninstallOutcome outcome = UninstallOutcome::Left;
  ConfirmDialog confirm(appName);
  if (platform.ui.RunDialog(confirm) != platform::kIdOk) {
    log.Write("ETLÁVOLÍTÁS MEGSZAKÍTVA!!!");
  } else {
    UninstallContext context{platform, log, registry};
    UninstallDialog progress(context, appName);
    platform.ui.RunDialog(progress);
    if (progress.succeeded()) outcome = UninstallOutcome::Finished;
    else outcome = progress.registered() ? UninstallOutcome::Failed : UninstallOutcome::NotInstalled;
  }
  log.Close();
  return outcome;
}

}  // namespace qz
