// The backup of the installed program before an update.

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "engine/Backup.h"
#include "tests/engine/StepFixture.h"

namespace qz::test {
namespace {

using ::testing::IsEmpty;

class BackupTest : public StepFixture {
 protected:
  BackupTest() {
    settings_.installType = kInstallUpdate;
    settings_.homeDir = "C:\\APP";
  }

  // An installed tree: two files at the top (one read-only) and a
  // database directory with a file.
  void InstallTree() {
    MakeDirs("C:\\APP\\ADAT.DAT");
    WriteMachineFile("C:\\APP\\PROG.EXE", "prog");
    WriteMachineFile("C:\\APP\\CONFIG.INI", "config");
    WriteMachineFile("C:\\APP\\ADAT.DAT\\T.DAT", "table");
    ASSERT_EQ(machine_.files().SetAttributes("C:\\APP\\CONFIG.INI", platform::kAttributeReadOnly), platform::kOk);
  }

  static constexpr const char* kHeader = "\n\n---> Biztonsági másolat készítése\n";
};

TEST_F(BackupTest, FirstUpdateCopiesTheHomeTreeIntoANewBackup) {
  InstallTree();
  ASSERT_TRUE(MakeBackup(ctx_));

  EXPECT_EQ(ReadMachineFile("C:\\windows\\Vormex\\MENTES.TMP\\PROG.EXE"), "prog");
  EXPECT_EQ(ReadMachineFile("C:\\windows\\Vormex\\MENTES.TMP\\ADAT.DAT\\T.DAT"), "table");
  EXPECT_EQ(ReadMachineFile("C:\\windows\\Vormex\\MENTES.TMP\\CONFIG.INI"), "config");
  EXPECT_FALSE(IsReadOnly("C:\\windows\\Vormex\\MENTES.TMP\\CONFIG.INI"));
  EXPECT_TRUE(IsReadOnly("C:\\APP\\CONFIG.INI")) << "the installed file stays as it was";
  // Entries in the order the directory lists them: by upper-cased name.
  EXPECT_EQ(TakeLog(), std::string(kHeader) +
                           "Könyvtár készítés : C:\\windows\\Vormex\\MENTES.TMP\\ADAT.DAT...OK\n"
                           "Fájl másolás : C:\\APP\\ADAT.DAT\\T.DAT -> C:\\windows\\Vormex\\MENTES.TMP\\ADAT.DAT\\T.DAT...OK\n"
                           "Fájl másolás : C:\\APP\\CONFIG.INI -> C:\\windows\\Vormex\\MENTES.TMP\\CONFIG.INI...OK\n"
                           "Fájl másolás : C:\\APP\\PROG.EXE -> C:\\windows\\Vormex\\MENTES.TMP\\PROG.EXE...OK\n");
  EXPECT_THAT(events(), IsEmpty());
}

TEST_F(BackupTest, SecondUpdateEmptiesTheOldBackupFirst) {
  InstallTree();
  // What an earlier update left: a read-only file, a nested directory, and
  // a file the installation no longer has.
  MakeDirs("C:\\windows\\Vormex\\MENTES.TMP\\OLD\\SUB");
  WriteMachineFile("C:\\windows\\Vormex\\MENTES.TMP\\OLD\\SUB\\S.TXT", "s");
  WriteMachineFile("C:\\windows\\Vormex\\MENTES.TMP\\GONE.EXE", "gone");
  ASSERT_EQ(machine_.files().SetAttributes("C:\\windows\\Vormex\\MENTES.TMP\\GONE.EXE", platform::kAttributeReadOnly),
            platform::kOk);

  ASSERT_TRUE(MakeBackup(ctx_));
  EXPECT_FALSE(Exists("C:\\windows\\Vormex\\MENTES.TMP\\GONE.EXE"));
  EXPECT_FALSE(Exists("C:\\windows\\Vormex\\MENTES.TMP\\OLD"));
  EXPECT_EQ(ReadMachineFile("C:\\windows\\Vormex\\MENTES.TMP\\PROG.EXE"), "prog");
  std::string log = TakeLog();
  EXPECT_EQ(log.substr(0, log.find("Könyvtár készítés")),
            std::string(kHeader) +
                "Fájl tötöl : C:\\windows\\Vormex\\MENTES.TMP\\GONE.EXE...OK\n"
                "Fájl tötöl : C:\\windows\\Vormex\\MENTES.TMP\\OLD\\SUB\\S.TXT...OK\n"
                "Dir tötöl : C:\\windows\\Vormex\\MENTES.TMP\\OLD\\SUB...OK\n"
                "Dir tötöl : C:\\windows\\Vormex\\MENTES.TMP\\OLD...OK\n");

  // And a third run finds exactly what the second one left.
  ASSERT_TRUE(MakeBackup(ctx_));
  EXPECT_EQ(ReadMachineFile("C:\\windows\\Vormex\\MENTES.TMP\\ADAT.DAT\\T.DAT"), "table");
}

TEST_F(BackupTest, EmptyHomeGivesAnEmptyBackupAndAMissingOneFails) {
  MakeDirs("C:\\APP");
  EXPECT_TRUE(MakeBackup(ctx_));
  EXPECT_TRUE(Exists("C:\\windows\\Vormex\\MENTES.TMP"));
  EXPECT_EQ(TakeLog(), kHeader);

  settings_.homeDir = "C:\\NINCS";
  EXPECT_FALSE(MakeBackup(ctx_));
  EXPECT_EQ(TakeLog(), kHeader);
  EXPECT_THAT(events(), IsEmpty());
}

TEST_F(BackupTest, HomeThatHoldsOrLiesInTheBackupIsRefusedBeforeAnythingChanges) {
  MakeDirs("C:\\windows\\Vormex\\MENTES.TMP\\KEEP");
  WriteMachineFile("C:\\windows\\Vormex\\MENTES.TMP\\KEEP\\K.TXT", "keep");
  for (const char* home : {"C:\\windows", "c:/WINDOWS/vormex/", "C:\\", "C:", "", "C:\\windows\\Vormex\\MENTES.TMP",
                           "C:\\APP\\..\\windows"}) {
    settings_.homeDir = home;
    EXPECT_FALSE(MakeBackup(ctx_)) << home;
    EXPECT_EQ(TakeLog(), std::string(kHeader) + "Biztonsági másolat : a(z) " + home +
                             " könyvtár tartalmazza a(z) C:\\windows\\Vormex\\MENTES.TMP mentési könyvtárat, "
                             "a mentés önmagába másolna!\n");
  }
  settings_.homeDir = "C:\\windows\\Vormex\\mentes.tmp\\KEEP";
  EXPECT_FALSE(MakeBackup(ctx_));
  EXPECT_EQ(TakeLog(), std::string(kHeader) +
                           "Biztonsági másolat : a(z) C:\\windows\\Vormex\\mentes.tmp\\KEEP könyvtár a(z) "
                           "C:\\windows\\Vormex\\MENTES.TMP mentési könyvtáron belül van, a mentés törölné!\n");
  EXPECT_EQ(ReadMachineFile("C:\\windows\\Vormex\\MENTES.TMP\\KEEP\\K.TXT"), "keep");

  // A directory whose name merely begins like the backup's is no relative.
  settings_.homeDir = "C:\\windows\\Vormex\\MENTES.TMP2";
  MakeDirs("C:\\windows\\Vormex\\MENTES.TMP2");
  EXPECT_TRUE(MakeBackup(ctx_));
}

TEST_F(BackupTest, FailureToCreateTheBackupDirectoryShowsItsBox) {
  settings_.winDir = "C:\\NOWIN";
  InstallTree();
  EXPECT_FALSE(MakeBackup(ctx_));
  EXPECT_EQ(TakeLog(), std::string(kHeader) + Failed("", platform::kErrorPathNotFound));
  EXPECT_THAT(events(), testing::ElementsAre("box: Könyvtár létrehozási hiba!\n\nKönyvtár : C:\\NOWIN\\Vormex\\MENTES.TMP"));
  EXPECT_THAT(transcript_.boxCaptions, testing::ElementsAre("QZSetup"));
}

TEST_F(BackupTest, FileInUseStopsTheEmptyingAndTheCopy) {
  InstallTree();
  MakeDirs("C:\\windows\\Vormex\\MENTES.TMP");
  WriteMachineFile("C:\\windows\\Vormex\\MENTES.TMP\\A.TXT", "a");
  WriteMachineFile("C:\\windows\\Vormex\\MENTES.TMP\\B.TXT", "b");
  machine_.files().SetInUse("C:\\windows\\Vormex\\MENTES.TMP\\A.TXT", true);
  EXPECT_FALSE(MakeBackup(ctx_));
  EXPECT_EQ(TakeLog(), std::string(kHeader) + Failed("Fájl tötöl : C:\\windows\\Vormex\\MENTES.TMP\\A.TXT...",
                                                     platform::kErrorSharingViolation));
  EXPECT_TRUE(Exists("C:\\windows\\Vormex\\MENTES.TMP\\B.TXT"));
  EXPECT_FALSE(Exists("C:\\windows\\Vormex\\MENTES.TMP\\PROG.EXE"));

  machine_.files().SetInUse("C:\\windows\\Vormex\\MENTES.TMP\\A.TXT", false);
  machine_.files().SetInUse("C:\\APP\\CONFIG.INI", true);
  EXPECT_FALSE(MakeBackup(ctx_));
  std::string log = TakeLog();
  EXPECT_NE(log.find(Failed(
                "Fájl másolás : C:\\APP\\CONFIG.INI -> C:\\windows\\Vormex\\MENTES.TMP\\CONFIG.INI...",
                platform::kErrorSharingViolation)),
            std::string::npos)
      << log;
  EXPECT_FALSE(Exists("C:\\windows\\Vormex\\MENTES.TMP\\PROG.EXE")) << "the copy stopped at the failure";
  EXPECT_THAT(events(), IsEmpty());
}

TEST_F(BackupTest, FullDriveFailsTheCopy) {
  // Home and backup on D:, so that the log on C: still takes lines.
  settings_.winDir = "D:\\WIN";
  settings_.homeDir = "D:\\APP";
  MakeDirs("D:\\WIN\\Vormex");
  MakeDirs("D:\\APP\\SUB");
  machine_.files().SetDriveFull('d', true);
  EXPECT_FALSE(MakeBackup(ctx_));
  EXPECT_EQ(TakeLog(), std::string(kHeader) + Failed("", platform::kErrorDiskFull));

  machine_.files().SetDriveFull('d', false);
  MakeDirs("D:\\WIN\\Vormex\\MENTES.TMP");
  machine_.files().SetDriveFull('d', true);
  EXPECT_FALSE(MakeBackup(ctx_));
  EXPECT_EQ(TakeLog(), std::string(kHeader) +
                           Failed("Könyvtár készítés : D:\\WIN\\Vormex\\MENTES.TMP\\SUB...", platform::kErrorDiskFull));
}

TEST_F(BackupTest, ADirectoryAlreadyInTheBackupIsAFailureOfTheCopy) {
  MakeDirs("C:\\APP\\SUB");
  MakeDirs("C:\\windows\\Vormex\\MENTES.TMP\\SUB");
  ASSERT_TRUE(EmptyTree(ctx_, "C:\\windows\\Vormex\\MENTES.TMP\\SUB"));
  EXPECT_FALSE(CopyTree(ctx_, "C:\\APP", "C:\\windows\\Vormex\\MENTES.TMP"));
  EXPECT_EQ(TakeLog(), Failed("Könyvtár készítés : C:\\windows\\Vormex\\MENTES.TMP\\SUB...",
                              platform::kErrorAlreadyExists));
}

TEST_F(BackupTest, OverlongPathsInTheTreeAreRefused) {
  // A directory name that fits below the home directory but not below the
  // longer backup path.
  std::string name(245, 'L');  // C:\APP\ + 245 = 252; the backup's is 275
  MakeDirs(("C:\\APP\\" + name).c_str());
  EXPECT_FALSE(MakeBackup(ctx_));
  EXPECT_EQ(TakeLog(), std::string(kHeader) +
                           Failed("Könyvtár készítés : C:\\windows\\Vormex\\MENTES.TMP\\" + name + "...",
                                  platform::kErrorFilenameTooLong));
}

}  // namespace
}  // namespace qz::test
