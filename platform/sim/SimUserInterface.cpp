#include "platform/sim/SimUserInterface.h"

namespace qz::platform::sim {

// Not yet: the operator and the transcript arrive with the setup program.
int SimUserInterface::RunDialog(DialogHandler&) { return -1; }
int SimUserInterface::ShowMessage(const char*, const char*, Buttons buttons, Icon) {
  return buttons == Buttons::YesNo ? kIdYes : kIdOk;
}
std::unique_ptr<Bitmap> SimUserInterface::LoadBitmapFile(const char*) { return nullptr; }
void SimUserInterface::RunMainWindow(const char*, MainWindowHandler&) {}
void SimUserInterface::CloseMainWindow() {}

}  // namespace qz::platform::sim
