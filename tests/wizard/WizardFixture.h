#pragma once
// A setup run on a fresh simulated machine: the setup program's dialogs, a
// scripted operator and a fixed clock.

#include <string>
#include <vector>

#include "engine/InstallSequence.h"
#include "platform/sim/DialogTemplate.h"
#include "platform/sim/ScriptedOperator.h"
#include "setup/NoBtrieveEngine.h"
#include "setup/SetupApp.h"
#include "setup/WizardPage.h"
#include "tests/support/Bitmap.h"
#include "tests/support/SimFixture.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQZSetupDialogs;
}

namespace qz::test {

using platform::sim::ScriptedOperator;
using platform::sim::SimDialog;

inline constexpr const char* kScript =
    "Demo setup\r\n\r\nInstallType:\r\n\"Install\"\r\n\r\nAppName:\r\n\"Demo\"\r\n\r\nAppVersion:\r\n\"2.0\"\r\n\r\n"
    "DefaultDir:\r\n\"C:\\DEMO\"\r\n\r\nAppLogo:\r\n\"logo.bmp\"\r\n";

class WizardTest : public SimFixture {
 protected:
  WizardTest() {
    WriteMedium("setup.ini", kScript);
    ui().SetTemplates(qz::templates::kQZSetupDialogs);
    ui().SetOperator(&op_);
    machine_.clock().Fix({2024, 3, 5, 2, 14, 7, 9});
    // One row of each kind of run that adds its line and succeeds.
    sequence_ = {{kRunsOnInstall | kRunsOnPatch | kRunsOnUpdate,
                  {"A %s telepítése", {RowText::Value::AppName}},
                  [](StepContext& ctx) {
                    ctx.log.Write("\n\n---> Teszt\n");
                    return true;
                  },
                  {"Hiba: %s", {RowText::Value::AppName}}}};
  }

  platform::sim::SimUserInterface& ui() { return machine_.ui(); }

  RunOutcome Run() {
    SetupApp app(machine_.platform(), btrieve_, sequence_);
    app.Run();
    EXPECT_TRUE(op_.Done()) << op_.Left() << " steps of the operator's script were not used\n" << Transcript();
    return app.outcome;
  }

  std::string Transcript() { return machine_.ui().TranscriptText(); }
  std::string Log() { return HostText(machine_.HostPath(kLogPath)); }

  // Records an earlier installation as the registration step does.
  void Installed(const char* version, const char* homeDir) {
    ASSERT_TRUE(registry_.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Demo", "Home Dir", homeDir));
    ASSERT_TRUE(registry_.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Demo", "Version", version));
  }

  // Accepts the welcome and licence pages.
  ScriptedOperator& ToDirectoryPage() { return op_.Enter(kWelcomeDialog).Enter(kLicenceDialog); }

  ScriptedOperator op_;
  NoBtrieveEngine btrieve_;
  InstallSequence sequence_;
};

}  // namespace qz::test
