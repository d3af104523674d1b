// The removal's steps, driven without a dialog.

#include "platform/sim/SimList.h"
#include "tests/uninst/UninstallFixture.h"
#include "uninst/Removal.h"

namespace qz::test {
namespace {

using Lines = std::vector<std::string>;

class RemovalTest : public UninstallFixture {
 protected:
  RemovalTest() { OpenLog(); }

  UninstallContext context_{machine_.platform(), log_, registry_};
  platform::sim::SimList list_;
  ProgressList progress_{list_};
  Removal removal_{context_, "APP", progress_};
};

TEST_F(RemovalTest, TreeGoesDepthFirstWithTheDirectoryLast) {
  for (const char* file : {"C:\\APP\\b.exe", "C:\\APP\\A\\x.dat", "C:\\APP\\A\\Deep\\y.dat", "C:\\APP\\c.txt"}) {
    WriteFile(file);
  }
  EXPECT_TRUE(removal_.RemoveTree("C:\\APP"));
  EXPECT_FALSE(Exists("C:\\APP"));
  EXPECT_EQ(list_.items(), (Lines{"     Törlés : C:\\APP\\A\\Deep\\y.dat", "   Törlés : C:\\APP\\A\\Deep",
                                  "     Törlés : C:\\APP\\A\\x.dat", "   Törlés : C:\\APP\\A",
                                  "     Törlés : C:\\APP\\b.exe", "     Törlés : C:\\APP\\c.txt", "   Törlés : C:\\APP"}));
}

TEST_F(RemovalTest, SubdirectoryThatCannotBeRemovedStopsItsParentsWalk) {
  WriteFile("C:\\APP\\A\\locked.dat");
  WriteFile("C:\\APP\\B\\later.dat");
  machine_.files().SetInUse("C:\\APP\\A\\locked.dat", true);
  EXPECT_FALSE(removal_.RemoveTree("C:\\APP"));
  EXPECT_TRUE(Exists("C:\\APP\\B\\later.dat")) << "entries the search had not reached stay";
  EXPECT_EQ(list_.items(), (Lines{"     Törlés : C:\\APP\\A\\locked.dat", "   Törlés : C:\\APP\\A"}));
}

TEST_F(RemovalTest, EmptyAndMissingHomeDirectories) {
  MakeDirs("C:\\EMPTY");
  EXPECT_TRUE(removal_.RemoveTree("C:\\EMPTY"));
  EXPECT_FALSE(removal_.RemoveTree("C:\\MISSING"));
  EXPECT_EQ(list_.items(), (Lines{"   Törlés : C:\\EMPTY"}));
  EXPECT_EQ(Lf(LogBytes()), "Könyvtár törlés : C:\\EMPTY...OK\n\n\n\n");
}

// A registration without "Version" is a half-made installation, removed
// all the same; one without "Home Dir" leaves the program files alone.
TEST_F(RemovalTest, MissingVersionOrHomeDirectoryIsLogged) {
  EXPECT_FALSE(removal_.GetDirs());
  EXPECT_FALSE(removal_.RemoveProgramFiles());
  EXPECT_TRUE(list_.items().empty());
  std::string log = Lf(LogBytes());
  EXPECT_THAT(log, HasSubstr("Nincs telepített verzió (\"Version\"): a telepítés félbemaradt, az eltávolítás folytatódik\n"));
  EXPECT_THAT(log, HasSubstr("Nincs telepítési könyvtár (\"Home Dir\"): a programfájlok törlése kimarad\n"));
}

// A registration that cannot be deleted keeps its uninstall entry, so the
// application stays listed for another try.
TEST_F(RemovalTest, UndeletableRegistrationKeepsItsUninstallEntry) {
  Register("APP", "C:\\APP");
  machine_.registry().DenyWrites(platform::RootKey::LocalMachine, "SOFTWARE\\Vormex kft\\APP");
  EXPECT_FALSE(removal_.RemoveRegistration());
  EXPECT_TRUE(registry_.IsValidKey(kEntries + "\\APP"));
}

}  // namespace
}  // namespace qz::test
