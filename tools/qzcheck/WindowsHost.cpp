#include "tools/qzcheck/WindowsHost.h"

#include <windows.h>

#include <string>

#include "tools/qzcheck/WideUtf8.h"

namespace qz::check {

// The medium's folder is only read from: any letters, whatever the
// system's code page.
bool WindowsHost::OpenMedium(const std::string& medium, std::string& problem) {
  if (medium.empty()) return true;
  if (!SetCurrentDirectoryW(WideFromUtf8(medium).c_str())) {
    problem = "no medium at " + medium;
    return false;
  }
  return true;
}

int WindowsHost::Plan(const std::string&, const std::optional<std::string>&, const std::optional<std::string>&,
                      std::string&, std::string& problem) {
  problem =
      "--plan runs on the simulated machine of the native qzcheck only: on Windows the dry run would need a "
      "throw-away copy of this Windows";
  return kExitUsage;
}

}  // namespace qz::check
