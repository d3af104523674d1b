#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/sim/SimList.h"
#include "platform/sim/SimMachine.h"
#include "tests/support/TempDir.h"
#include "uninst/UninstallApp.h"
#include "uninst/UninstallDialog.h"

namespace qz::test {
namespace {

using Lines = std::vector<std::string>;

class RemovalTest : public ::testing::Test {
 protected:
  RemovalTest() : machine_(temp_.path() / "machine", temp_.path()) {
    NameText message;
    log_.Open("C:\\windows\\Vormex", message);
    registry_.AttachLog(&log_);
  }

  void Register(const char* app, const char* homeDir) {
    registry_.AttachLog(nullptr);
    std::string key = std::string("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\") + app;
    registry_.SetValueString(key, "Home Dir", homeDir);
    registry_.SetValueString(key, "Version", "1.0");
    std::string uninstall = std::string("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + app;
    registry_.SetValueString(uninstall, "DisplayName", app);
    registry_.AttachLog(&log_);
  }

  void File(const std::string& path, const std::string& bytes = "x") {
    std::filesystem::path host = machine_.HostPath(path.c_str());
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << bytes;
  }

  std::string LogText() {
    log_.Close();
    std::ifstream in(machine_.HostPath("C:\\windows\\Vormex\\qzlog.txt"), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string bytes = text.str();
    // CR LF back to LF, for readable expectations.
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
      out += bytes[i];
    }
    return out;
  }

  bool Exists(const char* path) { return std::filesystem::exists(machine_.HostPath(path)); }

  TempDir temp_;
  platform::sim::SimMachine machine_;
  LogFile log_{machine_.files()};
  Registry registry_{machine_.registry()};
  UninstallContext context_{machine_.platform(), log_, registry_};
  platform::sim::SimList list_;
  ProgressList progress_{list_};
};

TEST_F(RemovalTest, TreeGoesDepthFirstWithTheDirectoryLast) {
  File("C:\\APP\\b.exe");
  File("C:\\APP\\A\\x.dat");
  File("C:\\APP\\A\\Deep\\y.dat");
  File("C:\\APP\\c.txt");
  UninstallDialog dialog(context_, "APP");
  EXPECT_TRUE(dialog.RemoveTree("C:\\APP", progress_));
  EXPECT_FALSE(Exists("C:\\APP"));
  EXPECT_EQ(list_.items(), (Lines{"     Törlés : C:\\APP\\A\\Deep\\y.dat", "   Törlés : C:\\APP\\A\\Deep",
                                  "     Törlés : C:\\APP\\A\\x.dat", "   Törlés : C:\\APP\\A",
                                  "     Törlés : C:\\APP\\b.exe", "     Törlés : C:\\APP\\c.txt", "   Törlés : C:\\APP"}));
  EXPECT_EQ(LogText(),
            "Fájl törlés : C:\\APP\\A\\Deep\\y.dat...OK\n"
            "Könyvtár törlés : C:\\APP\\A\\Deep...OK\n"
            "Fájl törlés : C:\\APP\\A\\x.dat...OK\n"
            "Könyvtár törlés : C:\\APP\\A...OK\n"
            "Fájl törlés : C:\\APP\\b.exe...OK\n"
            "Fájl törlés : C:\\APP\\c.txt...OK\n"
            "Könyvtár törlés : C:\\APP...OK\n"
            "\n\n\n");
}

TEST_F(RemovalTest, ReadOnlyFileStaysWhileEveryOtherFileGoes) {
  File("C:\\APP\\a.txt");
  File("C:\\APP\\ro.txt");
  File("C:\\APP\\z.txt");
  machine_.files().SetAttributes("C:\\APP\\ro.txt", platform::kAttributeReadOnly);
  UninstallDialog dialog(context_, "APP");
  EXPECT_FALSE(dialog.RemoveTree("C:\\APP", progress_));
  EXPECT_TRUE(Exists("C:\\APP\\ro.txt"));
  EXPECT_FALSE(Exists("C:\\APP\\a.txt"));
  EXPECT_FALSE(Exists("C:\\APP\\z.txt"));
  EXPECT_EQ(LogText(),
            "Fájl törlés : C:\\APP\\a.txt...OK\n"
            "Fájl törlés : C:\\APP\\ro.txt...ERROR\n"
            "\n!!! LogError : code = 5, Message : Hozzáférés megtagadva.\r\n\n"
            "Fájl törlés : C:\\APP\\z.txt...OK\n"
            "Könyvtár törlés : C:\\APP...ERROR\n"
            "\n!!! LogError : code = 145, Message : Mappa nem üres.\r\n\n"
            "\n\n\n");
}

TEST_F(RemovalTest, SubdirectoryThatCannotBeRemovedStopsItsParentsWalk) {
  File("C:\\APP\\A\\locked.dat");
  File("C:\\APP\\B\\later.dat");
  machine_.files().SetInUse("C:\\APP\\A\\locked.dat", true);
  UninstallDialog dialog(context_, "APP");
  EXPECT_FALSE(dialog.RemoveTree("C:\\APP", progress_));
  EXPECT_TRUE(Exists("C:\\APP\\B\\later.dat")) << "entries the search had not reached stay";
  EXPECT_EQ(list_.items(), (Lines{"     Törlés : C:\\APP\\A\\locked.dat", "   Törlés : C:\\APP\\A"}));
}

TEST_F(RemovalTest, EmptyAndMissingHomeDirectories) {
  machine_.files().MakeDirectory("C:\\EMPTY");
  UninstallDialog dialog(context_, "APP");
  EXPECT_TRUE(dialog.RemoveTree("C:\\EMPTY", progress_));
  EXPECT_FALSE(dialog.RemoveTree("C:\\MISSING", progress_));
  EXPECT_EQ(list_.items(), (Lines{"   Törlés : C:\\EMPTY"}));
  EXPECT_EQ(LogText(), "Könyvtár törlés : C:\\EMPTY...OK\n\n\n\n");
}

TEST_F(RemovalTest, HomeDirectoryThatHoldsTheSystemIsNeverRemoved) {
  std::string programs = "C:\\users\\" + platform::sim::SimMachine::UserName() +
                         "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
  File("C:\\windows\\keep.ini");
  for (std::string home : {std::string("C:\\"), std::string("C:"), std::string("c:\\Windows"),
                           std::string("C:\\windows\\system32\\"), std::string("C:\\windows\\Vormex"),
                           std::string("C:\\users"), programs, std::string("C:\\APP\\..")}) {
    Register("APP", home.c_str());
    UninstallDialog dialog(context_, "APP");
    ASSERT_TRUE(dialog.GetDirs());
    EXPECT_FALSE(dialog.RemoveProgramFiles(progress_)) << home;
  }
  EXPECT_TRUE(Exists("C:\\windows\\keep.ini"));
  EXPECT_TRUE(list_.items().empty());
  std::string log = LogText();
  EXPECT_NE(log.find("Könyvtár törlés : C:\\...ERROR\n\n!!! LogError : code = 5, Message : Hozzáférés megtagadva."),
            std::string::npos);
  EXPECT_EQ(log.find("OK\nKönyvtár"), std::string::npos);
}

TEST_F(RemovalTest, GetDirsNeedsVersionAndHomeDir) {
  UninstallDialog missing(context_, "APP");
  EXPECT_FALSE(missing.GetDirs());
  registry_.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\APP", "Version", "1.0");
  EXPECT_FALSE(missing.GetDirs());
  Register("APP", "D:\\APP");
  UninstallDialog dialog(context_, "APP");
  EXPECT_TRUE(dialog.GetDirs());
  EXPECT_EQ(dialog.homeDir(), "D:\\APP");
}

TEST_F(RemovalTest, MakersKeyGoesWithTheLastApplication) {
  Register("First", "C:\\F");
  Register("Second", "C:\\S");
  File("C:\\users\\x\\link.lnk");
  registry_.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\First", "Link", "C:\\users\\x\\link.lnk");
  UninstallDialog first(context_, "First");
  EXPECT_TRUE(first.RemoveRegistration());
  EXPECT_FALSE(Exists("C:\\users\\x\\link.lnk")) << "the desktop link named under \"link\" is deleted";
  EXPECT_TRUE(registry_.IsValidKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft"));
  EXPECT_FALSE(registry_.IsValidKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\First"));
  UninstallDialog second(context_, "Second");
  EXPECT_TRUE(second.RemoveRegistration());
  EXPECT_FALSE(registry_.IsValidKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft"));
  EXPECT_TRUE(registry_.IsValidKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

TEST_F(RemovalTest, RegistrationThatCannotBeDeletedKeepsTheUninstallEntry) {
  Register("APP", "C:\\APP");
  machine_.registry().DenyWrites(platform::RootKey::LocalMachine, "SOFTWARE\\Vormex kft\\APP");
  UninstallDialog dialog(context_, "APP");
  EXPECT_FALSE(dialog.RemoveRegistration());
  EXPECT_TRUE(registry_.IsValidKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\APP"));
}

TEST_F(RemovalTest, ProgramGroupWithMoreThanTheShortcuts) {
  std::string group = "C:\\users\\" + platform::sim::SimMachine::UserName() +
                      "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Számla";
  File(group + "\\Számla.lnk");
  File(group + "\\notes.txt");
  File(group + "\\Sub\\more.lnk");
  UninstallDialog dialog(context_, "Számla");
  EXPECT_TRUE(dialog.RemoveShortcuts(progress_));
  EXPECT_FALSE(Exists(group.c_str()));
}

TEST(ApplicationNameTest, FirstPlainArgumentIfItIsSafe) {
  EXPECT_EQ(ApplicationNameFrom({"/S", "-x", "Számla Pro", "other"}), "Számla Pro");
  EXPECT_EQ(ApplicationNameFrom({}), "");
  EXPECT_EQ(ApplicationNameFrom({"-only"}), "");
  for (const char* unsafe : {"", ".", "..", "..\\..\\windows", "a/b", "Start\\x"}) {
    EXPECT_EQ(ApplicationNameFrom({unsafe}), "") << unsafe;
  }
  EXPECT_EQ(ApplicationNameFrom({std::string(255, 'n')}), std::string(255, 'n'));
  EXPECT_EQ(ApplicationNameFrom({std::string(256, 'n')}), "");
}

}  // namespace
}  // namespace qz::test
