// Folders on the network, as companies and schools set them up: the user's
// Programs and Desktop folders redirected to a share, and a home directory
// on a mapped drive (whose files resolve to "\\?\UNC\server\share\..."). They
// are installed into and removed like local ones, while a redirected shell
// folder stays protected in its network form.

#include <filesystem>

#include "common/ProtectedFolders.h"
#include "platform/sim/DialogTemplate.h"
#include "setup/SimulatedSetup.h"
#include "tests/support/SimFixture.h"
#include "uninst/UnattendedUninstall.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQzuninstDialogs;
}

namespace qz::test {
namespace {

const std::string kApp = "QZ Raktár";
const std::string kShellFolders = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class NetworkFoldersTest : public SimFixture {
 protected:
  NetworkFoldersTest() {
    std::filesystem::copy(std::filesystem::path(QZ_SOURCE_DIR) / "samples/medium", medium_,
                          std::filesystem::copy_options::recursive);
    // The profile's folders on \\server\profiles, which Z: maps as well.
    machine_.MapNetworkDrive('Z', "server", "profiles");
    for (const auto& [name, folder] : {std::pair{"Programs", programs_}, {"Desktop", desktop_},
                                       {"Personal", documents_}}) {
      MakeDirs(folder);
      registry_.SetValueString(kShellFolders, name, folder.c_str());
    }
  }

  RunOutcome Install(const std::string& dir) {
    UnattendedOptions options;
    options.hasDir = true;
    options.dir = dir;
    return RunUnattended(machine_, options).outcome;
  }
  int Remove() { return RunUnattendedUninstall(machine_.platform(), {"/S", kApp}, templates::kQzuninstDialogs); }
  std::string Log() { return HostText(machine_.HostPath(kLogPath)); }

  std::string user_ = platform::sim::SimMachine::UserName();
  std::string profile_ = "\\\\server\\profiles\\" + user_;
  std::string programs_ = profile_ + "\\Start Menu\\Programs";
  std::string desktop_ = profile_ + "\\Desktop";
  std::string documents_ = profile_ + "\\Documents";
};

TEST_F(NetworkFoldersTest, GroupAndDesktopShortcutOnAShareAreMadeAndRemoved) {
  ASSERT_EQ(Install("C:\\QZRAKTAR"), RunOutcome::Finished) << Log();
  std::string link = desktop_ + "\\" + kApp + ".lnk";
  EXPECT_TRUE(Exists(programs_ + "\\" + kApp + "\\" + kApp + ".lnk"));
  EXPECT_TRUE(Exists(link));
  NameText value;
  ASSERT_TRUE(Registry(machine_.registry()).GetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\" + kApp, "Link",
                                                          value));
  EXPECT_EQ(value.view(), link);

  EXPECT_EQ(Remove(), 0) << Log();
  EXPECT_FALSE(Exists(programs_ + "\\" + kApp));
  EXPECT_FALSE(Exists(link));
  EXPECT_FALSE(Exists("C:\\QZRAKTAR"));
  EXPECT_TRUE(Exists(desktop_)) << "the redirected folder itself stays";
}

TEST_F(NetworkFoldersTest, HomeOnAMappedDriveIsInstalledAndRemoved) {
  PathText onDisk;
  ASSERT_EQ(machine_.files().FinalPath("Z:\\", onDisk), platform::kOk);
  ASSERT_EQ(onDisk.view(), "\\\\?\\UNC\\server\\profiles") << "a mapped drive resolves to its share";
  ASSERT_EQ(Install("Z:\\QZRAKTAR"), RunOutcome::Finished) << Log();
  EXPECT_TRUE(Exists("\\\\server\\profiles\\QZRAKTAR\\RAKTAR.EXE"));
  EXPECT_EQ(Remove(), 0) << Log();
  EXPECT_FALSE(Exists("Z:\\QZRAKTAR"));
}

// A shell folder redirected to a share is protected in that form: reached
// through a mapped drive it is refused as a home directory, by the setup
// and by the uninstaller alike. A share given as text is refused as any
// path that is not "X:\...".
TEST_F(NetworkFoldersTest, RedirectedFoldersAndSharePathsAreRefusedAsHome) {
  ProtectedFolders folders(machine_.files(), machine_.registry());
  LogText reason;
  for (const std::string& home : {"Z:\\" + user_ + "\\Desktop", "Z:\\" + user_ + "\\Documents", "Z:\\" + user_}) {
    EXPECT_FALSE(folders.Allows(home, reason)) << home;
    EXPECT_THAT(reason.c_str(), HasSubstr("a lemezen ide mutat")) << home;
  }
  EXPECT_FALSE(folders.Allows("\\\\server\\profiles\\QZ", reason));
  EXPECT_FALSE(folders.Allows(desktop_ + "\\QZ", reason, ProtectedFolders::Form::kDriveOrShare) &&
               folders.Allows(documents_, reason, ProtectedFolders::Form::kDriveOrShare))
      << "below a shell folder a share path is a form of its own, the folder itself stays protected";
  EXPECT_FALSE(folders.Allows("\\\\server\\profiles", reason, ProtectedFolders::Form::kDriveOrShare)) << "a share's root";

  EXPECT_EQ(Install("Z:\\" + user_ + "\\Documents"), RunOutcome::Left);
  EXPECT_EQ(Install("\\\\server\\profiles\\QZRAKTAR"), RunOutcome::Left);
  EXPECT_FALSE(Exists("\\\\server\\profiles\\QZRAKTAR"));

  std::string documentFile = documents_ + "\\keep.txt";
  WriteFile(documentFile, "the user's");
  ASSERT_EQ(Install("C:\\QZRAKTAR"), RunOutcome::Finished);
  Registry(machine_.registry())
      .SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\" + kApp, "Home Dir", ("Z:\\" + user_ + "\\Documents").c_str());
  EXPECT_EQ(Remove(), 1);
  EXPECT_EQ(ReadFile(documentFile), "the user's");
  EXPECT_THAT(Log(), HasSubstr("Nem törölhető könyvtár : "));
}

}  // namespace
}  // namespace qz::test
