// The backup of the installed program before an update.

#include "engine/Backup.h"
#include "tests/engine/StepFixture.h"

namespace qz::test {
namespace {

constexpr const char* kHeader = "\n\n---> Biztonsági másolat készítése\n";
const std::string kBackup = "C:\\windows\\Vormex\\MENTES.TMP";

class BackupTest : public StepFixture {
 protected:
  BackupTest() {
    settings_.installType = kInstallUpdate;
    // An installed tree with a read-only file and a database directory.
    MakeDirs("C:\\APP\\ADAT.DAT");
    WriteFile("C:\\APP\\PROG.EXE", "prog");
    WriteFile("C:\\APP\\CONFIG.INI", "config");
    WriteFile("C:\\APP\\ADAT.DAT\\T.DAT", "table");
    machine_.files().SetAttributes("C:\\APP\\CONFIG.INI", platform::kAttributeReadOnly);
  }
};

TEST_F(BackupTest, FirstUpdateCopiesTheTreeSecondEmptiesTheBackupFirst) {
  ASSERT_TRUE(MakeBackup(ctx_));
  EXPECT_EQ(ReadFile(kBackup + "\\ADAT.DAT\\T.DAT"), "table");
  EXPECT_FALSE(IsReadOnly(kBackup + "\\CONFIG.INI"));
  EXPECT_TRUE(IsReadOnly("C:\\APP\\CONFIG.INI")) << "the installed file stays as it was";
  TakeLog();

  // What the first left, a read-only file and a nested directory of its own.
  machine_.files().SetAttributes((kBackup + "\\PROG.EXE").c_str(), platform::kAttributeReadOnly);
  MakeDirs(kBackup + "\\OLD\\SUB");
  WriteFile(kBackup + "\\OLD\\SUB\\S.TXT", "s");
  std::filesystem::remove(machine_.HostPath("C:\\APP\\PROG.EXE"));
  ASSERT_TRUE(MakeBackup(ctx_));
  EXPECT_FALSE(Exists(kBackup + "\\OLD"));
  EXPECT_FALSE(Exists(kBackup + "\\PROG.EXE"));
  std::string log = TakeLog();
  EXPECT_EQ(log.substr(0, log.find("Könyvtár készítés")),
            std::string(kHeader) + "Fájl tötöl : " + kBackup + "\\ADAT.DAT\\T.DAT...OK\n" + "Dir tötöl : " + kBackup +
                "\\ADAT.DAT...OK\n" + "Fájl tötöl : " + kBackup + "\\CONFIG.INI...OK\n" + "Fájl tötöl : " + kBackup +
                "\\OLD\\SUB\\S.TXT...OK\n" + "Dir tötöl : " + kBackup + "\\OLD\\SUB...OK\n" + "Dir tötöl : " +
                kBackup + "\\OLD...OK\n" + "Fájl tötöl : " + kBackup + "\\PROG.EXE...OK\n");
  EXPECT_THAT(events(), IsEmpty());
}

TEST_F(BackupTest, HomeThatHoldsOrLiesInTheBackupIsRefusedBeforeAnythingChanges) {
  MakeDirs(kBackup + "\\KEEP");
  WriteFile(kBackup + "\\KEEP\\K.TXT", "keep");
  for (const char* home : {"C:\\windows", "c:/WINDOWS/vormex/", "C:\\", "C:", "", "C:\\APP\\..\\windows"}) {
    settings_.homeDir = home;
    EXPECT_FALSE(MakeBackup(ctx_)) << home;
    EXPECT_EQ(TakeLog(), std::string(kHeader) + "Biztonsági másolat : a(z) " + home + " könyvtár tartalmazza a(z) " +
                             kBackup + " mentési könyvtárat, a mentés önmagába másolna!\n");
  }
  settings_.homeDir = "C:\\windows\\Vormex\\mentes.tmp\\KEEP";
  EXPECT_FALSE(MakeBackup(ctx_));
  EXPECT_EQ(TakeLog(), std::string(kHeader) + "Biztonsági másolat : a(z) " + settings_.homeDir.c_str() +
                           " könyvtár a(z) " + kBackup + " mentési könyvtáron belül van, a mentés törölné!\n");
  EXPECT_EQ(ReadFile(kBackup + "\\KEEP\\K.TXT"), "keep");
  settings_.homeDir = "C:\\windows\\Vormex\\MENTES.TMP2";  // no relative, only alike
  MakeDirs(settings_.homeDir.c_str());
  EXPECT_TRUE(MakeBackup(ctx_));
  EXPECT_TRUE(std::filesystem::is_empty(machine_.HostPath(kBackup.c_str()))) << "an empty home, an empty backup";
}

// The backup holds what the update passes through the engine: a linked data
// directory is copied by reading through the link, as plain folders and
// files. A link left in the backup goes by itself, and what it points to
// stays as it is.
TEST_F(BackupTest, LinkedDirectoriesAreCopiedAsPlainFolders) {
  WriteFile("D:\\DATA\\ADAT.DAT\\T.DAT", "linked table");
  WriteFile("C:\\OTHER\\keep.txt", "others");
  MakeLink("C:\\APP\\SHARED.DAT", "D:\\DATA\\ADAT.DAT");
  MakeLink(kBackup + "\\STALE", "C:\\OTHER");
  ASSERT_TRUE(MakeBackup(ctx_));
  EXPECT_EQ(ReadFile("C:\\OTHER\\keep.txt"), "others");
  EXPECT_FALSE(Exists(kBackup + "\\STALE"));
  EXPECT_EQ(ReadFile(kBackup + "\\SHARED.DAT\\T.DAT"), "linked table");
  std::uint32_t attributes = 0;
  ASSERT_EQ(machine_.files().GetAttributes((kBackup + "\\SHARED.DAT").c_str(), attributes), platform::kOk);
  EXPECT_EQ(attributes & platform::kAttributeReparsePoint, 0u) << "a folder of its own, not a link";
  std::string log = TakeLog();
  EXPECT_THAT(log, HasSubstr("Könyvtár hivatkozás (link) : " + kBackup + "\\STALE, nem követjük\n"
                             "Dir tötöl : " + kBackup + "\\STALE...OK\n"));
  EXPECT_THAT(log, HasSubstr("Könyvtár hivatkozás (link) : C:\\APP\\SHARED.DAT -> D:\\DATA\\ADAT.DAT, a tartalmát mentjük\n"
                             "Könyvtár készítés : " + kBackup + "\\SHARED.DAT...OK\n"
                             "Fájl másolás : C:\\APP\\SHARED.DAT\\T.DAT -> " + kBackup + "\\SHARED.DAT\\T.DAT...OK\n"));
}

// A link the backup may not read through fails it, with the reason: one to
// a protected folder, and one to a folder that holds it (the copy would
// never end). A backup directory that is a link is never emptied.
TEST_F(BackupTest, LinksToProtectedOrEnclosingFoldersFailTheBackup) {
  WriteFile("C:\\windows\\system32\\config.sys", "system");
  MakeLink("C:\\APP\\SYS", "C:\\windows\\system32");
  EXPECT_FALSE(MakeBackup(ctx_));
  EXPECT_THAT(TakeLog(), HasSubstr("Könyvtár hivatkozás (link) : C:\\APP\\SYS, nem menthető : a(z) \"C:\\APP\\SYS\" a lemezen "
                                   "ide mutat: a(z) C:\\windows\\system32 védett mappa\n"));
  EXPECT_FALSE(Exists(kBackup + "\\SYS"));
  std::filesystem::remove(machine_.HostPath("C:\\APP\\SYS"));

  MakeLink("C:\\APP\\ADAT.DAT\\LOOP", "C:\\APP");
  EXPECT_FALSE(MakeBackup(ctx_));
  EXPECT_THAT(TakeLog(), HasSubstr("Könyvtár hivatkozás (link) : C:\\APP\\ADAT.DAT\\LOOP, nem menthető : a(z) \"C:\\APP\" "
                                   "tartalmazza a hivatkozást, a mentés önmagába másolna\n"));
  std::filesystem::remove(machine_.HostPath("C:\\APP\\ADAT.DAT\\LOOP"));

  std::filesystem::remove_all(machine_.HostPath(kBackup.c_str()));
  MakeLink(kBackup, "C:\\OTHER");
  WriteFile("C:\\OTHER\\keep.txt", "others");
  EXPECT_FALSE(MakeBackup(ctx_));
  EXPECT_EQ(ReadFile("C:\\OTHER\\keep.txt"), "others");
  EXPECT_THAT(TakeLog(), HasSubstr("mentési könyvtár hivatkozás (link), nem ürítjük ki!\n"));
}

TEST_F(BackupTest, FailuresStopTheBackupWhereTheyHappen) {
  settings_.winDir = "C:\\NOWIN";
  EXPECT_FALSE(MakeBackup(ctx_));
  EXPECT_EQ(TakeLog(), std::string(kHeader) + Failed("", platform::kErrorPathNotFound));
  EXPECT_THAT(events(), ElementsAre("box: Könyvtár létrehozási hiba!\n\nKönyvtár : C:\\NOWIN\\Vormex\\MENTES.TMP"));

  // A file in use in the old backup: nothing is copied.
  settings_.winDir = "C:\\windows";
  MakeDirs(kBackup);
  WriteFile(kBackup + "\\A.TXT", "a");
  machine_.files().SetInUse((kBackup + "\\A.TXT").c_str(), true);
  EXPECT_FALSE(MakeBackup(ctx_));
  EXPECT_EQ(TakeLog(), kHeader + Failed("Fájl tötöl : " + kBackup + "\\A.TXT...", platform::kErrorSharingViolation));
  EXPECT_FALSE(Exists(kBackup + "\\PROG.EXE"));

  // A path too long for the backup though not for the home directory.
  machine_.files().SetInUse((kBackup + "\\A.TXT").c_str(), false);
  settings_.winDir = "D:\\WIN";
  settings_.homeDir = "D:\\APP";
  MakeDirs("D:\\WIN\\Vormex\\MENTES.TMP");
  std::string name(245, 'L');  // 252 characters below D:\APP, 275 below the backup
  MakeDirs("D:\\APP\\" + name);
  EXPECT_FALSE(MakeBackup(ctx_));
  EXPECT_EQ(TakeLog(), kHeader + Failed("Könyvtár készítés : D:\\WIN\\Vormex\\MENTES.TMP\\" + name + "...",
                                        platform::kErrorFilenameTooLong));
}

}  // namespace
}  // namespace qz::test
