#include "uninst/Removal.h"

#include <cassert>

#include "common/LogAction.h"
#include "common/Registration.h"
#include "uninst/UninstallMessages.h"

namespace qz {

using registration::kShellFolders;

bool IsRegistered(UninstallContext& context, std::string_view appName) {
  return context.registry.IsValidKey(registration::AppKey(appName).view());
}

Removal::Removal(UninstallContext& context, std::string_view appName, ProgressList& progress)
    : ctx_(context), progress_(progress) {
  // A shortened name would be another application's.
  [[maybe_unused]] bool fits = appName_.Assign(appName);
  assert(fits);
}

bool Removal::GetDirs() {
  KeyPathText key = registration::AppKey(appName_.view());
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
bool Removal::MayRemove(const TextBuffer& directory, ProtectedFolders::Form form) {
  ProtectedFolders folders(ctx_.platform.files, ctx_.platform.registry);
  LogText reason;
  if (folders.Allows(directory.view(), reason, form)) return true;
  LogAction(ctx_.log, "Könyvtár törlés : %s...", directory.c_str()).Fail(platform::kErrorAccessDenied);
  ctx_.log.Print("Nem törölhető könyvtár : %s\n", reason.c_str());
  return false;
}

bool Removal::RemoveProgramFiles() {
  if (homeDir_.empty() || !MayRemove(homeDir_)) return false;
  return RemoveFolder(homeDir_.c_str());
}

bool Removal::RemoveShortcuts() {
  PathText programs;
  if (!ctx_.registry.GetValueString(kShellFolders, registration::kPrograms, programs)) return false;
  PathText group;
  // A program group whose path does not fit is not removed in a shortened
  // form, which would be another folder.
  if (!group.Format("%s\\%s", programs.c_str(), appName_.c_str())) {
    LogAction(ctx_.log, "Könyvtár törlés : %s...", group.c_str()).Fail(platform::kErrorFilenameTooLong);
    return false;
  }
  // The Programs folder may be redirected to a share.
  if (!MayRemove(group, ProtectedFolders::Form::kDriveOrShare)) return false;
  return RemoveFolder(group.c_str());
}

// The desktop shortcut goes only when "Link" names a shortcut file right on
// the user's desktop, as the setup program writes it; any other file named
// there is left alone. The deletion itself is not logged unless it fails.
void Removal::RemoveDesktopLink(const TextBuffer& link) {
  Registry quiet(ctx_.platform.registry);
  PathText desktop;
  if (!quiet.GetValueString(kShellFolders, registration::kDesktop, desktop) || !IsLinkDirectlyIn(link.view(), desktop.view())) {
    ctx_.log.Print("Parancsikon : a(z) \"%s\" nem az asztalon lévő parancsikon, nem törlődik\n", link.c_str());
    return;
  }
  platform::ErrorCode error = ctx_.platform.files.RemoveFile(link.c_str());
  if (error == platform::kOk || error == platform::kErrorFileNotFound) return;
  LogAction(ctx_.log, "Fájl törlés : %s...", link.c_str()).Fail(error);
}

// A key already gone (an interrupted installation never wrote it) counts
// as removed.
bool Removal::DeleteKeyIfThere(std::string_view key) {
  if (ctx_.registry.DeleteKey(key)) return true;
  if (!ctx_.registry.IsKeyGone(key)) return false;
  ctx_.log.Print("Registry : [%.*s] nincs meg, törlöttnek számít\n", static_cast<int>(key.size()), key.data());
  return true;
}

bool Removal::RemoveRegistration() {
  KeyPathText key = registration::AppKey(appName_.view());
  PathText link;
  if (ctx_.registry.GetValueString(key.view(), registration::kLinkRead, link)) RemoveDesktopLink(link);
  if (!DeleteKeyIfThere(key.view())) return false;
  KeyPathText uninstall = registration::UninstallKey(appName_.view());
  if (!DeleteKeyIfThere(uninstall.view())) return false;
  if (ctx_.registry.GetSubkeys(registration::kMakerKey) == 0) ctx_.registry.DeleteKey(registration::kMakerKey);
  return true;
}

bool Removal::RemoveFolder(const char* directory) {
  std::uint32_t attributes = 0;
  if (ctx_.platform.files.GetAttributes(directory, attributes) == platform::kOk &&
      (attributes & platform::kAttributeReparsePoint)) {
    return RemoveLink(directory);
  }
  return RemoveTree(directory);
}

bool Removal::RemoveLink(const char* link) {
  ctx_.log.Print("Könyvtár hivatkozás : %s (csak a hivatkozás törlődik, amire mutat, az nem)\n", link);
  return RemoveDirEntry(link);
}

bool Removal::RemoveDirEntry(const char* directory) {
  PathText line;
  uninst_msg::DirectoryLine(line, directory);
  progress_.AddLine(line.c_str());
  return LogAction(ctx_.log, "Könyvtár törlés : %s...", directory).Close(ctx_.platform.files.RemoveDir(directory));
}

bool Removal::RemoveTree(const char* directory) {
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
        LogAction(ctx_.log, "Könyvtár törlés : %s...", path.c_str()).Fail(platform::kErrorFilenameTooLong);
        return false;
      }
      // A link inside the tree is never walked into: what it points to
      // is not the application's.
      bool removed = entry.IsLink() ? RemoveLink(path.c_str()) : RemoveTree(path.c_str());
      if (removed) continue;
      return false;
    }
    uninst_msg::FileLine(line, path.c_str());
    progress_.AddLine(line.c_str());
    LogAction deletion(ctx_.log, "Fájl törlés : %s...", path.c_str());
    if (!deletion.Close(fits ? files.RemoveFile(path.c_str()) : platform::kErrorFilenameTooLong)) result = false;
  }
  search.reset();
  return RemoveDirEntry(directory) && result;
}

}  // namespace qz
