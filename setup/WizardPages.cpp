#include "setup/WizardPages.h"

#include <string_view>

#include "engine/SetupMessages.h"
#include "setup/Defaults.h"

namespace qz {
namespace {

// The space and the accented letters a directory name may not hold; ú and Ú
// are allowed.
constexpr std::string_view kRefusedInDirectory = " áâäéëíöőôóüűÁÂÄÉËÍÓÖŐÔÜŰ";

}  // namespace

std::string LoadPageText(platform::FileSystem& files, const char* name) {
  std::string text;
  platform::ErrorCode error = platform::kOk;
  auto file = files.OpenForReading(name, platform::kShareReadWrite, error);
  if (!file) return text;
  for (;;) {
    char chunk[512] = {};
    std::size_t got = 0;
    if (!file->Read(chunk, 255, got)) break;
    text.append(chunk, std::string_view(chunk, got).find('\0') == std::string_view::npos
                           ? got
                           : std::string_view(chunk, got).find('\0'));
    if (got < 255) break;
  }
  return text;
}

void WelcomePage::OnInit(platform::Dialog& dialog) {
  MessageText caption;
  caption.Format("Üdvözli a \"%s\" ", app_.settings.appName.c_str());
  switch (app_.settings.installType) {
    case kInstallInstall: caption.Append("telepítője"); break;
    case kInstallUpdate: caption.Append("frissítő programja"); break;
    case kInstallPatch: caption.Append("javító programja"); break;
    default: break;
  }
  dialog.SetCaption(caption.c_str());
  dialog.SetItemText(kTextBox, LoadPageText(app_.platform.files, "udvozles.txt").c_str());
}

void LicencePage::OnInit(platform::Dialog& dialog) {
  dialog.SetItemText(kTextBox, LoadPageText(app_.platform.files, "licensz.txt").c_str());
}

// The focus goes to the directory's text: the first tab stop is "< Vissza",
// where Enter would go back instead of on.
void DirectoryPage::OnInit(platform::Dialog& dialog) {
  dialog.SetItemText(kTextBox, app_.settings.homeDir.c_str());
  dialog.SetFocus(kTextBox);
}

void DirectoryPage::OnCommand(platform::Dialog& dialog, int id) {
  if (id != kBrowseButton) {
    WizardPage::OnCommand(dialog, id);
    return;
  }
  PathText chosen;
  if (!dialog.BrowseForFolder("Installációs könyvtár kiválasztása", chosen)) return;
  app_.settings.homeDir.Assign(chosen.view());
  dialog.SetItemText(kTextBox, app_.settings.homeDir.c_str());
}

void DirectoryPage::Refuse(platform::Dialog& dialog, const char* text) {
  dialog.ShowMessage(text, app_.platform.ui.ProgramName(), platform::Buttons::Ok, platform::Icon::Exclamation);
}

void DirectoryPage::OnOk(platform::Dialog& dialog) {
  SetupSettings& s = app_.settings;
  // A text longer than a path can be is refused whole: cut to 259
  // characters it would name another directory.
  std::size_t typed = dialog.GetItemText(kTextBox, s.homeDir);
  bool convertible = typed != platform::kTextNotConvertible;
  bool tooLong = convertible && typed >= s.homeDir.capacity();
  if (!s.homeDir.empty() && s.homeDir[s.homeDir.length() - 1] == '\\') s.homeDir.Truncate(s.homeDir.length() - 1);

  // A text with letters Windows-1250 lacks (typed on a system with another
  // code page, or given on the command line) is refused before anything
  // else: the programs see it only with a '?' in place of each, which no
  // other check may judge.
  if (!convertible) {
    app_.log.Print("Hibás könyvtár : a(z) \"%s\" a Windows-1250 kódlapon kívüli karaktert tartalmaz\n",
                   s.homeDir.c_str());
    Refuse(dialog, msg::kDirectoryOutsideCodePage);
    return;
  }
  if (s.homeDir.view().find_first_of(kRefusedInDirectory) != std::string_view::npos) {
    Refuse(dialog, msg::kDirectoryWithAccentOrBlank);
    return;
  }
  MessageText message;
  msg::BadDirectory(message, s.homeDir.c_str());
  // A directory the uninstaller would refuse to remove is refused like one
  // that cannot be made: no full path of its own, a drive's root, a folder
  // of the system or the user, or one above them; it would be installed
  // into, backed up and removed whole.
  LogText reason;
  if (tooLong) {
    reason.Assign("hosszabb 259 karakternél");
  } else {
    ProtectedFolders folders(app_.platform.files, app_.platform.registry);
    if (folders.Allows(s.homeDir.view(), reason)) reason.Clear();
  }
  if (!reason.empty()) {
    app_.log.Print("Hibás könyvtár : %s\n", reason.c_str());
    Refuse(dialog, message.c_str());
    return;
  }
  platform::ErrorCode error = app_.platform.files.MakeDirectory(s.homeDir.c_str());
  if (error == platform::kOk) {
    dialog.End(kPageForward);
  } else if (error == platform::kErrorWriteFault) {
    Refuse(dialog, msg::kWriteProtected);
  } else if (error == platform::kErrorAlreadyExists) {
    if (s.installType != kInstallInstall ||
        dialog.ShowMessage(msg::kOverwriteDirectory, msg::kOverwriteCaption, platform::Buttons::YesNo,
                           platform::Icon::Question) == platform::kIdYes) {
      dialog.End(kPageForward);
    }
  } else {
    Refuse(dialog, message.c_str());
  }
}

}  // namespace qz
