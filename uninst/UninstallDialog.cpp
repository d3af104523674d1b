#include "uninst/UninstallDialog.h"

#include "common/ProtectedFolders.h"
#include "common/Registration.h"

namespace qz {
namespace {

using registration::kShellFolders;

KeyPathText AppKey(const NameText& appName) { return registration::AppKey(appName.view()); }

}  // namespace

UninstallDialog::UninstallDialog(UninstallContext& context, std::string_view appName) : ctx_(context) {
  appName_.Assign(appName);
}

bool UninstallDialog::CheckApplication(platform::Dialog& dialog) {
  ctx_.log.Write("---> Alkalmazás ellenőrzése\n");
  if (ctx_.registry.IsValidKey(AppKey(appName_).view())) {
    registered_ = true;
    NameText caption;
    caption.Format("%s eltávolító", appName_.c_str());
    dialog.SetCaption(caption.c_str());
    dialog.PostCommand(kStartRemovalCommand);
    return true;
  }
  MessageText text;
  text.Format("A '%s' nincs telepítve!\n", appName_.c_str());
  ctx_.log.Write(text.view());
  dialog.ShowMessage(text.c_str(), ctx_.platform.ui.ProgramName(), platform::Buttons::Ok, platform::Icon::Exclamation);
  dialog.End(platform::kIdCancel);
  return false;
}

void UninstallDialog::OnCommand(platform::Dialog& dialog, int id) {
  if (id == kStartRemovalCommand) StartRemoval(dialog);
}

void UninstallDialog::Fail(platform::Dialog& dialog, const char* message) {
  dialog.ShowMessage(message, ctx_.platform.ui.ProgramName(), platform::Buttons::Ok, platform::Icon::Exclamation);
}

void UninstallDialog::StartRemoval(platform::Dialog& dialog) {
  // The page is put on screen first, so that the steps' boxes have it
  // behind them.
  dialog.ShowNow();
  ProgressList progress(dialog.ListBox(kUninstallListId));
  // What an interrupted installation did not register is logged; the steps
  // still remove whatever part of it exists.
  GetDirs();
  bool ok = true;
  progress.AddLine("Fileok törlése...");
  ctx_.log.Write("\n\n---> Programfájlok törlése\n");
  if (!RemoveProgramFiles(progress)) {
    Fail(dialog, "A fileok törlése nem sikerült!");
    ok = false;
  }
  progress.AddLine("Parancsikonok törlése...");
  ctx_.log.Write("\n\n---> Parancsikonok törlése\n");
  if (!RemoveShortcuts(progress)) {
    Fail(dialog, "A parancsikonok törlése nem sikerült!");
    ok = false;
  }
  progress.AddLine("Alkalmazás regisztrációk törlése...");
  ctx_.log.Write("\n\n---> Aplikáció reg. törlése\n");
  if (!RemoveRegistration()) {
    Fail(dialog, "A regisztrációk törlése nem sikerült!");
    ok = false;
  }
  succeeded_ = ok;
  progress.AddLine(ok ? "--- !!! Az eltávolítás sikeresen befejeződött!!! ---"
                      : "--- !!! Hiba történt az eltávolítás közben!!! ---");
  dialog.EnableItem(platform::kIdOk, true);
}

bool UninstallDialog::GetDirs() {
  KeyPathText key = AppKey(appName_);
  NameText version;
  bool complete = true;
  if (!ctx_.registry.GetValueString(key.view(), registration::kVersion, version)) {
    ctx_.log.Write("Nincs telepített verzió (\"Version\"): a telepítés félbemaradt, az eltávolítás folytatódik\n");
    complete = false;
  }
  if (!ctx_.registry.GetValueString(key.view(), registration::kHomeDir, homeDir_)) {
    homeDir_.Clear();
    ctx_.log.Write("Nincs telepítési könyvtár (\"Home Dir\"): a programfájlok törlése kimarad\n");
    complete = false;
  }
  return complete;
}

// A folder from the registry is removed only when the shared rule proves it
// the application's own: a plain full path that is not, and does not hold,
// a folder of the system or the user. A refusal is logged as the removal's
// access-denied failure, with the reason on a line of its own.
bool UninstallDialog::MayRemove(const TextBuffer& directory, ProtectedFolders::Form form) {
  ProtectedFolders folders(ctx_.platform.files, ctx_.platform.registry);
  LogText reason;
  if (folders.Allows(directory.view(), reason, form)) return true;
  ctx_.log.Print("Könyvtár törlés : %s...", directory.c_str());
  ctx_.log.LogError(platform::kErrorAccessDenied);
  ctx_.log.Print("Nem törölhető könyvtár : %s\n", reason.c_str());
  return false;
}

bool UninstallDialog::RemoveProgramFiles(ProgressList& progress) {
  if (homeDir_.empty() || !MayRemove(homeDir_)) return false;
  return RemoveFolder(homeDir_.c_str(), progress);
}

bool UninstallDialog::RemoveShortcuts(ProgressList& progress) {
  PathText programs;
  if (!ctx_.registry.GetValueString(kShellFolders, registration::kPrograms, programs)) return false;
  PathText group;
  // A program group whose path does not fit is not removed in a shortened
  // form, which would be another folder.
  if (!group.Format("%s\\%s", programs.c_str(), appName_.c_str())) {
    ctx_.log.Print("Könyvtár törlés : %s...", group.c_str());
    ctx_.log.LogError(platform::kErrorFilenameTooLong);
    return false;
  }
  // The Programs folder may be redirected to a share.
  if (!MayRemove(group, ProtectedFolders::Form::kDriveOrShare)) return false;
  return RemoveFolder(group.c_str(), progress);
}

// The desktop shortcut goes only when "Link" names a shortcut file right on
// the user's desktop, as the setup program writes it; any other file named
// there is left alone. The deletion itself is not logged unless it fails.
void UninstallDialog::RemoveDesktopLink(const TextBuffer& link) {
  Registry quiet(ctx_.platform.registry);
  PathText desktop;
  if (!quiet.GetValueString(kShellFolders, registration::kDesktop, desktop) || !IsLinkDirectlyIn(link.view(), desktop.view())) {
    ctx_.log.Print("Parancsikon : a(z) \"%s\" nem az asztalon lévő parancsikon, nem törlődik\n", link.c_str());
    return;
  }
  platform::ErrorCode error = ctx_.platform.files.RemoveFile(link.c_str());
  if (error == platform::kOk || error == platform::kErrorFileNotFound) return;
  ctx_.log.Print("Fájl törlés : %s...", link.c_str());
  ctx_.log.LogError(error);
}

// A key already gone (an interrupted installation never wrote it) counts
// as removed.
bool UninstallDialog::DeleteKeyIfThere(std::string_view key) {
  if (ctx_.registry.DeleteKey(key)) return true;
  if (!ctx_.registry.IsKeyGone(key)) return false;
  ctx_.log.Print("Registry : [%.*s] nincs meg, törlöttnek számít\n", static_cast<int>(key.size()), key.data());
  return true;
}

bool UninstallDialog::RemoveRegistration() {
  KeyPathText key = AppKey(appName_);
  PathText link;
  if (ctx_.registry.GetValueString(key.view(), registration::kLinkRead, link)) RemoveDesktopLink(link);
  if (!DeleteKeyIfThere(key.view())) return false;
  KeyPathText uninstall = registration::UninstallKey(appName_.view());
  if (!DeleteKeyIfThere(uninstall.view())) return false;
  if (ctx_.registry.GetSubkeys(registration::kMakerKey) == 0) ctx_.registry.DeleteKey(registration::kMakerKey);
  return true;
}

// A folder that is itself a link (a symbolic link or junction) loses the
// link alone; any other is removed with its tree.
bool UninstallDialog::RemoveFolder(const char* directory, ProgressList& progress) {
  std::uint32_t attributes = 0;
  if (ctx_.platform.files.GetAttributes(directory, attributes) == platform::kOk &&
      (attributes & platform::kAttributeReparsePoint)) {
    return RemoveLink(directory, progress);
  }
  return RemoveTree(directory, progress);
}

bool UninstallDialog::RemoveLink(const char* link, ProgressList& progress) {
  ctx_.log.Print("Könyvtár hivatkozás : %s (csak a hivatkozás törlődik, amire mutat, az nem)\n", link);
  return RemoveDirEntry(link, progress);
}

// An emptied directory, or a link to one, with its list and log lines.
bool UninstallDialog::RemoveDirEntry(const char* directory, ProgressList& progress) {
  PathText line;
  line.Format("   Törlés : %s", directory);
  progress.AddLine(line.c_str());
  ctx_.log.Print("Könyvtár törlés : %s...", directory);
  platform::ErrorCode error = ctx_.platform.files.RemoveDir(directory);
  if (error != platform::kOk) {
    ctx_.log.LogError(error);
    return false;
  }
  ctx_.log.Write("OK\n");
  return true;
}

bool UninstallDialog::RemoveTree(const char* directory, ProgressList& progress) {
  PathText pattern;
  if (!pattern.Format("%s\\*.*", directory)) return false;
  platform::FileSystem& files = ctx_.platform.files;
  platform::ErrorCode error;
  auto search = files.FindFiles(pattern.c_str(), error);
  if (!search) return false;
  bool result = true;
  platform::FindEntry entry;
  PathText line;
  while (search->Next(entry)) {
    if (entry.IsDots()) continue;
    PathText path;
    // An entry whose path does not fit is never handled under a shortened
    // path, which would name something else.
    bool fits = path.Format("%s\\%s", directory, entry.name.c_str());
    if (entry.IsDirectory()) {
      if (!fits) {
        ctx_.log.Print("Könyvtár törlés : %s...", path.c_str());
        ctx_.log.LogError(platform::kErrorFilenameTooLong);
        return false;
      }
      // A link inside the tree is never walked into: what it points to
      // is not the application's.
      bool removed = entry.IsLink() ? RemoveLink(path.c_str(), progress) : RemoveTree(path.c_str(), progress);
      if (removed) continue;
      return false;
    }
    line.Format("     Törlés : %s", path.c_str());
    progress.AddLine(line.c_str());
    ctx_.log.Print("Fájl törlés : %s...", path.c_str());
    error = fits ? files.RemoveFile(path.c_str()) : platform::kErrorFilenameTooLong;
    if (error == platform::kOk) {
      ctx_.log.Write("OK\n");
    } else {
      ctx_.log.LogError(error);
      result = false;
    }
  }
  search.reset();
  return RemoveDirEntry(directory, progress) && result;
}

}  // namespace qz
