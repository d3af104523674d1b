#include "uninst/UninstallDialog.h"

#include <cassert>

#include "uninst/Removal.h"
#include "uninst/UninstallMessages.h"

namespace qz {
namespace {

// One step of the removal as the page shows it: its list line, its log
// section, and the box shown when it fails.
struct RemovalStep {
  const char* listLine;
  const char* logSection;
  bool (Removal::*run)();
  const char* failure;
};

constexpr RemovalStep kRemovalSteps[] = {
    {uninst_msg::kProgramFilesLine, "\n\n---> Programfájlok törlése\n", &Removal::RemoveProgramFiles,
     uninst_msg::kProgramFilesFailed},
    {uninst_msg::kShortcutsLine, "\n\n---> Parancsikonok törlése\n", &Removal::RemoveShortcuts,
     uninst_msg::kShortcutsFailed},
    {uninst_msg::kRegistrationLine, "\n\n---> Aplikáció reg. törlése\n", &Removal::RemoveRegistration,
     uninst_msg::kRegistrationFailed},
};

}  // namespace

UninstallDialog::UninstallDialog(UninstallContext& context, std::string_view appName) : ctx_(context) {
  // ApplicationNameFrom took only a name that fits: a shortened one would
  // be another application's.
  [[maybe_unused]] bool fits = appName_.Assign(appName);
  assert(fits);
}

void UninstallDialog::CheckApplication(platform::Dialog& dialog) {
  ctx_.log.Write("---> Alkalmazás ellenőrzése\n");
  if (IsRegistered(ctx_, appName_.view())) {
    registered_ = true;
    NameText caption;
    uninst_msg::Caption(caption, appName_.c_str());
    dialog.SetCaption(caption.c_str());
    dialog.PostCommand(kStartRemovalCommand);
    return;
  }
  MessageText text;
  uninst_msg::NotInstalled(text, appName_.c_str());
  ctx_.log.Write(text.view());
  dialog.ShowMessage(text.c_str(), ctx_.platform.ui.ProgramName(), platform::Buttons::Ok, platform::Icon::Exclamation);
  dialog.End(platform::kIdCancel);
}

void UninstallDialog::OnCommand(platform::Dialog& dialog, int id) {
  if (id == kStartRemovalCommand) StartRemoval(dialog);
}

void UninstallDialog::StartRemoval(platform::Dialog& dialog) {
  // The page is put on screen first, so that the steps' boxes have it
  // behind them.
  dialog.ShowNow();
  // The command is posted only once the application's key was found.
  assert(registered_);
  ProgressList progress(dialog.ListBox(kUninstallListId));
  Removal removal(ctx_, appName_.view(), progress);
  // What an interrupted installation did not register is logged; the steps
  // still remove whatever part of it exists.
  removal.GetDirs();
  bool ok = true;
  for (const RemovalStep& step : kRemovalSteps) {
    progress.AddLine(step.listLine);
    ctx_.log.Write(step.logSection);
    if ((removal.*step.run)()) continue;
    dialog.ShowMessage(step.failure, ctx_.platform.ui.ProgramName(), platform::Buttons::Ok, platform::Icon::Exclamation);
    ok = false;
  }
  succeeded_ = ok;
  progress.AddLine(ok ? uninst_msg::kSucceededLine : uninst_msg::kFailedLine);
  dialog.EnableItem(platform::kIdOk, true);
}

}  // namespace qz
