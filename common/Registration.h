#pragma once
// The registration that the setup writes and the uninstaller reads: the key
// paths and value names, each spelled as the programs have always spelled
// it. The spellings differ on purpose and the logs show them: the setup's
// start-up looks the application up under "Vormex Kft", while the
// registration is written (and removed) under "Vormex kft"; the setup
// writes the desktop shortcut as "Link" and the uninstaller reads "link".
// The registry does not tell case apart, so both reach the same key and
// value.

#include "text/Text.h"

namespace qz::registration {

// The maker's key, holding one subkey per installed application.
inline constexpr const char* kMakerKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft";
// The same key as the setup's start-up names it.
inline constexpr const char* kMakerKeyAtStartUp = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex Kft";
// Windows' list of programs, one subkey per application name.
inline constexpr const char* kUninstallKeys = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// The user's shell folders: where the program group and the desktop
// shortcut go, and which folders are the user's own. The second spelling is
// the key below the current user's root, as the platform's registry opens it.
inline constexpr const char* kShellFolders =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr const char* kShellFoldersBelowUser = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Values of the application's key.
inline constexpr const char* kHomeDir = "Home Dir";
inline constexpr const char* kVersion = "Version";
inline constexpr const char* kLinkWritten = "Link";  // the desktop shortcut, as the setup writes it
inline constexpr const char* kLinkRead = "link";     // and as the uninstaller reads it
// Values of the application's uninstall key.
inline constexpr const char* kDisplayName = "DisplayName";
inline constexpr const char* kUninstallString = "UninstallString";
// Values of the shell folders' key.
inline constexpr const char* kPrograms = "Programs";
inline constexpr const char* kDesktop = "Desktop";

// Key paths are built in buffers of a key path's own size, so an
// application name of up to 255 characters never reaches a shortened key
// that could name another application.
inline KeyPathText AppKey(std::string_view appName) {
  KeyPathText key;
  key.Format("%s\\%.*s", kMakerKey, static_cast<int>(appName.size()), appName.data());
  return key;
}

inline KeyPathText AppKeyAtStartUp(std::string_view appName) {
  KeyPathText key;
  key.Format("%s\\%.*s", kMakerKeyAtStartUp, static_cast<int>(appName.size()), appName.data());
  return key;
}

inline KeyPathText UninstallKey(std::string_view appName) {
  KeyPathText key;
  key.Format("%s\\%.*s", kUninstallKeys, static_cast<int>(appName.size()), appName.data());
  return key;
}

}  // namespace qz::registration
