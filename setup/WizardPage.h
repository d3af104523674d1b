#pragma once
// What every wizard page shares: the logo in its top-left corner, "< Vissza"
// (command 1002) ending the page with 1002, and Cancel ("Kilép" or Esc)
// asking the exit confirmation before the page ends with 2.

#include "platform/UserInterface.h"
#include "setup/SetupApp.h"

namespace qz {

// Page results, as the wizard driver reads them.
inline constexpr int kPageForward = 1;
inline constexpr int kPageLeave = 2;
inline constexpr int kPageBack = 1002;

// Dialog templates of the setup program (setup/QZSetup.rc).
inline constexpr int kWelcomeDialog = 101;
inline constexpr int kLicenceDialog = 102;
inline constexpr int kDirectoryDialog = 103;
inline constexpr int kProgressDialog = 105;
inline constexpr int kExitConfirmDialog = 116;

// Controls.
inline constexpr int kBackButton = 1002;
inline constexpr int kTextBox = 1005;
inline constexpr int kBrowseButton = 1011;
inline constexpr int kProgressListBox = 1017;

// "Kilépés a telepítőből": the standard OK ("Folytat") and Cancel ("Kilép").
class ExitConfirmDialog : public platform::DialogHandler {
 public:
  int TemplateId() const override { return kExitConfirmDialog; }
};

class WizardPage : public platform::DialogHandler {
 public:
  WizardPage(SetupApp& app, int templateId) : app_(app), templateId_(templateId) {}
  int TemplateId() const override { return templateId_; }

  void OnPaint(platform::Dialog&, platform::Canvas& canvas) override {
    if (app_.logoBitmap) canvas.DrawBitmap(*app_.logoBitmap, 8, 8);
  }

  void OnCommand(platform::Dialog& dialog, int id) override {
    if (id == kBackButton) dialog.End(kPageBack);
  }

  // The page stays open unless the confirmation ends with "Kilép" (2); a
  // confirmation that cannot be shown (-1) keeps the page too.
  void OnCancel(platform::Dialog& dialog) override {
    ExitConfirmDialog confirm;
    if (app_.platform.ui.RunDialog(confirm) == kPageLeave) dialog.End(kPageLeave);
  }

 protected:
  SetupApp& app_;

 private:
  int templateId_;
};

}  // namespace qz
