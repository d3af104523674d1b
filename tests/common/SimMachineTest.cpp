// The simulated machine's own promises: its layout, its registry file and
// how Windows paths reach the host folder.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "common/CodePage.h"
#include "platform/sim/SimMachine.h"
#include "tests/support/TempDir.h"

namespace qz::test {
namespace {

using namespace platform;

std::string ReadHost(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void SetString(RegistryStore& store, const char* subkey, const char* name, const char* text) {
  KeyHandle key;
  ASSERT_EQ(store.CreateKey(RootKey::LocalMachine, subkey, key), kOk);
  store.SetValue(key, name, ValueType::String, text, static_cast<std::uint32_t>(std::strlen(text) + 1));
  store.CloseKey(key);
}

std::string GetString(RegistryStore& store, const char* subkey, const char* name) {
  KeyHandle key;
  if (store.OpenKey(RootKey::LocalMachine, subkey, KeyAccess::Read, key) != kOk) return "<no key>";
  char data[256] = {};
  std::uint32_t size = sizeof data - 1;
  ErrorCode error = store.QueryValue(key, name, nullptr, data, size);
  store.CloseKey(key);
  return error ? "<no value>" : data;
}

TEST(SimMachineTest, RegistryFileIsRegedit4InWindows1250) {
  TempDir temp;
  {
    sim::SimMachine machine(temp.path() / "m");
    SetString(machine.registry(), "SOFTWARE\\Vormex kft\\Számla", "Home Dir", "C:\\\"Q\"");
    KeyHandle key;
    machine.registry().CreateKey(RootKey::LocalMachine, "SOFTWARE\\Vormex kft\\Számla", key);
    unsigned char dword[4] = {0x1e, 0, 0, 0};
    machine.registry().SetValue(key, "N", ValueType::DWord, dword, 4);
    machine.registry().SetValue(key, "B", ValueType::Binary, "\x01\x00\xff", 3);
    machine.registry().CloseKey(key);
  }
  std::string text = ReadHost(temp.path() / "m" / "registry.reg");
  EXPECT_EQ(text.substr(0, 10), "REGEDIT4\r\n");
  EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla]\r\n"
                      "\"Home Dir\"=\"C:\\\\\\\"Q\\\"\"\r\n"
                      "\"N\"=dword:0000001e\r\n"
                      "\"B\"=hex:01,00,ff\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]"),
            std::string::npos);
  // Read back by a new machine on the same folder.
  sim::SimMachine again(temp.path() / "m");
  EXPECT_EQ(GetString(again.registry(), "software\\VORMEX KFT\\számla", "home dir"), "C:\\\"Q\"");
  EXPECT_EQ(again.registry().ExportText(), text);
}

TEST(SimMachineTest, RegistrySurvivesAProgramKilledBetweenTwoChanges) {
  TempDir temp;
  std::filesystem::path root = temp.path() / "m";
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    sim::SimMachine machine(root);
    SetString(machine.registry(), "SOFTWARE\\Vormex kft\\App", "Home Dir", "C:\\APP");
    // Killed before the second change, with no chance to clean up.
    kill(getpid(), SIGKILL);
    SetString(machine.registry(), "SOFTWARE\\Vormex kft\\App", "Version", "1.0");
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  // A half-written temporary file from a crash is no registry either.
  std::ofstream(root / "registry.reg.tmp") << "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Bro";
  sim::SimMachine machine(root);
  EXPECT_EQ(GetString(machine.registry(), "SOFTWARE\\Vormex kft\\App", "Home Dir"), "C:\\APP");
  EXPECT_EQ(GetString(machine.registry(), "SOFTWARE\\Vormex kft\\App", "Version"), "<no value>");
  EXPECT_EQ(GetString(machine.registry(), "SOFTWARE\\Bro", "x"), "<no key>");
}

TEST(SimMachineTest, LayoutOfAWinePrefix) {
  TempDir temp;
  sim::SimMachine machine(temp.path() / "m", temp.path());
  std::string user = sim::SimMachine::UserName();
  EXPECT_TRUE(std::filesystem::is_directory(temp.path() / "m/drive_c/windows/system32"));
  EXPECT_TRUE(std::filesystem::is_directory(temp.path() / ("m/drive_c/users/" + user + "/Desktop")));
  EXPECT_TRUE(std::filesystem::is_directory(
      temp.path() / ("m/drive_c/users/" + user + "/AppData/Roaming/Microsoft/Windows/Start Menu/Programs")));
  // Further drives are made on first use.
  EXPECT_EQ(machine.files().MakeDirectory("D:\\APP"), kOk);
  EXPECT_TRUE(std::filesystem::is_directory(temp.path() / "m/drive_d/APP"));
}

TEST(SimMachineTest, PathsMatchWithoutRegardToCaseAndKeepTheirCase) {
  TempDir temp;
  sim::SimMachine machine(temp.path() / "m", temp.path());
  FileSystem& files = machine.files();
  ASSERT_EQ(files.MakeDirectory("C:\\Számla"), kOk);
  EXPECT_EQ(files.MakeDirectory("c:/SZÁMLA"), kErrorAlreadyExists) << "accented letters fold too; / separates";
  ASSERT_EQ(files.MakeDirectory("C:\\SZÁMLA\\Adat"), kOk);
  EXPECT_TRUE(std::filesystem::is_directory(temp.path() / "m/drive_c" / Utf8FromCp1250("Számla") / "Adat"))
      << "new names keep the case they were given, stored in UTF-8 on the host";
  EXPECT_EQ(files.MakeDirectory("C:\\számla\\.\\x\\..\\ADAT"), kErrorAlreadyExists);
  EXPECT_EQ(files.MakeDirectory("C:\\Számla\\Adat.  "), kErrorAlreadyExists) << "trailing dots and blanks drop";
  // Relative paths are relative to the working directory (the medium).
  std::ofstream(temp.path() / "SETUP.INI") << "x";
  std::uint32_t attributes;
  EXPECT_EQ(files.GetAttributes("setup.ini", attributes), kOk);
  EXPECT_EQ(files.CopyFileTo("Setup.Ini", "C:\\Számla\\setup.ini", true), kOk);
  EXPECT_EQ(files.GetAttributes((std::string("C:\\") + std::string(300, 'a')).c_str(), attributes),
            kErrorFilenameTooLong);
  EXPECT_EQ(files.GetAttributes("\\\\server\\share\\x", attributes), kErrorPathNotFound);
}

TEST(SimMachineTest, TestHooksForFilesInUseAndFullDrives) {
  TempDir temp;
  sim::SimMachine machine(temp.path() / "m", temp.path());
  FileSystem& files = machine.files();
  std::ofstream(temp.path() / "a.txt") << "data";
  machine.files().SetInUse("a.txt", true);
  EXPECT_EQ(files.CopyFileTo("a.txt", "C:\\a.txt", false), kErrorSharingViolation);
  ErrorCode error;
  EXPECT_FALSE(files.OpenForReading("A.TXT", kShareReadWrite, error));
  EXPECT_EQ(error, kErrorSharingViolation);
  machine.files().SetInUse("a.txt", false);
  machine.files().SetDriveFull('c', true);
  EXPECT_EQ(files.CopyFileTo("a.txt", "C:\\a.txt", false), kErrorDiskFull);
  EXPECT_EQ(files.MakeDirectory("C:\\new"), kErrorDiskFull);
  EXPECT_FALSE(std::filesystem::exists(temp.path() / "m/drive_c/a.txt")) << "a failed copy leaves no file";
  EXPECT_EQ(files.MakeDirectory("D:\\other"), kOk) << "only the full drive refuses";
}

TEST(SimMachineTest, ReadOnlyIsHonouredEvenForRoot) {
  TempDir temp;
  sim::SimMachine machine(temp.path() / "m", temp.path());
  FileSystem& files = machine.files();
  std::ofstream(temp.path() / "ro.txt") << "data";
  ASSERT_EQ(files.SetAttributes("ro.txt", kAttributeReadOnly), kOk);
  ErrorCode error;
  EXPECT_FALSE(files.OpenForAppending("ro.txt", kShareReadWrite, error));
  EXPECT_EQ(error, kErrorAccessDenied);
  EXPECT_EQ(files.RemoveFile("ro.txt"), kErrorAccessDenied);
}

}  // namespace
}  // namespace qz::test
