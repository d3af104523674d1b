#pragma once
// What the steps of a setup run work with: the machine, the run's settings,
// script, log and registry access, the page's progress list and the owner of
// its message boxes. Each step composes its list lines and messages in
// buffers of its own.

#include "common/LogFile.h"
#include "common/ProgressList.h"
#include "common/Registry.h"
#include "engine/SetupScript.h"
#include "engine/SetupSettings.h"
#include "platform/Btrieve.h"
#include "platform/Platform.h"
#include "text/Text.h"

namespace qz {

struct StepContext {
  platform::Platform& platform;
  platform::BtrieveEngine& btrieve;
  SetupSettings& settings;
  SetupScript& script;
  LogFile& log;
  Registry& registry;
  ProgressList& progress;
  platform::MessageOwner& messages;  // the progress page
};

}  // namespace qz
