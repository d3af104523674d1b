#pragma once
// The uninstaller's texts that the user sees: its message boxes, the
// confirmation, the progress page's caption and list lines. A text with a
// value in it is a function, so that the format is checked against its
// arguments.

#include "text/Text.h"

namespace qz::uninst_msg {

// Before any page.
inline void LogDirectoryNotMade(TextBuffer& out, const char* directory) {
  out.Format("Nem hozható létre a %s könyvtár!", directory);
}
inline constexpr const char* kNoApplicationName = "Hiba! Nincs megadva az eltávolítandó program.";
inline void NameOutsideCodePage(TextBuffer& out, const char* name) {
  out.Format("Hiba! Az eltávolítandó program neve (%s) a Windows-1250 kódlapon kívüli karaktert tartalmaz.", name);
}

// The confirmation.
inline void Confirmation(TextBuffer& out, const char* appName) {
  out.Format("Ez a program eltávolít minden '%s' programcsoporttal kapcsolatos fájlt és bejegyzést!", appName);
}

// The progress page. The box for an application that is not registered is
// written to the log as well, its line end with it.
inline void Caption(TextBuffer& out, const char* appName) { out.Format("%s eltávolító", appName); }
inline void NotInstalled(TextBuffer& out, const char* appName) { out.Format("A '%s' nincs telepítve!\n", appName); }

// Each step's list line, and its box when it fails.
inline constexpr const char* kProgramFilesLine = "Fileok törlése...";
inline constexpr const char* kProgramFilesFailed = "A fileok törlése nem sikerült!";
inline constexpr const char* kShortcutsLine = "Parancsikonok törlése...";
inline constexpr const char* kShortcutsFailed = "A parancsikonok törlése nem sikerült!";
inline constexpr const char* kRegistrationLine = "Alkalmazás regisztrációk törlése...";
inline constexpr const char* kRegistrationFailed = "A regisztrációk törlése nem sikerült!";

// The list's last line.
inline constexpr const char* kSucceededLine = "--- !!! Az eltávolítás sikeresen befejeződött!!! ---";
inline constexpr const char* kFailedLine = "--- !!! Hiba történt az eltávolítás közben!!! ---";

// The list lines of the removal itself: a directory, and a file below it.
inline void DirectoryLine(TextBuffer& out, const char* directory) { out.Format("   Törlés : %s", directory); }
inline void FileLine(TextBuffer& out, const char* path) { out.Format("     Törlés : %s", path); }

}  // namespace qz::uninst_msg
