#include "setup/MainFrame.h"

#include "engine/SetupMessages.h"
#include "setup/Defaults.h"
#include "setup/ProgressPage.h"
#include "setup/WizardPages.h"

namespace qz {

void PaintBackground(platform::Canvas& canvas) {
  platform::Rect client = canvas.ClientRect();
  int width = client.right - client.left;
  int height = client.bottom - client.top;
  for (int y = 0; y < height; ++y) {
    int brush = 63 * y / height;
    canvas.FillRect({0, y, width, y + 1}, {0, static_cast<std::uint8_t>(126 - 2 * brush), 0});
  }
}

void FormatTitle(const SetupSettings& s, TextBuffer& title) {
  title.Clear();
  // A title longer than 255 characters is cut: it is only shown.
  switch (s.installType) {
    case kInstallInstall: title.Format("Telepítő - %s v%s", s.appName.c_str(), s.appVersion.c_str()); break;
    case kInstallPatch: title.Format("Kiegészítés - %s v%s", s.appName.c_str(), s.oldVersion.c_str()); break;
    case kInstallUpdate:
      title.Format("Frissítő program - %s v%s -> v%s", s.appName.c_str(), s.oldVersion.c_str(), s.appVersion.c_str());
      break;
    default: break;
  }
}

void PaintTitle(platform::Canvas& canvas, const SetupSettings& settings) {
  platform::Rect client = canvas.ClientRect();
  NameText title;
  FormatTitle(settings, title);

  platform::FontSpec spec;
  spec.height = -(30 * canvas.DpiY()) / 72;
  spec.weight = 100;  // FW_THIN
  spec.italic = true;
  spec.outPrecision = 2;   // OUT_CHARACTER_PRECIS
  spec.clipPrecision = 1;  // CLIP_CHARACTER_PRECIS
  spec.face.Assign("Verdana");
  int titleFont = canvas.MakeFont(spec);
  spec.height /= 2;
  int bannerFont = canvas.MakeFont(spec);

  canvas.SetTransparentBackground();
  canvas.SelectFont(titleFont);
  if (!title.empty()) {
    platform::Rect shadow = client;
    shadow.left += 5;
    shadow.top += 5;
    canvas.SetTextColor({0, 0, 0});
    canvas.WriteText(title.c_str(), shadow, platform::kTextLeft | platform::kTextTop | platform::kTextSingleLine);
    canvas.SetTextColor({255, 255, 255});
    canvas.WriteText(title.c_str(), client, platform::kTextLeft | platform::kTextTop | platform::kTextSingleLine);
  }
  canvas.SetTextColor({255, 255, 255});
  canvas.SelectFont(bannerFont);
  canvas.WriteText(kBannerLine, client, platform::kTextLeft | platform::kTextBottom | platform::kTextSingleLine);
}

MainFrame::~MainFrame() = default;

void MainFrame::OnActivate() {
  if (firstActivation == 0) return;
  firstActivation = 0;
  errorText.Clear();
  RunWizard();
}

void MainFrame::RunWizard() {
  platform::UserInterface& ui = app_.platform.ui;
  if (!app_.script.Open("setup.ini")) {
    msg::ScriptNotOpened(errorText, "setup.ini");
  } else {
    ProtectedFolders folders(app_.platform.files, app_.platform.registry);
    GetDefaults(app_.script, app_.registry, app_.log, folders, app_.settings, errorText);
  }

  if (!errorText.empty()) {
    ui.ShowMessage(errorText.c_str(), ui.ProgramName(), platform::Buttons::Ok, platform::Icon::Exclamation);
    app_.log.Write(errorText.view());
    app_.outcome = RunOutcome::Stopped;
  } else {
    pages[0] = std::make_unique<WelcomePage>(app_);
    pages[1] = std::make_unique<LicencePage>(app_);
    app_.log.Write("\n\n\n---> Arguments\n");
    app_.log.Print("AppName : %s\nAppVersion : %s\n", app_.settings.appName.c_str(), app_.settings.appVersion.c_str());
    int slot = 2;
    switch (app_.settings.installType) {
      case kInstallInstall:
        app_.log.Write("InstallType : INSTALL\n");
        pages[slot++] = std::make_unique<DirectoryPage>(app_);
        break;
      case kInstallUpdate: app_.log.Print("InstallType : UPDATE\nOld version : %s\n", app_.settings.oldVersion.c_str()); break;
      case kInstallPatch: app_.log.Print("InstallType : PATCH\nOld version : %s\n", app_.settings.oldVersion.c_str()); break;
      default: break;
    }
    if (app_.givenDir && app_.settings.installType != kInstallInstall) {
      app_.log.Print("Megadott célkönyvtár : %s, nincs használva: a telepített könyvtárban (%s) történik a %s\n",
                     app_.givenDir->c_str(), app_.settings.homeDir.c_str(),
                     app_.settings.installType == kInstallPatch ? "javítás" : "frissítés");
    }
    auto progress = std::make_unique<ProgressPage>(app_);
    ProgressPage* progressPage = progress.get();
    pages[slot] = std::move(progress);
    app_.LoadLogo();

    int last = RunPages(slot + 1);
    if (last == kPageLeave) {
      app_.outcome = RunOutcome::Left;
    } else if (last == kPageForward) {
      app_.outcome = progressPage->Succeeded() ? RunOutcome::Finished : RunOutcome::Failed;
    } else {
      app_.outcome = RunOutcome::Failed;
    }
    for (auto& page : pages) page.reset();
  }

  app_.script.Close();
  app_.log.Close();
  ui.CloseMainWindow();
}

int MainFrame::RunPages(int count) {
  platform::UserInterface& ui = app_.platform.ui;
  int index = 0;
  int result = 0;
  while (index < count) {
    result = ui.RunDialog(*pages[index]);
    if (result == kPageForward) {
      ++index;
    } else if (result == kPageLeave) {
      index = count;
    } else if (result == kPageBack) {
      --index;
    } else if (result < 0) {
      // The page's dialog could not be created: showing it again would fail
      // again, so the wizard ends here, with a message and a log line.
      MessageText message;
      msg::PageNotShown(message, pages[index]->TemplateId());
      app_.log.Print("\n\n---> Wizard\n%s\n", message.c_str());
      ui.ShowMessage(message.c_str(), ui.ProgramName(), platform::Buttons::Ok, platform::Icon::Exclamation);
      return result;
    }
    if (index < 0) index = 0;
  }
  return result;
}

}  // namespace qz
