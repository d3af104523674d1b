// The one rule for paths from outside and the protected folders, on both
// machines: the forms a directory may take, the folders no application may
// be installed into or removed with, and how a folder resolves on disk
// (short names, links).

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/ProtectedFolders.h"
#include "common/Registry.h"
#include "common/SafePaths.h"
#include "tests/support/TestMachine.h"

namespace qz::test {
namespace {

using namespace platform;

struct FormCase {
  const char* path;
  PathFault fault;
};

// Directories must be full paths; items stay below their root; an
// application's name is one plain name.
TEST(OwnedPathsTest, PathsAndNamesAreAcceptedOrRefusedAsWritten) {
  const FormCase directories[] = {
      {"C:\\QZRAKTAR", PathFault::kNone},
      {"d:\\Apps\\QZ Raktár 2.1\\Adat", PathFault::kNone},
      {"C:\\a.b\\c..d\\ e", PathFault::kNone},
      {"", PathFault::kEmpty},
      {"..", PathFault::kNotFullyQualified},
      {"\\QZRAKTAR", PathFault::kNotFullyQualified},
      {"C:QZRAKTAR", PathFault::kNotFullyQualified},
      {"C:", PathFault::kNotFullyQualified},
      {"C:\\", PathFault::kDriveRoot},
      {"\\\\server\\share\\app", PathFault::kDeviceOrNetwork},
      {"\\\\?\\C:\\app", PathFault::kDeviceOrNetwork},
      {"//server/share", PathFault::kDeviceOrNetwork},
      {"C:/app", PathFault::kForwardSlash},
      {"C:\\a/../windows", PathFault::kForwardSlash},
      {"C:\\app\\", PathFault::kEmptyName},
      {"C:\\\\app", PathFault::kEmptyName},
      {"C:\\windows\\..\\app", PathFault::kDotName},
      {"C:\\windows\\.\\system32", PathFault::kDotName},
      {"C:\\windows\\...\\system32", PathFault::kDotName},
      {"C:\\windows\\.. \\system32", PathFault::kDotName},
      {"C:\\app.", PathFault::kTrailingDotOrBlank},
      {"C:\\app \\data", PathFault::kTrailingDotOrBlank},
      {"C:\\app\\a:stream", PathFault::kInvalidCharacter},
      {"C:\\app\\a\tb", PathFault::kInvalidCharacter},
      {"C:\\app\\NUL", PathFault::kReservedName},
      {"C:\\app\\con.txt", PathFault::kReservedName},
      {"C:\\app\\COM1 .log", PathFault::kReservedName},
      {"C:\\app\\LPT9", PathFault::kReservedName},
      {"C:\\app\\COM10", PathFault::kNone},
  };
  const FormCase items[] = {
      {"DATA", PathFault::kNone},
      {"DATA\\FORMS\\X.FRM", PathFault::kNone},
      {"..", PathFault::kDotName},
      {"x\\..\\..\\y", PathFault::kDotName},
      {"a/../../b", PathFault::kForwardSlash},
      {"\\x", PathFault::kNotRelative},
      {"C:\\windows\\X.DLL", PathFault::kNotRelative},
      {"ab:c", PathFault::kInvalidCharacter},
      {"\\\\server\\x", PathFault::kDeviceOrNetwork},
  };
  // Below a shell folder, which may be redirected to a share.
  const FormCase folders[] = {
      {"C:\\QZRAKTAR", PathFault::kNone},
      {"\\\\server\\share\\Start Menu\\QZ", PathFault::kNone},
      {"\\\\10.0.0.5\\users$\\bob", PathFault::kNone},
      {"\\\\server\\share", PathFault::kDriveRoot},
      {"\\\\server\\share\\", PathFault::kDriveRoot},
      {"\\\\server", PathFault::kDeviceOrNetwork},
      {"\\\\?\\C:\\app", PathFault::kDeviceOrNetwork},
      {"\\\\.\\pipe\\x", PathFault::kDeviceOrNetwork},
      {"\\\\?\\UNC\\server\\share\\x", PathFault::kDeviceOrNetwork},
      {"\\\\server\\share\\..\\x", PathFault::kDotName},
      {"\\\\server\\share/x", PathFault::kForwardSlash},
  };
  for (const FormCase& c : directories) EXPECT_EQ(CheckDirectoryPath(c.path), c.fault) << c.path;
  for (const FormCase& c : folders) EXPECT_EQ(CheckFolderPath(c.path), c.fault) << c.path;
  for (const FormCase& c : items) EXPECT_EQ(CheckItemPath(c.path), c.fault) << c.path;
  EXPECT_EQ(CheckDirectoryPath("C:\\" + std::string(256, 'x')), PathFault::kNone);
  EXPECT_EQ(CheckDirectoryPath("C:\\" + std::string(257, 'x')), PathFault::kTooLong);
  for (const char* good : {"QZ Raktár", "Számla Pro 2", "a", " lead"}) EXPECT_TRUE(IsValidAppName(good)) << good;
  // More refused names: SetupScriptTest, through the setup script.
  for (const char* bad : {"", ".", "..", "x ", "a:b", "a|b", "a\\b", "CON"}) EXPECT_FALSE(IsValidAppName(bad)) << bad;
  EXPECT_TRUE(IsValidAppName(std::string(255, 'n')));
  EXPECT_FALSE(IsValidAppName(std::string(256, 'n')));
}

// Deletes a value the test put among the machine's own.
void DeleteValueOf(RegistryStore& registry, const std::string& key, const char* name) {
  KeyHandle handle = 0;
  if (registry.OpenKey(RootKey::CurrentUser, key.c_str(), KeyAccess::All, handle) != kOk) return;
  registry.DeleteValue(handle, name);
  registry.CloseKey(handle);
}

class ProtectedFoldersTest : public ::testing::Test {
 protected:
  ProtectedFoldersTest() {
    Registry registry(machine_->platform().registry);
    PathText desktop;
    registry.GetValueString(kShellFolders, "Desktop", desktop);
    profile_ = std::string(desktop.view().substr(0, desktop.view().rfind('\\')));
  }
  bool Allows(const std::string& directory) {
    ProtectedFolders folders(machine_->platform().files, machine_->platform().registry);
    LogText reason;
    bool allowed = folders.Allows(directory, reason);
    reasons_ += directory + ": " + reason.c_str() + "\n";
    return allowed;
  }

  static constexpr const char* kShellFolders =
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  std::unique_ptr<TestMachine> machine_ = TestMachine::Create();
  std::string profile_;
  std::string reasons_;
};

TEST_F(ProtectedFoldersTest, SystemAndUserFoldersAndWhatHoldsThemAreRefused) {
  ASSERT_EQ(profile_.rfind("C:\\users\\", 0), 0u) << profile_;
  for (std::string refused :
       {std::string("C:\\windows"), std::string("c:\\WINDOWS\\System32"), std::string("C:\\windows\\Vormex"),
        std::string("C:\\Program Files"), std::string("C:\\Program Files (x86)"), std::string("C:\\ProgramData"),
        std::string("C:\\users"), profile_, profile_ + "\\Documents", profile_ + "\\AppData",
        profile_ + "\\AppData\\Roaming", profile_ + "\\Desktop",
        profile_ + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs", std::string("C:\\users\\Public")}) {
    EXPECT_FALSE(Allows(refused)) << refused;
  }
  for (std::string allowed : {std::string("C:\\QZRAKTAR"), std::string("C:\\Program Files\\QZ Raktár"),
                              profile_ + "\\Documents\\QZ", std::string("C:\\windows\\QZ"), std::string("D:\\APP")}) {
    EXPECT_TRUE(Allows(allowed)) << allowed << "\n" << reasons_;
  }
  EXPECT_NE(reasons_.find("C:\\Program Files: a(z) C:\\Program Files védett mappa"), std::string::npos) << reasons_;
  EXPECT_NE(reasons_.find("C:\\users: a(z) C:\\users a védett "), std::string::npos) << reasons_;
}

TEST_F(ProtectedFoldersTest, AShortNameOrALinkCannotSmuggleAProtectedFolderThrough) {
  std::string shortName = machine_->ShortPath("C:\\Program Files");
  ASSERT_NE(shortName, "C:\\Program Files");
  EXPECT_FALSE(Allows(shortName)) << shortName;
  EXPECT_NE(reasons_.find("a lemezen ide mutat: a(z) C:\\Program Files védett mappa"), std::string::npos) << reasons_;

  std::string link = machine_->scratchDir() + "\\home";
  ASSERT_TRUE(machine_->MakeLink(link, "C:\\windows", true));
  EXPECT_FALSE(Allows(link)) << "a link to the Windows directory";
  EXPECT_TRUE(Allows(link + "\\newdir\\deeper")) << "below the Windows directory, as C:\\windows\\newdir would be";
  ASSERT_TRUE(machine_->MakeLink(machine_->scratchDir() + "\\root", "C:\\", true));
  EXPECT_FALSE(Allows(machine_->scratchDir() + "\\root")) << "a link to a drive's root";
  EXPECT_NE(reasons_.find("a lemezen ide mutat: a(z) \"C:\\\" meghajtó gyökérkönyvtára"), std::string::npos) << reasons_;
  std::string inside = machine_->scratchDir() + "\\own";
  ASSERT_EQ(machine_->platform().files.MakeDirectory(inside.c_str()), kOk);
  ASSERT_TRUE(machine_->MakeLink(machine_->scratchDir() + "\\alias", inside, true));
  EXPECT_TRUE(Allows(machine_->scratchDir() + "\\alias")) << reasons_;
}

// A shell folder whose path has letters Windows-1250 lacks (a profile
// named in Cyrillic) stays protected in its '?' form: what holds it is
// refused.
TEST_F(ProtectedFoldersTest, AFolderWithForeignLettersStaysProtected) {
  const std::string key = std::string(kShellFolders).substr(std::strlen("HKEY_CURRENT_USER\\"));
  std::string folder = machine_->SetForeignString(key, "QZ conformance", machine_->scratchDir());
  bool allowed = Allows(machine_->scratchDir());
  DeleteValueOf(machine_->platform().registry, key, "QZ conformance");
  EXPECT_FALSE(allowed);
  EXPECT_NE(reasons_.find("a védett " + folder + " mappát tartalmazza"), std::string::npos) << reasons_;
}

// A host symbolic link as the machine reports it and removes it. Windows
// lists a directory link as a reparse point and removes the link alone;
// the simulation follows Windows. Wine lists it the same way but cannot
// remove it (145, "not empty"), and deletes a file link's target instead
// of the link: both recorded here.
TEST_F(ProtectedFoldersTest, LinksAreListedAsReparsePointsAndRemovedThemselves) {
  FileSystem& files = machine_->platform().files;
  std::string dir = machine_->scratchDir();
  ASSERT_EQ(files.MakeDirectory((dir + "\\target").c_str()), kOk);
  machine_->WriteFile(dir + "\\target\\keep.txt", "kept");
  machine_->WriteFile(dir + "\\file.txt", "kept too");
  ASSERT_TRUE(machine_->MakeLink(dir + "\\dirlink", dir + "\\target", true));
  ASSERT_TRUE(machine_->MakeLink(dir + "\\filelink", dir + "\\file.txt", false));

  ErrorCode error;
  auto search = files.FindFiles((dir + "\\dirlink").c_str(), error);
  FindEntry entry;
  ASSERT_TRUE(search && search->Next(entry));
  EXPECT_TRUE(entry.IsDirectory());
  EXPECT_TRUE(entry.IsLink());
  search.reset();

  bool wine = machine_->IsWin32();
  EXPECT_EQ(files.RemoveDir((dir + "\\dirlink").c_str()), wine ? kErrorDirNotEmpty : kOk) << "Wine departs from Windows";
  EXPECT_EQ(machine_->ReadFile(dir + "\\target\\keep.txt"), "kept");
  EXPECT_EQ(files.RemoveFile((dir + "\\filelink").c_str()), kOk);
  EXPECT_EQ(machine_->ReadFile(dir + "\\file.txt"), wine ? "<missing>" : "kept too") << "Wine deletes a file link's target";
}

}  // namespace
}  // namespace qz::test
