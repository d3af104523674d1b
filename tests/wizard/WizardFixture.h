#pragma once
// A setup run on a fresh simulated machine: a medium folder of the test's
// own, the setup program's dialogs, a scripted operator and a fixed clock.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "common/Registry.h"
#include "engine/InstallSequence.h"
#include "platform/sim/DialogTemplate.h"
#include "platform/sim/ScriptedOperator.h"
#include "platform/sim/SimMachine.h"
#include "setup/NoBtrieveEngine.h"
#include "setup/SetupApp.h"
#include "setup/WizardPage.h"
#include "tests/support/TempDir.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQZSetupDialogs;
}

namespace qz::test {

using platform::sim::ScriptedOperator;
using platform::sim::SimDialog;

inline constexpr const char* kScript =
    "Demo setup\r\n\r\nInstallType:\r\n\"Install\"\r\n\r\nAppName:\r\n\"Demo\"\r\n\r\nAppVersion:\r\n\"2.0\"\r\n\r\n"
    "DefaultDir:\r\n\"C:\\DEMO\"\r\n\r\nAppLogo:\r\n\"logo.bmp\"\r\n";

// A 24-bit bitmap file of the given size.
inline std::string BitmapFile(int width, int height) {
  int row = ((width * 24 + 31) / 32) * 4;
  std::string pixels(static_cast<std::size_t>(row * height), '\x40');
  auto le32 = [](std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  std::string file = "BM" + le32(static_cast<std::uint32_t>(54 + pixels.size())) + le32(0) + le32(54);
  file += le32(40) + le32(static_cast<std::uint32_t>(width)) + le32(static_cast<std::uint32_t>(height));
  file += std::string("\x01\x00\x18\x00", 4) + le32(0) + le32(static_cast<std::uint32_t>(pixels.size()));
  file += le32(2835) + le32(2835) + le32(0) + le32(0);
  return file + pixels;
}

class WizardTest : public ::testing::Test {
 protected:
  WizardTest() {
    std::filesystem::create_directories(medium_);
    WriteMedium("setup.ini", kScript);
    machine_ = std::make_unique<platform::sim::SimMachine>(temp_.path() / "machine", medium_);
    ui().SetTemplates(qz::templates::kQZSetupDialogs);
    ui().SetOperator(&op_);
    machine_->clock().Fix({2024, 3, 5, 2, 14, 7, 9});
    // One row of each kind of run that adds its line and succeeds.
    sequence_ = {{kRunsOnInstall | kRunsOnPatch | kRunsOnUpdate,
                  {"A %s telepítése", {RowText::Value::AppName}},
                  [](StepContext& ctx) {
                    ctx.log.Write("\n\n---> Teszt\n");
                    return true;
                  },
                  {"Hiba: %s", {RowText::Value::AppName}}}};
  }

  platform::sim::SimUserInterface& ui() { return machine_->ui(); }

  void WriteMedium(const std::string& name, const std::string& bytes) {
    std::ofstream out(medium_ / name, std::ios::binary | std::ios::trunc);
    out << bytes;
  }

  RunOutcome Run() {
    SetupApp app(machine_->platform(), btrieve_, sequence_);
    app.Run();
    EXPECT_TRUE(op_.Done()) << op_.Left() << " steps of the operator's script were not used\n" << Transcript();
    return app.outcome;
  }

  std::string Transcript() const { return machine_->ui().TranscriptText(); }

  std::string Log() {
    std::ifstream in(machine_->HostPath("C:\\windows\\Vormex\\qzlog.txt"), std::ios::binary);
    if (!in) return "<missing>";
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  bool HostExists(const char* windowsPath) { return std::filesystem::exists(machine_->HostPath(windowsPath)); }

  // Records an earlier installation as the registration step does.
  void Installed(const char* version, const char* homeDir) {
    Registry registry(machine_->registry());
    ASSERT_TRUE(registry.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Demo", "Home Dir", homeDir));
    ASSERT_TRUE(registry.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Demo", "Version", version));
  }

  // Accepts the welcome and licence pages.
  ScriptedOperator& ToDirectoryPage() { return op_.Enter(kWelcomeDialog).Enter(kLicenceDialog); }

  TempDir temp_;
  std::filesystem::path medium_ = temp_.path() / "medium";
  std::unique_ptr<platform::sim::SimMachine> machine_;
  ScriptedOperator op_;
  NoBtrieveEngine btrieve_;
  InstallSequence sequence_;
};

}  // namespace qz::test
