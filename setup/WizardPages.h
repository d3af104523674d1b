#pragma once
// The pages before the installation: welcome, licence and target directory.

#include <string>

#include "setup/WizardPage.h"

namespace qz {

// Reads a page's text file from the working directory as the pages show it:
// chunks of up to 255 bytes, each taken up to its first NUL byte, until a
// read returns fewer than 255 bytes. Empty when the file cannot be opened.
std::string LoadPageText(platform::FileSystem& files, const char* name);

class WelcomePage : public WizardPage {
 public:
  explicit WelcomePage(SetupApp& app) : WizardPage(app, kWelcomeDialog) {}
  void OnInit(platform::Dialog& dialog) override;
};

class LicencePage : public WizardPage {
 public:
  explicit LicencePage(SetupApp& app) : WizardPage(app, kLicenceDialog) {}
  void OnInit(platform::Dialog& dialog) override;
};

class DirectoryPage : public WizardPage {
 public:
  explicit DirectoryPage(SetupApp& app) : WizardPage(app, kDirectoryDialog) {}
  void OnInit(platform::Dialog& dialog) override;
  void OnCommand(platform::Dialog& dialog, int id) override;
  // Checks and creates the home directory; the page ends only when it may
  // be installed into.
  void OnOk(platform::Dialog& dialog) override;

 private:
  void Refuse(platform::Dialog& dialog, const char* text);
};

}  // namespace qz
