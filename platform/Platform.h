#pragma once
// What the logic receives from the program's entry point: the machine it
// runs on. Each program's main picks the implementation (real Win32 or the
// simulated machine) and hands this down; nothing below reaches for a
// global.

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/RegistryStore.h"

namespace qz::platform {

struct Platform {
  FileSystem& files;
  RegistryStore& registry;
  Clock& clock;
};

}  // namespace qz::platform
