#include "uninst/UninstallApp.h"

#include "common/LogFile.h"
#include "common/Registry.h"
#include "common/SafePaths.h"
#include "uninst/ConfirmDialog.h"
#include "uninst/UninstallDialog.h"
#include "uninst/UninstallMessages.h"

namespace qz {

namespace {

// The argument that names the application, or null.
const CommandArgument* NameArgument(const std::vector<CommandArgument>& arguments) {
  for (const CommandArgument& argument : arguments) {
    if (!argument.text.empty() && (argument.text[0] == '/' || argument.text[0] == '-')) continue;
    return &argument;
  }
  return nullptr;
}

}  // namespace

std::string ApplicationNameFrom(const std::vector<CommandArgument>& arguments) {
  const CommandArgument* name = NameArgument(arguments);
  if (!name || !name->convertible || !IsValidAppName(name->text)) return {};
  return name->text;
}

UninstallOutcome UninstallApp(platform::Platform& platform, const std::vector<CommandArgument>& arguments,
                              const std::function<void(LogFile&)>& logOpened) {
  LogFile log(platform.files);
  Registry registry(platform.registry);
  const char* caption = platform.ui.ProgramName();

  PathText logDirectory;
  // Room for the message with the log's path and its folder in full.
  LogText message;
  bool opened = LogFile::LogDirectory(platform.files, logDirectory) && log.Open(logDirectory.c_str(), message);
  if (!opened) {
    if (message.empty()) uninst_msg::LogDirectoryNotMade(message, logDirectory.c_str());
    platform.ui.ShowMessage(message.c_str(), caption, platform::Buttons::Ok, platform::Icon::Exclamation);
    return UninstallOutcome::Stopped;
  }
  registry.AttachLog(&log);
  if (logOpened) logOpened(log);
  log.WriteBanner(LogFile::Program::Uninstaller, platform.clock.Now());

  // A name with letters Windows-1250 lacks can name no application the
  // setup program installed: refused, never read as look-alike letters.
  if (const CommandArgument* given = NameArgument(arguments); given && !given->convertible) {
    log.Print("* Programnév : ERROR (\"%s\" a Windows-1250 kódlapon kívüli karaktert tartalmaz)\n",
              given->text.c_str());
    MessageText text;
    uninst_msg::NameOutsideCodePage(text, given->text.c_str());
    platform.ui.ShowMessage(text.c_str(), caption, platform::Buttons::Ok, platform::Icon::Exclamation);
    log.Close();
    return UninstallOutcome::Stopped;
  }
  std::string appName = ApplicationNameFrom(arguments);
  if (appName.empty()) {
    // The section stays open-ended: the next run's banner follows on the
    // same line.
    log.Write("* Programnév : ERROR");
    platform.ui.ShowMessage(uninst_msg::kNoApplicationName, caption, platform::Buttons::Ok, platform::Icon::Exclamation);
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
