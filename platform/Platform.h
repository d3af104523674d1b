#pragma once
// What the logic receives from the program's entry point: the machine it
// runs on. Each program's main picks the implementation (real Win32 or the
// simulated machine) and hands this down; nothing below reaches for a
// global. The Btrieve engine is handed to the setup program beside it, as
// only that program is bound to the engine.

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/RegistryStore.h"
#include "platform/Shell.h"
#include "platform/UserInterface.h"

namespace qz::platform {

struct Platform {
  FileSystem& files;
  RegistryStore& registry;
  Clock& clock;
  UserInterface& ui;
  Shell& shell;
};

}  // namespace qz::platform
