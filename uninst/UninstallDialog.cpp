#include "uninst/UninstallDialog.h"

#include "common/SafePaths.h"

namespace qz {
namespace {

constexpr const char* kShellFolders = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kMakerKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft";

// Key paths are built in buffers of a key path's own size, so an
// application name of up to 255 characters never reaches a shortened key
// that could name another application.
KeyPathText AppKey(const NameText& appName) {
  KeyPathText key;
  key.Format("%s\\%s", kMakerKey, appName.c_str());
  return key;
}

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
  ProgressList progress(dialog.ListBox(kUninstallListId));
  if (!GetDirs()) {
    Fail(dialog, "Az eltávolítás nem sikerült! (GetDirs)");
    dialog.End(platform::kIdCancel);
    return;
  }
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
  if (!ctx_.registry.GetValueString(key.view(), "Version", version)) return false;
  return ctx_.registry.GetValueString(key.view(), "Home Dir", homeDir_);
}

// A home directory that holds the system or the user's folders is never
// removed: a drive's root, the Windows or system directory, the maker's
// folder, the user's Programs or Desktop folder, or a directory above one
// of them. The folders are looked up without log lines of their own.
bool UninstallDialog::IsProtected(std::string_view directory) {
  platform::FileSystem& files = ctx_.platform.files;
  PathText winDir = files.WindowsDir();
  PathText sysDir = files.SystemDir();
  PathText vormexDir;
  LogFile::LogDirectory(files, vormexDir);
  Registry quiet(ctx_.platform.registry);
  PathText programs, desktop;
  quiet.GetValueString(kShellFolders, "Programs", programs);
  quiet.GetValueString(kShellFolders, "Desktop", desktop);
  return IsProtectedDirectory(directory, {winDir.view(), sysDir.view(), vormexDir.view(), programs.view(),
                                          desktop.view()});
}

bool UninstallDialog::RemoveProgramFiles(ProgressList& progress) {
  if (IsProtected(homeDir_.view())) {
    ctx_.log.Print("Könyvtár törlés : %s...", homeDir_.c_str());
    ctx_.log.LogError(platform::kErrorAccessDenied);
    return false;
  }
  return RemoveTree(homeDir_.c_str(), progress);
}

bool UninstallDialog::RemoveShortcuts(ProgressList& progress) {
  PathText programs;
  if (!ctx_.registry.GetValueString(kShellFolders, "Programs", programs)) return false;
  PathText group;
  // A program group whose path does not fit is not removed in a shortened
  // form, which would be another folder.
  if (!group.Format("%s\\%s", programs.c_str(), appName_.c_str())) {
    ctx_.log.Print("Könyvtár törlés : %s...", group.c_str());
    ctx_.log.LogError(platform::kErrorFilenameTooLong);
    return false;
  }
  return RemoveTree(group.c_str(), progress);
}

bool UninstallDialog::RemoveRegistration() {
  KeyPathText key = AppKey(appName_);
  PathText link;
  if (ctx_.registry.GetValueString(key.view(), "link", link)) ctx_.platform.files.RemoveFile(link.c_str());
  if (!ctx_.registry.DeleteKey(key.view())) return false;
  KeyPathText uninstall;
  uninstall.Format("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s", appName_.c_str());
  if (!ctx_.registry.DeleteKey(uninstall.view())) return false;
  if (ctx_.registry.GetSubkeys(kMakerKey) == 0) ctx_.registry.DeleteKey(kMakerKey);
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
      if (fits && RemoveTree(path.c_str(), progress)) continue;
      if (!fits) {
        ctx_.log.Print("Könyvtár törlés : %s...", path.c_str());
        ctx_.log.LogError(platform::kErrorFilenameTooLong);
      }
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
  line.Format("   Törlés : %s", directory);
  progress.AddLine(line.c_str());
  ctx_.log.Print("Könyvtár törlés : %s...", directory);
  error = files.RemoveDir(directory);
  if (error != platform::kOk) {
    ctx_.log.LogError(error);
    return false;
  }
  ctx_.log.Write("OK\n");
  return result;
}

}  // namespace qz
