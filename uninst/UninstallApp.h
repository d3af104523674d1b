#pragma once
// The uninstaller: opens the shared log, reads the application's name from
// the command line, asks for confirmation and runs the progress page.

#include <functional>
#include <string>
#include <vector>

#include "common/LogFile.h"
#include "platform/Platform.h"

namespace qz {

// One argument of the command line, in Windows-1250. `convertible` is false
// when the system handed over a character Windows-1250 lacks: `text` then
// holds a '?' in place of each, good for showing only.
struct CommandArgument {
  CommandArgument(std::string given, bool whole = true) : text(std::move(given)), convertible(whole) {}
  CommandArgument(const char* given) : text(given) {}
  std::string text;
  bool convertible = true;
};

// The application's name: the first argument that does not begin with "/"
// or "-" (the platform's argument rules have removed its quotes). Empty
// when there is none, and when it is no name the setup program would
// install (the one application-name rule of both programs): one that could
// address other keys or folders than the application's own, is longer than
// an application name can be (255 characters), or holds a character
// Windows-1250 lacks.
std::string ApplicationNameFrom(const std::vector<CommandArgument>& arguments);

// How a run ended (qzuninst.exe without /S exits with 0 in every case).
enum class UninstallOutcome {
  Finished,      // everything removed
  Failed,        // a removal step failed
  NotInstalled,  // no such application is registered
  Stopped,       // no log, or no application name (or one Windows-1250 cannot carry): a message before any page
  Left,          // the user cancelled the confirmation
};

// Runs the whole uninstaller. `logOpened`, when given, is handed the log
// once it is open, for the rest of the run.
UninstallOutcome UninstallApp(platform::Platform& platform, const std::vector<CommandArgument>& arguments,
                              const std::function<void(LogFile&)>& logOpened = {});

}  // namespace qz
