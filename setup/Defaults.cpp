#include "setup/Defaults.h"

#include "common/Registration.h"
#include "common/SafePaths.h"
#include "engine/SetupMessages.h"

namespace qz {
namespace {

// Reads the first item of a defaults section and expands it into `field`.
// A value longer than its field is cut to it.
bool ReadDefault(SetupScript& script, const char* label, TextBuffer& field, const SetupSettings& settings) {
  FixedText<1024> item;
  if (!script.FindLabel(label) || !script.ReadItem(item)) return false;
  // The settings are copied before `field` changes, so "$HOMEDIR$" within
  // "DefaultDir:" itself stands for the still empty home directory.
  SettingsMacros(settings).Expand(item.view(), field);
  return true;
}

}  // namespace

void GetDefaults(SetupScript& script, Registry& registry, LogFile& log, const ProtectedFolders& folders,
                SetupSettings& s, TextBuffer& errorText) {
  s.installType = kInstallNone;
  s.appName.Clear();
  s.appVersion.Clear();
  s.homeDir.Clear();
  s.appLogo.Clear();
  log.Write("---> GetDefaults\n");

  NameText type;
  if (!ReadDefault(script, "InstallType:", type, s)) {
    errorText.Assign(msg::kNoInstallType);
  } else if (type == "Install") {
    s.installType = kInstallInstall;
  } else if (type == "Patch") {
    s.installType = kInstallPatch;
  } else if (type == "Update") {
    s.installType = kInstallUpdate;
  } else {
    errorText.Assign(msg::kUnknownInstallType);
    return;
  }
  if (!ReadDefault(script, "AppName:", s.appName, s)) {
    errorText.Assign(msg::kNoAppName);
    return;
  }
  // The name becomes a registry key and the program group folder, which
  // the uninstaller deletes whole: a name it would refuse is never
  // installed.
  if (!IsValidAppName(s.appName.view())) {
    log.Print("Hibás alkalmazásnév : \"%s\" %s\n", s.appName.c_str(), PathFaultText(CheckName(s.appName.view())));
    msg::BadAppName(errorText, s.appName.c_str());
    return;
  }
  if (!ReadDefault(script, "AppVersion:", s.appVersion, s)) {
    errorText.Assign(msg::kNoAppVersion);
    return;
  }
  if (!ReadDefault(script, "DefaultDir:", s.homeDir, s)) {
    errorText.Assign(msg::kNoDefaultDir);
    return;
  }
  if (!ReadDefault(script, "AppLogo:", s.appLogo, s)) {
    errorText.Assign(msg::kNoAppLogo);
    return;
  }

  KeyPathText key = registration::AppKeyAtStartUp(s.appName.view());
  if (!registry.IsValidKey(key.view())) {
    if (s.installType == kInstallUpdate || s.installType == kInstallPatch) {
      msg::UpdateOfWhatIsNotInstalled(errorText, s.appName.c_str());
    }
    return;
  }
  if (s.installType == kInstallInstall) s.installType = kInstallUpdate;
  // An installation recorded in a drive's root or a system directory (older
  // setups did not check), or where the registry was tampered with, is not
  // installed over: its removal or backup would reach the whole machine.
  if (!registry.GetValueString(key.view(), registration::kHomeDir, s.homeDir)) {
    errorText.Assign(msg::kNoInstalledDirectory);
    return;
  }
  LogText reason;
  if (!folders.Allows(s.homeDir.view(), reason)) {
    log.Print("Nem használható telepítési könyvtár : %s\n", reason.c_str());
    errorText.Assign(msg::kNoInstalledDirectory);
    return;
  }
  if (!registry.GetValueString(key.view(), registration::kVersion, s.oldVersion)) {
    errorText.Assign(msg::kNoInstalledVersion);
    return;
  }
  if (s.installType == kInstallPatch && s.appVersion.view() != s.oldVersion.view()) {
    msg::PatchOfAnotherVersion(errorText, s.oldVersion.c_str(), s.appVersion.c_str());
  }
  if (s.installType == kInstallUpdate && CompareVersions(s.oldVersion.view(), s.appVersion.view()) > 0) {
    msg::UpdateOfANewerVersion(errorText, s.oldVersion.c_str(), s.appVersion.c_str());
  }
}

}  // namespace qz
