// Shell links on both platforms: how saving fails. (What a link holds, and
// its replacement, is read back with lnkinfo, natively by the shortcut step's
// tests, and on both sides by the end-to-end runs.)

#include <gtest/gtest.h>

#include <string>

#include "tests/support/TestMachine.h"

namespace qz::test {
namespace {

using namespace platform;

class ShellLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Succeeded(shell_.Initialize())); }
  void TearDown() override { shell_.Uninitialize(); }
  std::string Path(const std::string& name) { return machine_->scratchDir() + "\\" + name; }

  HResult MakeLink(const std::string& linkPath, const std::string& target) {
    HResult result = 0;
    std::unique_ptr<ShellLink> link = shell_.CreateLink(result);
    if (!link) return result;
    if (!Succeeded(result = shell_.QueryPersistFile(*link))) return result;
    EXPECT_TRUE(Succeeded(link->SetPath(target.c_str())));
    return link->Save(linkPath.c_str());
  }

  std::unique_ptr<TestMachine> machine_ = TestMachine::Create();
  Shell& shell_ = machine_->platform().shell;
};

TEST_F(ShellLinkTest, SaveFailsWhereNoFileCanBeWritten) {
  machine_->WriteFile(Path("PROG.EXE"), "MZ");
  EXPECT_EQ(MakeLink(Path("missing\\x.lnk"), Path("PROG.EXE")), static_cast<HResult>(0x80070003));

  machine_->WriteFile(Path("ro.lnk"), "old");
  ASSERT_EQ(machine_->platform().files.SetAttributes(Path("ro.lnk").c_str(), kAttributeReadOnly), kOk);
  HResult result = MakeLink(Path("ro.lnk"), Path("PROG.EXE"));
  if (machine_->IsWin32()) {
    // Wine saves over a read-only file, as its CopyFile copies over one;
    // Windows refuses, as the simulated machine does.
    EXPECT_TRUE(result == 0 || result == static_cast<HResult>(0x80070005)) << std::hex << result;
  } else {
    EXPECT_EQ(result, static_cast<HResult>(0x80070005));
    EXPECT_EQ(machine_->ReadFile(Path("ro.lnk")), "old");
  }
  machine_->platform().files.SetAttributes(Path("ro.lnk").c_str(), kAttributeNormal);

  // A path beyond the 260 wide characters of the save is refused, not
  // saved under its first 259 characters.
  std::string longPath = Path(std::string(300, 'x') + ".lnk");
  EXPECT_FALSE(Succeeded(MakeLink(longPath, Path("PROG.EXE"))));
  std::uint32_t attributes = 0;
  EXPECT_NE(machine_->platform().files.GetAttributes(longPath.substr(0, 259).c_str(), attributes), kOk);
}

}  // namespace
}  // namespace qz::test
