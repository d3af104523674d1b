#pragma once
// The stub's texts, written as wide literals: the source is UTF-8 and wide
// literals are stored as UTF-16 whatever -fexec-charset says for the narrow
// ones (Windows-1250), so the wide calls show them as written.

#include "tools/qzpack/StubRun.h"

namespace qz::pack::win32 {

inline const wchar_t* StubMessageText(StubMessage message) {
  switch (message) {
    case StubMessage::kDamaged:
      return L"A telepítőfájl sérült vagy hiányos, ezért a telepítés nem indítható el.\n\n"
             L"Kérjük, töltse le újra a fájlt!";
    case StubMessage::kNoRoom:
      return L"Nincs elég szabad hely a lemezen a telepítő kicsomagolásához.\n\n"
             L"Szabadítson fel helyet, majd indítsa újra a telepítőt!";
    case StubMessage::kCannotExtract:
      return L"A telepítő kicsomagolása nem sikerült.";
    case StubMessage::kCannotStart:
      return L"A telepítőprogram nem indítható el.";
  }
  return L"";
}

inline const wchar_t* ProgressText(ProgressPhase phase) {
  return phase == ProgressPhase::kChecking ? L"A telepítőfájl ellenőrzése..." : L"A telepítő kicsomagolása...";
}

}  // namespace qz::pack::win32
