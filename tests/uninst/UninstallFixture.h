#pragma once
// What the uninstaller's tests share: an installation recorded as the
// setup program records it, and the user's shell folders.

#include <string>

#include "common/Registry.h"
#include "tests/support/SimFixture.h"

namespace qz::test {

inline const std::string kMaker = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft";
inline const std::string kEntries = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class UninstallFixture : public SimFixture {
 protected:
  // Records an installation as the setup program does.
  void Register(const std::string& app, const std::string& homeDir) {
    Registry registry(machine_.registry());
    registry.SetValueString(kMaker + "\\" + app, "Home Dir", homeDir.c_str());
    registry.SetValueString(kMaker + "\\" + app, "Version", "2.1");
    registry.SetValueString(kEntries + "\\" + app, "DisplayName", app.c_str());
  }
  std::string Programs() {
    return "C:\\users\\" + platform::sim::SimMachine::UserName() +
           "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
  }
  std::string Desktop() { return "C:\\users\\" + platform::sim::SimMachine::UserName() + "\\Desktop"; }
};

}  // namespace qz::test
