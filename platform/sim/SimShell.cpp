#include "platform/sim/SimShell.h"

namespace qz::platform::sim {

// Not yet: shell links arrive with the install steps.
HResult SimShell::Initialize() { return 0; }
void SimShell::Uninitialize() {}
std::unique_ptr<ShellLink> SimShell::CreateLink(HResult& result) {
  result = static_cast<HResult>(0x80004001);  // E_NOTIMPL
  return nullptr;
}
HResult SimShell::QueryPersistFile(ShellLink&) { return static_cast<HResult>(0x80004001); }

}  // namespace qz::platform::sim
