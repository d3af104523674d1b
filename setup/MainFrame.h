#pragma once
// The setup program's full-screen backdrop and the wizard driver that runs
// inside its first activation.

#include <memory>

#include "platform/UserInterface.h"
#include "setup/SetupApp.h"
#include "setup/WizardPage.h"

namespace qz {

// The maker's banner line at the bottom of the backdrop.
inline constexpr const char* kBannerLine = "VORMEX SOFTWARE KFT.  >>>  (WWW.VORMEX.HU)";
inline constexpr const char* kMainWindowCaption = "Vormex Software Kft.";

// The green-to-black gradient: 64 brushes, row y drawn with brush 63*y/height.
void PaintBackground(platform::Canvas& canvas);
// The run's title line (with its shadow) and the banner line.
void PaintTitle(platform::Canvas& canvas, const SetupSettings& settings);
// The title line by the kind of run, cut to 255 characters; empty when the
// kind is not known yet.
void FormatTitle(const SetupSettings& settings, TextBuffer& title);

class MainFrame : public platform::MainWindowHandler {
 public:
  explicit MainFrame(SetupApp& app) : app_(app) {}
  ~MainFrame() override;

  // The wizard driver, on the first activation only.
  void OnActivate() override;
  void OnEraseBackground(platform::Canvas& canvas) override { PaintBackground(canvas); }
  void OnPaint(platform::Canvas& canvas) override { PaintTitle(canvas, app_.settings); }

  std::unique_ptr<WizardPage> pages[5];
  int firstActivation = 1;
  NameText errorText;

 private:
  void RunWizard();
  // Shows the pages from the first; returns the last page's result.
  int RunPages(int count);

  SetupApp& app_;
};

}  // namespace qz
