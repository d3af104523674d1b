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
  EXPECT_EQ(Lf(LogBytes()),
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
  for (const char* file : {"C:\\APP\\a.txt", "C:\\APP\\ro.txt", "C:\\APP\\z.txt"}) WriteFile(file);
  machine_.files().SetAttributes("C:\\APP\\ro.txt", platform::kAttributeReadOnly);
  EXPECT_FALSE(removal_.RemoveTree("C:\\APP"));
  EXPECT_TRUE(Exists("C:\\APP\\ro.txt"));
  EXPECT_FALSE(Exists("C:\\APP\\z.txt"));
  EXPECT_EQ(Lf(LogBytes()),
            "Fájl törlés : C:\\APP\\a.txt...OK\n"
            "Fájl törlés : C:\\APP\\ro.txt...ERROR\n"
            "\n!!! LogError : code = 5, Message : Hozzáférés megtagadva.\r\n\n"
            "Fájl törlés : C:\\APP\\z.txt...OK\n"
            "Könyvtár törlés : C:\\APP...ERROR\n"
            "\n!!! LogError : code = 145, Message : Mappa nem üres.\r\n\n"
            "\n\n\n");
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

// Which folders are refused, OwnedPathsTest and the property test prove;
// here, how a refusal and a registration without "Home Dir" are logged.
TEST_F(RemovalTest, RefusedOrMissingHomeDirectoryIsLoggedAndNothingIsRemoved) {
  Register("APP", "C:\\");
  ASSERT_TRUE(removal_.GetDirs());
  EXPECT_FALSE(removal_.RemoveProgramFiles());
  Removal bare(context_, "BARE", progress_);
  EXPECT_FALSE(bare.GetDirs());
  EXPECT_FALSE(bare.RemoveProgramFiles());
  EXPECT_TRUE(list_.items().empty());
  std::string log = Lf(LogBytes());
  EXPECT_THAT(log, HasSubstr("Könyvtár törlés : C:\\...ERROR\n\n!!! LogError : code = 5, Message : Hozzáférés megtagadva.\r\n\n"
                             "Nem törölhető könyvtár : a(z) \"C:\\\" meghajtó gyökérkönyvtára\n"));
  EXPECT_THAT(log, HasSubstr("Nincs telepített verzió (\"Version\"): a telepítés félbemaradt, az eltávolítás folytatódik\n"));
  EXPECT_THAT(log, HasSubstr("Nincs telepítési könyvtár (\"Home Dir\"): a programfájlok törlése kimarad\n"));
}

// A link inside the tree (or the tree itself being one) goes as a link:
// what it points to stays.
TEST_F(RemovalTest, LinksAreRemovedNeverFollowed) {
  WriteFile("C:\\OUTSIDE\\Deep\\keep.dat");
  MakeLink("C:\\APP\\DATA", "C:\\OUTSIDE");
  MakeLink("C:\\APP\\file.lnk", "C:\\OUTSIDE\\Deep\\keep.dat");
  EXPECT_TRUE(removal_.RemoveTree("C:\\APP"));
  EXPECT_FALSE(Exists("C:\\APP"));
  Register("APP", "C:\\HOME");
  MakeLink("C:\\HOME", "C:\\OUTSIDE");
  ASSERT_TRUE(removal_.GetDirs());
  EXPECT_TRUE(removal_.RemoveProgramFiles());
  EXPECT_FALSE(std::filesystem::is_symlink(machine_.HostPath("C:\\HOME")));
  EXPECT_TRUE(Exists("C:\\OUTSIDE\\Deep\\keep.dat"));
  std::string log = Lf(LogBytes());
  EXPECT_THAT(log, HasSubstr("Könyvtár hivatkozás : C:\\APP\\DATA (csak a hivatkozás törlődik, amire mutat, az nem)\n"
                             "Könyvtár törlés : C:\\APP\\DATA...OK\n"));
  EXPECT_THAT(log, HasSubstr("Könyvtár törlés : C:\\HOME...OK\n"));
}

TEST_F(RemovalTest, TwoApplicationsAndTheMakersKeyThatGoesWithTheLast) {
  Register("First", "C:\\F");
  Register("Second", "C:\\S");
  std::string link = Desktop() + "\\First.lnk";
  WriteFile(link);
  registry_.SetValueString(kMaker + "\\First", "Link", link.c_str());
  // Any other file "Link" names stays (the property test varies which).
  WriteFile("C:\\windows\\system32\\kernel32.dll");
  registry_.SetValueString(kMaker + "\\Second", "Link", "C:\\windows\\system32\\kernel32.dll");
  EXPECT_TRUE(Removal(context_, "First", progress_).RemoveRegistration());
  EXPECT_FALSE(Exists(link)) << "the desktop link named under \"link\" is deleted";
  EXPECT_TRUE(registry_.IsValidKey(kMaker));
  EXPECT_FALSE(registry_.IsValidKey(kEntries + "\\First"));
  EXPECT_TRUE(Removal(context_, "Second", progress_).RemoveRegistration());
  EXPECT_FALSE(registry_.IsValidKey(kMaker));
  EXPECT_TRUE(registry_.IsValidKey(kEntries));
  EXPECT_TRUE(Exists("C:\\windows\\system32\\kernel32.dll"));
  // A registration that cannot be deleted keeps its uninstall entry.
  Register("APP", "C:\\APP");
  machine_.registry().DenyWrites(platform::RootKey::LocalMachine, "SOFTWARE\\Vormex kft\\APP");
  EXPECT_FALSE(removal_.RemoveRegistration());
  EXPECT_TRUE(registry_.IsValidKey(kEntries + "\\APP"));
  EXPECT_THAT(Lf(LogBytes()), HasSubstr("Parancsikon : a(z) \"C:\\windows\\system32\\kernel32.dll\" nem az asztalon lévő "
                                        "parancsikon, nem törlődik\n"));
}

}  // namespace
}  // namespace qz::test
