#pragma once
// The user interface of the simulated machine.

#include <string>

#include "platform/UserInterface.h"

namespace qz::platform::sim {

class SimUserInterface : public UserInterface {
 public:
  int RunDialog(DialogHandler& handler) override;
  int ShowMessage(const char* text, const char* caption, Buttons buttons, Icon icon) override;
  std::unique_ptr<Bitmap> LoadBitmapFile(const char* path) override;
  void RunMainWindow(const char* caption, MainWindowHandler& handler) override;
  void CloseMainWindow() override;
  const char* ProgramName() override { return programName_.c_str(); }
  void SetProgramName(std::string name) { programName_ = std::move(name); }

 private:
  std::string programName_ = "QZSetup";
};

}  // namespace qz::platform::sim
