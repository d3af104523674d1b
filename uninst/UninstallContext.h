#pragma once

#include "common/LogFile.h"
#include "common/Registry.h"
#include "platform/Platform.h"

namespace qz {

// What the uninstaller's dialogs work with.
struct UninstallContext {
  platform::Platform& platform;
  LogFile& log;
  Registry& registry;
};

}  // namespace qz
