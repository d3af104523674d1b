#pragma once
// The setup program's texts that the user sees: the messages that stop it
// before any page, the install steps' warning boxes and the progress list's
// lines. A text that takes a value is a function writing into a buffer of
// the caller's, with a literal format, so that the compiler checks it. The
// medium checker quotes the stop messages from here.

#include "text/Text.h"

namespace qz::msg {

// Start-up: the script and the log's directory.
inline void ScriptNotOpened(TextBuffer& out, const char* script) {
  out.Format("Nem lehet megnyitni a telepítő fájlt (%s)", script);
}

inline void LogDirectoryNotMade(TextBuffer& out, const char* directory) {
  out.Format("Nem hozható létre a %s könyvtár!\n\nEngedélyezze a könyvtár létrehozásátaz installáció megkezdéséhez!",
             directory);
}

// Start-up: a setting the script must give.
inline constexpr const char* kNoInstallType = "Nincs megadva a telepítés típusa";
inline constexpr const char* kUnknownInstallType = "Ismeretlen telepítési típus";
inline constexpr const char* kNoAppName = "Nincs megadva az alkalmazás neve";
inline constexpr const char* kNoAppVersion = "Nincs megadva az alkalmazás verziószáma";
inline constexpr const char* kNoDefaultDir = "Nincs alapértelmezett könyvtár megadva";
inline constexpr const char* kNoAppLogo = "Nincs logo kép megadva";

// Start-up: what the registration of an earlier installation lacks.
inline constexpr const char* kNoInstalledDirectory = "Nincs telepítési könyvtár!";
inline constexpr const char* kNoInstalledVersion = "Nincs telepítési verzió!";

inline void BadAppName(TextBuffer& out, const char* appName) { out.Format("Hibás alkalmazásnév (%s)", appName); }

inline void UpdateOfWhatIsNotInstalled(TextBuffer& out, const char* appName) {
  out.Format("A %s program frissítése nem lehetséges!\nA frissítéshez előb telepítenie kell a programot", appName);
}

inline void PatchOfAnotherVersion(TextBuffer& out, const char* installed, const char* patched) {
  out.Format(
      "A javítás nem lehetséges!\nA javító programot csak a megfelelő verziójú programmal használhatja:\n\n"
      "Telepített verzió : %s\nSzükséges verzió : %s",
      installed, patched);
}

inline void UpdateOfANewerVersion(TextBuffer& out, const char* installed, const char* update) {
  out.Format(
      "A frissítés nem lehetséges!\nA telepítendőnél újabb verziójú program található a számítógépén:\n\n"
      "Telepített verzió : %s\nFrissítési verzió : %s",
      installed, update);
}

// The wizard: a page that cannot be shown, and the directory page's refusals.
inline void PageNotShown(TextBuffer& out, int templateId) {
  out.Format("A telepítő %d. ablaka nem jeleníthető meg!", templateId);
}

inline constexpr const char* kDirectoryOutsideCodePage =
    "A könyvtár neve a Windows-1250 kódlapon kívüli karaktert tartalmaz!";
inline constexpr const char* kDirectoryWithAccentOrBlank =
    "A könyvtár nevében nem szerepelhet ékezetes betű, sem szóköz karakter!";
inline void BadDirectory(TextBuffer& out, const char* directory) { out.Format("Hibás könyvtár (%s)", directory); }
inline constexpr const char* kWriteProtected = "Írásvédett lemez";
// The question whether to install over an existing directory, and its caption.
inline constexpr const char* kOverwriteDirectory = "A könyvtár már létezik! \n Fölül akarja írni?";
inline constexpr const char* kOverwriteCaption = "Hiba";

// The install steps' warning boxes.
inline void DirectoryNotMade(TextBuffer& out, const char* path) {
  out.Format("Könyvtár létrehozási hiba!\n\nKönyvtár : %s", path);
}

inline void FileNotCopied(TextBuffer& out, const char* source) { out.Format("Fájl másolási hiba\n\nFile : %s", source); }

// The progress list.
inline void DirectoryLine(TextBuffer& out, const char* path) { out.Format("   Könyvtár : %s", path); }
inline void FileLine(TextBuffer& out, const char* target) { out.Format("   Fájl : %s", target); }
inline constexpr const char* kSectionFailedLine = "Nem sikerült a másolás!";
inline constexpr const char* kInstallFailedLine = "--- !!! Hiba a telepítés közben !!! ---";
inline constexpr const char* kInstallSucceededLine = "--- !!! A telepítés sikeresen befejeződött!!! ---";

}  // namespace qz::msg
