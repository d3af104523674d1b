#include "engine/Shortcuts.h"

#include "common/ProtectedFolders.h"
#include "common/Registration.h"
#include "common/SafePaths.h"
#include "engine/StepSupport.h"

namespace qz {
namespace {

using platform::HResult;

using registration::kShellFolders;
constexpr HResult kFail = static_cast<HResult>(0x80004005);  // E_FAIL

// The uninstaller is installed only as an item of the script's sections;
// the uninstall entry names it in the Windows directory and the uninstall
// shortcut in the maker's folder. Both are made as they are, and a script
// that did not put the file there is pointed out in the log.
void NoteMissingUninstaller(StepContext& ctx, const TextBuffer& path) {
  std::uint32_t attributes = 0;
  if (ctx.platform.files.GetAttributes(path.c_str(), attributes) == platform::kOk) return;
  ctx.log.Print("Figyelem : az eltávolító program nem található : %s\n", path.c_str());
}

// The component library, initialised for the shortcut work and released on
// every way out of it.
class ComSession {
 public:
  explicit ComSession(platform::Shell& shell) : shell_(shell), active_(platform::Succeeded(shell.Initialize())) {}
  ~ComSession() {
    if (active_) shell_.Uninitialize();
  }
  ComSession(const ComSession&) = delete;
  ComSession& operator=(const ComSession&) = delete;

 private:
  platform::Shell& shell_;
  bool active_;
};

// A shortcut of a "Menu:" or "Desktop:" line, with the paths it is made of.
struct ShortcutItem {
  WideText target;
  WideText title;
  WideText link;
};

// Splits an item line: the first blank-delimited word holds the target's
// file name in quotes, the rest of the line the title in quotes. A line
// without a title makes no shortcut (its link would be named ".lnk"): it is
// skipped with a log line. Paths too long for the shell are refused with
// 206 after the shortcut's log line.
bool ReadShortcutItem(StepContext& ctx, const TextBuffer& line, const char* folder, ShortcutItem& item) {
  if (RefuseLongLine(ctx, line)) return false;
  SettingsMacros macros(ctx.settings);
  WideText file;
  bool fileWhole = true, titleWhole = true;
  if (!SplitShortcutLine(macros, line.view(), file, fileWhole, item.title, titleWhole)) {
    ctx.log.Print("Shortcut : nincs megadva a parancsikon neve : %s\n", line.c_str());
    return false;
  }
  // The title names the link file in its folder: one plain name, never a
  // path that leads out of the program group or off the desktop.
  if (PathFault fault = CheckShortcutTitle(item.title.view()); titleWhole && fault != PathFault::kNone) {
    ctx.log.Print("Shortcut : hibás parancsikon név \"%s\" %s\n", item.title.c_str(), PathFaultText(fault));
    return false;
  }
  bool fits = item.target.Format("%s\\%s", ctx.settings.homeDir.c_str(), file.c_str()) &&
              FitsPath(item.target, fileWhole);
  fits = item.link.Format("%s\\%s.lnk", folder, item.title.c_str()) && FitsPath(item.link, titleWhole) && fits;
  if (!fits) {
    ctx.log.Print("Shortcut : %s <- %s\n", item.target.c_str(), item.link.c_str());
    ctx.log.LogError(platform::kErrorFilenameTooLong);
    return false;
  }
  return true;
}

}  // namespace

bool SplitShortcutLine(const ValueExpander& macros, std::string_view line, TextBuffer& file, bool& fileWhole,
                       TextBuffer& title, bool& titleWhole) {
  file.Clear();
  title.Clear();
  fileWhole = titleWhole = true;
  std::size_t blank = line.find_first_of(" \t");
  if (blank != std::string_view::npos) {
    macros.Expand(line.substr(0, blank), file, &fileWhole);
    macros.Expand(line.substr(blank + 1), title, &titleWhole);
  }
  return !title.empty();
}

bool RegisterApp(StepContext& ctx) {
  ctx.log.Write("\n\n---> Alkalmazás regisztráció\n");
  const SetupSettings& s = ctx.settings;
  if (!IsValidAppName(s.appName.view())) {
    ctx.log.Print("Alkalmazás regisztráció : érvénytelen alkalmazásnév \"%s\"\n", s.appName.c_str());
    return false;
  }
  KeyPathText key = registration::AppKey(s.appName.view());
  if (!ctx.registry.SetValueString(key.view(), registration::kHomeDir, s.homeDir.c_str()) ||
      !ctx.registry.SetValueString(key.view(), registration::kVersion, s.appVersion.c_str())) {
    return false;
  }
  key = registration::UninstallKey(s.appName.view());
  WideText command, program;
  command.Format("%s\\qzuninst.exe \"%s\"", s.winDir.c_str(), s.appName.c_str());
  if (!ctx.registry.SetValueString(key.view(), registration::kDisplayName, s.appName.c_str()) ||
      !ctx.registry.SetValueString(key.view(), registration::kUninstallString, command.c_str())) {
    return false;
  }
  program.Format("%s\\qzuninst.exe", s.winDir.c_str());
  NoteMissingUninstaller(ctx, program);
  return true;
}

bool MakeIcon(StepContext& ctx) {
  ctx.log.Write("\n\n---> Ikonok készítése\n");
  const SetupSettings& s = ctx.settings;
  if (!IsValidAppName(s.appName.view())) {
    ctx.log.Print("MakeIcon : érvénytelen alkalmazásnév \"%s\"\n", s.appName.c_str());
    return false;
  }
  PathText programs;
  if (!ctx.registry.GetValueString(kShellFolders, registration::kPrograms, programs)) return false;
  WideText group;
  bool fits = group.Format("%s\\%s", programs.c_str(), s.appName.c_str()) && FitsPath(group);
  ctx.log.Print("MakeIcon : Könyvtár létrehozás %s ...", group.c_str());
  // A group the uninstaller would refuse to remove is not made either. The
  // Programs folder may be redirected to a share.
  LogText reason;
  if (fits && !ProtectedFolders(ctx.platform.files, ctx.platform.registry)
                   .Allows(group.view(), reason, ProtectedFolders::Form::kDriveOrShare)) {
    ctx.log.LogError(platform::kErrorAccessDenied);
    ctx.log.Print("MakeIcon : nem használható programcsoport : %s\n", reason.c_str());
    return false;
  }
  platform::ErrorCode error = fits ? ctx.platform.files.MakeDirectory(group.c_str()) : platform::kErrorFilenameTooLong;
  if (error != platform::kOk && error != platform::kErrorAlreadyExists) {
    ctx.log.LogError(error);
    return false;
  }
  ctx.log.Write("OK\n");

  ComSession session(ctx.platform.shell);
  WideText line;
  ShortcutItem item;
  if (ctx.script.FindLabel("Menu:")) {
    while (ctx.script.ReadItem(line)) {
      if (!ReadShortcutItem(ctx, line, group.c_str(), item)) continue;
      CreateShortcut(ctx, item.target.c_str(), item.link.c_str(), "", item.title.c_str());
    }
  }
  if (ctx.script.FindLabel("Desktop:")) {
    PathText desktop;
    if (!ctx.registry.GetValueString(kShellFolders, registration::kDesktop, desktop)) return false;
    KeyPathText key = registration::AppKey(s.appName.view());
    while (ctx.script.ReadItem(line)) {
      if (!ReadShortcutItem(ctx, line, desktop.c_str(), item)) continue;
      // Only a shortcut this run saved is registered: a save that failed
      // over a file already on the desktop must not hand that file to the
      // uninstaller. A run that dies between the save and the registration
      // leaves one desktop shortcut that nothing names.
      if (!platform::Succeeded(CreateShortcut(ctx, item.target.c_str(), item.link.c_str(), "", item.title.c_str()))) {
        continue;
      }
      if (!ctx.registry.SetValueString(key.view(), registration::kLinkWritten, item.link.c_str())) return false;
    }
  }
  if (s.installType == kInstallInstall) {
    WideText title, target, link, arguments;
    title.Format("%s eltávolítása", s.appName.c_str());
    arguments.Format("\"%s\"", s.appName.c_str());
    bool fitsTarget = target.Format("%s\\qzuninst.exe", s.vormexDir.c_str()) && FitsPath(target);
    bool fitsLink = link.Format("%s\\%s.lnk", group.c_str(), title.c_str()) && FitsPath(link);
    if (fitsTarget && fitsLink) {
      CreateShortcut(ctx, target.c_str(), link.c_str(), arguments.c_str(), title.c_str());
      NoteMissingUninstaller(ctx, target);
    } else {
      ctx.log.Print("Shortcut : %s <- %s\n", target.c_str(), link.c_str());
      ctx.log.LogError(platform::kErrorFilenameTooLong);
    }
  }
  return true;
}

HResult CreateShortcut(StepContext& ctx, const char* target, const char* linkPath, const char* arguments,
                       const char* description) {
  ctx.log.Print("Shortcut : %s <- %s\n", target, linkPath);
  platform::Shell& shell = ctx.platform.shell;
  HResult result = 0;
  std::unique_ptr<platform::ShellLink> link = shell.CreateLink(result);
  if (!link) return platform::Succeeded(result) ? kFail : result;
  result = shell.QueryPersistFile(*link);
  if (!platform::Succeeded(result)) return result;

  if (!platform::Succeeded(link->SetPath(target))) ShowWarning(ctx, "SetPath failed!");
  if (!platform::Succeeded(link->SetArguments(arguments))) ShowWarning(ctx, "SetArguments failed!");
  std::string_view targetText = target;
  std::size_t cut = targetText.rfind('\\');
  WideText directory;
  directory.Assign(cut == std::string_view::npos ? std::string_view() : targetText.substr(0, cut));
  if (!platform::Succeeded(link->SetWorkingDirectory(directory.c_str()))) ShowWarning(ctx, "SetWorkingDirectory failed!");
  if (!platform::Succeeded(link->SetDescription(description))) ShowWarning(ctx, "SetDescription failed!");
  result = link->Save(linkPath);
  if (!platform::Succeeded(result)) ShowWarning(ctx, "Save failed!");
  return result;
}

}  // namespace qz
