// The simulated machine's own promises: its layout, its registry file, how
// Windows paths reach the host folder, and its test hooks.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/SimFixture.h"
#include "text/CodePage.h"

namespace qz::test {
namespace {

using namespace platform;
namespace fs = std::filesystem;

constexpr const char* kApp = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\App";

std::string Get(sim::SimMachine& machine, const char* key, const char* name) {
  NameText value;
  return Registry(machine.registry()).GetValueString(key, name, value) ? value.c_str() : "<none>";
}

TEST(SimMachineRegistryTest, RegistrySurvivesAProgramKilledBetweenTwoChanges) {
  TempDir temp;
  fs::path root = temp.path() / "m";
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    sim::SimMachine machine(root);
    Registry(machine.registry()).SetValueString(kApp, "Home Dir", "C:\\APP");
    // Killed before the second change, with no chance to clean up.
    kill(getpid(), SIGKILL);
    Registry(machine.registry()).SetValueString(kApp, "Version", "1.0");
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  // A half-written temporary file from a crash is no registry either.
  std::ofstream(root / "registry.reg.tmp") << "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Bro";
  sim::SimMachine machine(root);
  EXPECT_EQ(Get(machine, kApp, "Home Dir"), "C:\\APP");
  EXPECT_EQ(Get(machine, kApp, "Version"), "<none>");
  EXPECT_FALSE(Registry(machine.registry()).IsValidKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Bro"));
}

class SimMachineTest : public SimFixture {
 protected:
  fs::path Host(const char* path) { return machine_.HostPath(path); }
  FileSystem& files_ = machine_.files();
};

TEST_F(SimMachineTest, RegistryFileIsRegedit4InWindows1250) {
  registry_.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla", "Home Dir", "C:\\\"Q\"");
  registry_.SetValueDWord("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla", "N", 0x1e);
  registry_.SetValueBinary("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla", "B", "\x01\x00\xff", 3);
  std::string text = HostText(temp_.path() / "machine" / "registry.reg");
  EXPECT_EQ(text.substr(0, 10), "REGEDIT4\r\n");
  EXPECT_THAT(text, HasSubstr("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla]\r\n"
                              "\"Home Dir\"=\"C:\\\\\\\"Q\\\"\"\r\n"
                              "\"N\"=dword:0000001e\r\n"
                              "\"B\"=hex:01,00,ff\r\n"));
  // Read back by a new machine on the same folder.
  sim::SimMachine again(temp_.path() / "machine");
  EXPECT_EQ(Get(again, "HKEY_LOCAL_MACHINE\\software\\VORMEX KFT\\számla", "home dir"), "C:\\\"Q\"");
  EXPECT_EQ(again.registry().ExportText(), text);
}

TEST_F(SimMachineTest, PathsMatchWithoutRegardToCaseAndKeepTheirCase) {
  ASSERT_EQ(files_.MakeDirectory("C:\\Számla"), kOk);
  EXPECT_EQ(files_.MakeDirectory("c:/SZÁMLA"), kErrorAlreadyExists) << "accented letters fold too; / separates";
  ASSERT_EQ(files_.MakeDirectory("C:\\SZÁMLA\\Adat"), kOk);
  EXPECT_TRUE(fs::is_directory(temp_.path() / "machine/drive_c" / Utf8FromCp1250("Számla") / "Adat"))
      << "new names keep the case they were given, stored in UTF-8 on the host";
  EXPECT_EQ(files_.MakeDirectory("C:\\számla\\.\\x\\..\\ADAT"), kErrorAlreadyExists);
  EXPECT_EQ(files_.MakeDirectory("C:\\Számla\\Adat.  "), kErrorAlreadyExists) << "trailing dots and blanks drop";
  // Relative paths are relative to the working directory (the medium).
  WriteMedium("SETUP.INI", "x");
  EXPECT_EQ(files_.CopyFileTo("Setup.Ini", "C:\\Számla\\setup.ini", true), kOk);
  std::uint32_t attributes;
  EXPECT_EQ(files_.GetAttributes(("C:\\" + std::string(300, 'a')).c_str(), attributes), kErrorFilenameTooLong);
  // Further drives are made on first use.
  EXPECT_EQ(files_.MakeDirectory("D:\\APP"), kOk);
  EXPECT_TRUE(fs::is_directory(temp_.path() / "machine/drive_d/APP"));
}

// Network shares a test made: reached as "\\server\share", and through a
// drive mapped to them, whose files resolve to the share as on Windows.
TEST_F(SimMachineTest, SharesAndMappedDrives) {
  std::uint32_t attributes;
  EXPECT_EQ(files_.GetAttributes("\\\\server\\share\\x", attributes), kErrorBadNetPath);
  EXPECT_EQ(files_.GetAttributes("\\\\?\\C:\\windows", attributes), kErrorPathNotFound);
  machine_.MapNetworkDrive('Z', "Server", "Home");
  ASSERT_EQ(files_.MakeDirectory("Z:\\Számla"), kOk);
  EXPECT_EQ(files_.MakeDirectory("\\\\SERVER\\home\\számla"), kErrorAlreadyExists) << "one folder, either name";
  EXPECT_EQ(files_.MakeDirectory("\\\\server\\home\\..\\..\\Számla"), kErrorAlreadyExists)
      << "\"..\" stops at the share";
  PathText finalPath;
  ASSERT_EQ(files_.FinalPath("z:\\SZÁMLA", finalPath), kOk);
  EXPECT_EQ(finalPath.view(), "\\\\?\\UNC\\server\\home\\Számla");
  ASSERT_EQ(files_.FinalPath("C:\\windows", finalPath), kOk);
  EXPECT_EQ(finalPath.view(), "C:\\windows");
}

// Listings are kept for names that differ in case: whatever changes on the
// host must show at once.
TEST_F(SimMachineTest, HostChangesShowAtOnce) {
  files_.MakeDirectory("C:\\D");
  EXPECT_FALSE(Exists("C:\\D\\new.txt"));  // a missing name lists the directory
  std::ofstream(Host("C:\\D") / "New.TXT") << "x";
  EXPECT_EQ(Host("C:\\D\\NEW.txt").filename(), "New.TXT");
  fs::rename(Host("C:\\D") / "New.TXT", Host("C:\\D") / "Other.txt");
  EXPECT_FALSE(Exists("C:\\D\\new.txt"));
  EXPECT_TRUE(Exists("C:\\D\\OTHER.TXT"));
  std::ofstream(Host("C:\\D") / "a.txt") << "lower";
  std::ofstream(Host("C:\\D") / "A.TXT") << "upper";
  EXPECT_EQ(Host("C:\\D\\A.TXT").filename(), "A.TXT") << "the exact name first";

  // A listed directory that moves, or whose parent moves, is forgotten.
  ASSERT_EQ(files_.MakeDirectory("C:\\D\\SUB"), kOk);
  EXPECT_FALSE(Exists("C:\\D\\SUB\\x.txt"));
  fs::rename(Host("C:\\D\\SUB"), Host("C:\\D") / "MOVED");
  EXPECT_EQ(files_.MakeDirectory("C:\\D\\SUB\\y"), kErrorPathNotFound);
  fs::create_directories(Host("C:\\D") / "SUB");
  std::ofstream(Host("C:\\D\\SUB") / "X.TXT") << "x";
  EXPECT_TRUE(Exists("C:\\D\\SUB\\x.txt"));
  EXPECT_FALSE(Exists("C:\\D\\SUB\\z.txt"));
  fs::rename(Host("C:\\D"), Host("C:\\") / "E");  // the directory above a listed one
  EXPECT_EQ(files_.MakeDirectory("C:\\D\\SUB\\w"), kErrorPathNotFound);
  EXPECT_TRUE(Exists("C:\\e\\sub\\X.TXT"));

  // More directories than are listed at a time, visited twice over.
  for (int round = 0; round < 2; ++round) {
    for (int d = 0; d < 40; ++d) {
      std::string dir = "C:\\E\\DIR" + std::to_string(d), name = "\\FILE" + std::to_string(round) + ".TXT";
      files_.MakeDirectory(dir.c_str());
      EXPECT_FALSE(Exists(dir + name)) << dir + name;
      std::ofstream(Host(dir.c_str()).string() + "/file" + std::to_string(round) + ".txt") << "x";
      EXPECT_TRUE(Exists(dir + name)) << dir + name;
    }
  }
}

// (Copies, directories and removals under the hooks: the steps' tests; a
// read-only file refused even to root: the conformance suite.)
TEST_F(SimMachineTest, TestHooksAndReadOnlyFilesEvenForRoot) {
  WriteMedium("a.txt", "data");
  machine_.files().SetInUse("a.txt", true);
  ErrorCode error;
  EXPECT_FALSE(files_.OpenForReading("A.TXT", kShareReadWrite, error));
  EXPECT_EQ(error, kErrorSharingViolation);
  machine_.files().SetInUse("a.txt", false);
  machine_.files().SetDriveFull('c', true);
  EXPECT_EQ(files_.CopyFileTo("a.txt", "C:\\a.txt", false), kErrorDiskFull);
  EXPECT_FALSE(fs::exists(Host("C:\\a.txt"))) << "a failed copy leaves no file";
  EXPECT_EQ(files_.MakeDirectory("D:\\other"), kOk) << "only the full drive refuses";
  machine_.files().SetDriveFull('c', false);
  ASSERT_EQ(files_.SetAttributes("a.txt", kAttributeReadOnly), kOk);
  EXPECT_FALSE(files_.OpenForAppending("a.txt", kShareReadWrite, error));
  EXPECT_EQ(error, kErrorAccessDenied);
}

}  // namespace
}  // namespace qz::test
