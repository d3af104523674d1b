#pragma once
// The values a setup run works with.

#include <cstdint>
#include <string_view>

#include "text/Text.h"

namespace qz {

enum InstallType : std::int32_t {
  kInstallNone = 0,
  kInstallInstall = 1,  // first installation into a directory the user chooses
  kInstallPatch = 2,    // fix for exactly one installed version
  kInstallUpdate = 3,   // upgrade of an installed version
};

struct SetupSettings {
  std::int32_t installType = kInstallNone;
  NameText appName;
  VersionText appVersion;
  VersionText oldVersion;
  PathText homeDir;
  PathText vormexDir;
  PathText winDir;
  PathText sysDir;
  PathText appLogo;
};

// Versions compare as text: byte by byte as unsigned, the first difference
// decides, and a prefix is smaller (1.9 > 1.10, 2.0 < 2.0a). <0, 0 or >0.
int CompareVersions(std::string_view a, std::string_view b);

}  // namespace qz
