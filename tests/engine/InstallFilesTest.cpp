// Installing the "Home:", "VormexDir:" and "WinDir:" sections.

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "engine/InstallFiles.h"
#include "tests/engine/StepFixture.h"

namespace qz::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class InstallFilesTest : public StepFixture {};

TEST_F(InstallFilesTest, HomeSectionMirrorsTheMediumTree) {
  WriteMediumFile("DATA/A.DAT", "a");
  WriteMediumFile("DATA/FORMS/X.FRM", "x");
  WriteMediumFile("PROG.EXE", "prog");
  WriteMediumFile("README.TXT", "readme");
  WriteScript({"Home:", "  DIR \"DATA\"  ", "\"A.DAT\"", "", "DIR \"FORMS\"", "\"X.FRM\"", "DIR \"..\"",
               "DIR \"..\"", "\"PROG.EXE\"", "DIR \"DATA\"", "DIR \"FORMS\"", "DIR \"\\\"", "\"README.TXT\"",
               "VormexDir:", "\"other\""});
  MakeDirs("C:\\APP");

  InstallCursor cursor;
  ASSERT_TRUE(InstallSection(ctx_, cursor, "C:\\APP", "Home:"));

  EXPECT_EQ(ReadMachineFile("C:\\APP\\DATA\\A.DAT"), "a");
  EXPECT_EQ(ReadMachineFile("C:\\APP\\DATA\\FORMS\\X.FRM"), "x");
  EXPECT_EQ(ReadMachineFile("C:\\APP\\PROG.EXE"), "prog");
  EXPECT_EQ(ReadMachineFile("C:\\APP\\README.TXT"), "readme") << "\"\\\" returns to the root";
  EXPECT_STREQ(cursor.currentDir.c_str(), "C:\\APP");
  EXPECT_STREQ(cursor.itemName.c_str(), "README.TXT");
  EXPECT_THAT(events(),
              ElementsAre("list:    Könyvtár : C:\\APP\\DATA", "list:    Fájl : C:\\APP\\DATA\\A.DAT",
                          "list:    Könyvtár : C:\\APP\\DATA\\FORMS", "list:    Fájl : C:\\APP\\DATA\\FORMS\\X.FRM",
                          "list:    Fájl : C:\\APP\\PROG.EXE", "list:    Könyvtár : C:\\APP\\DATA",
                          "list:    Könyvtár : C:\\APP\\DATA\\FORMS", "list:    Fájl : C:\\APP\\README.TXT"));
  EXPECT_EQ(TakeLog(),
            "Könyvtár készítés : C:\\APP\\DATA...OK\n"
            "Fájl másolás : C:\\APP\\DATA\\A.DAT...OK\n"
            "Könyvtár készítés : C:\\APP\\DATA\\FORMS...OK\n"
            "Fájl másolás : C:\\APP\\DATA\\FORMS\\X.FRM...OK\n"
            "Fájl másolás : C:\\APP\\PROG.EXE...OK\n"
            "Könyvtár készítés : C:\\APP\\DATA...OK\n"
            "Könyvtár készítés : C:\\APP\\DATA\\FORMS...OK\n"
            "Fájl másolás : C:\\APP\\README.TXT...OK\n");
}

TEST_F(InstallFilesTest, AnyLineHoldingDirIsADirectoryItem) {
  settings_.homeDir = "C:\\APP";
  WriteScript({"Home:", "\"DIRECT.DLL\"", "\"x\" $WINDIR$"});
  MakeDirs("C:\\APP");
  ASSERT_TRUE(InstallSection(ctx_, "C:\\APP", "Home:"));
  std::uint32_t attributes = 0;
  ASSERT_EQ(machine_.files().GetAttributes("C:\\APP\\DIRECT.DLL", attributes), platform::kOk);
  EXPECT_TRUE(attributes & platform::kAttributeDirectory);
  EXPECT_TRUE(Exists("C:\\APP\\DIRECT.DLL\\x"));
  // The macro expands to a full path, which no directory below the cursor
  // can be named.
  WriteScript({"Home:", "\"$WINDIR$\""});
  EXPECT_FALSE(InstallSection(ctx_, "C:\\APP", "Home:"));
}

TEST_F(InstallFilesTest, MissingLabelFailsAndAnEmptySectionSucceeds) {
  WriteScript({"VormexDir:", "WinDir:", "\"X\""});
  EXPECT_FALSE(InstallSection(ctx_, "C:\\APP", "Home:"));
  EXPECT_TRUE(InstallSection(ctx_, "C:\\windows\\Vormex", "VormexDir:"));
  EXPECT_EQ(TakeLog(), "");
  EXPECT_THAT(events(), IsEmpty());
}

TEST_F(InstallFilesTest, ExistingReadOnlyTargetIsOverwrittenAndLeftWritable) {
  WriteMediumFile("PROG.EXE", "new");
  std::filesystem::permissions(medium_ / "PROG.EXE", std::filesystem::perms::owner_read);
  MakeDirs("C:\\APP");
  WriteMachineFile("C:\\APP\\PROG.EXE", "old");
  ASSERT_EQ(machine_.files().SetAttributes("C:\\APP\\PROG.EXE", platform::kAttributeReadOnly), platform::kOk);
  WriteScript({"Home:", "\"PROG.EXE\""});

  ASSERT_TRUE(InstallSection(ctx_, "C:\\APP", "Home:"));
  EXPECT_EQ(ReadMachineFile("C:\\APP\\PROG.EXE"), "new");
  EXPECT_FALSE(IsReadOnly("C:\\APP\\PROG.EXE"));
}

TEST_F(InstallFilesTest, FailedCopyStopsTheSectionWithItsBoxAndListLine) {
  WriteMediumFile("A.EXE", "a");
  WriteMediumFile("B.EXE", "b");
  WriteMediumFile("C.EXE", "c");
  MakeDirs("C:\\APP");
  machine_.files().SetInUse("B.EXE", true);
  WriteScript({"Home:", "\"A.EXE\"", "\"B.EXE\"", "\"C.EXE\""});

  EXPECT_FALSE(InstallSection(ctx_, "C:\\APP", "Home:"));
  EXPECT_FALSE(Exists("C:\\APP\\C.EXE"));
  EXPECT_THAT(events(), ElementsAre("list:    Fájl : C:\\APP\\A.EXE", "list:    Fájl : C:\\APP\\B.EXE",
                                    "box: Fájl másolási hiba\n\nFile : B.EXE", "list: Nem sikerült a másolás!"));
  EXPECT_THAT(transcript_.boxCaptions, ElementsAre("QZSetup"));
  EXPECT_EQ(TakeLog(), "Fájl másolás : C:\\APP\\A.EXE...OK\n" +
                           Failed("Fájl másolás : C:\\APP\\B.EXE...", platform::kErrorSharingViolation));
}

TEST_F(InstallFilesTest, FullDriveFailsTheCopyWithTheSourceNamedBelowTheRoot) {
  // The log lives on C:, the application on D:.
  WriteMediumFile("DATA/A.DAT", "a");
  MakeDirs("D:\\APP\\DATA");
  machine_.files().SetDriveFull('D', true);
  WriteScript({"Home:", "DIR \"DATA\"", "\"A.DAT\""});

  EXPECT_FALSE(InstallSection(ctx_, "D:\\APP", "Home:"));
  EXPECT_THAT(events(), ElementsAre("list:    Könyvtár : D:\\APP\\DATA", "list:    Fájl : D:\\APP\\DATA\\A.DAT",
                                    "box: Fájl másolási hiba\n\nFile : DATA\\A.DAT", "list: Nem sikerült a másolás!"));
  EXPECT_EQ(TakeLog(), "Könyvtár készítés : D:\\APP\\DATA...OK\n" +
                           Failed("Fájl másolás : D:\\APP\\DATA\\A.DAT...", platform::kErrorDiskFull));
}

TEST_F(InstallFilesTest, FailedDirectoryLeavesTheCursorWhereItWas) {
  MakeDirs("D:\\APP");
  machine_.files().SetDriveFull('D', true);
  WriteScript({"Home:", "DIR \"DATA\"", "\"A.DAT\""});

  InstallCursor cursor;
  EXPECT_FALSE(InstallSection(ctx_, cursor, "D:\\APP", "Home:"));
  EXPECT_STREQ(cursor.currentDir.c_str(), "D:\\APP");
  EXPECT_THAT(events(), ElementsAre("list:    Könyvtár : D:\\APP\\DATA",
                                    "box: Könyvtár létrehozási hiba!\n\nKönyvtár : D:\\APP\\DATA",
                                    "list: Nem sikerült a másolás!"));
  EXPECT_EQ(TakeLog(), Failed("Könyvtár készítés : D:\\APP\\DATA...", platform::kErrorDiskFull));
}

TEST_F(InstallFilesTest, LinesWithoutAClosedNameAreSkipped) {
  WriteMediumFile("A.EXE", "a");
  MakeDirs("C:\\APP");
  WriteScript({"Home:", "A.EXE", "\"A.EXE", "DIR DATA", "DIR \"DATA", "DIR \"\"", "\"A.EXE\""});
  InstallCursor cursor;
  ASSERT_TRUE(InstallSection(ctx_, cursor, "C:\\APP", "Home:"));
  EXPECT_FALSE(Exists("C:\\APP\\DATA"));
  // An empty directory name leaves the cursor at the root, so the file
  // still comes from the medium's top directory.
  EXPECT_EQ(ReadMachineFile("C:\\APP\\A.EXE"), "a");
  EXPECT_THAT(events(), ElementsAre("list:    Fájl : C:\\APP\\A.EXE"));
}

TEST_F(InstallFilesTest, GoingUpFromTheRootStaysAtTheRoot) {
  WriteMediumFile("A.EXE", "medium");
  // What the cursor would reach above the root: the medium's parent.
  std::ofstream(temp_.path() / "A.EXE") << "outside";
  MakeDirs("C:\\APP");
  WriteScript({"Home:", "DIR \"..\"", "\"A.EXE\""});

  InstallCursor cursor;
  ASSERT_TRUE(InstallSection(ctx_, cursor, "C:\\APP", "Home:"));
  EXPECT_STREQ(cursor.currentDir.c_str(), "C:\\APP");
  EXPECT_EQ(ReadMachineFile("C:\\APP\\A.EXE"), "medium");
  EXPECT_FALSE(Exists("C:\\A.EXE"));
  EXPECT_EQ(TakeLog(),
            "Könyvtár : \"..\" a(z) C:\\APP gyökérkönyvtárban, a kurzor a gyökérben marad\n"
            "Fájl másolás : C:\\APP\\A.EXE...OK\n");
}

TEST_F(InstallFilesTest, OverlongTextsAreRefusedNotCut) {
  MakeDirs("C:\\APP");
  std::string longName(252, 'N');  // C:\APP\ + 252 = 259: fits exactly
  WriteMediumFile(longName, "fits");
  WriteScript({"Home:", "\"" + longName + "\""});
  ASSERT_TRUE(InstallSection(ctx_, "C:\\APP", "Home:"));
  EXPECT_EQ(ReadMachineFile(("C:\\APP\\" + longName).c_str()), "fits");
  TakeLog();

  // One character more: refused with the whole path in the log, and no
  // file appears under the name cut to 259 characters.
  std::string tooLong = longName + "X";
  WriteMediumFile(tooLong, "long");
  WriteScript({"Home:", "\"" + tooLong + "\""});
  EXPECT_FALSE(InstallSection(ctx_, "C:\\APP", "Home:"));
  EXPECT_EQ(TakeLog(), Failed("Fájl másolás : C:\\APP\\" + tooLong + "...", platform::kErrorFilenameTooLong));
  EXPECT_EQ(ReadMachineFile(("C:\\APP\\" + longName).c_str()), "fits");

  // A directory whose path grows too long through the cursor.
  WriteScript({"Home:", "DIR \"" + std::string(200, 'D') + "\"", "DIR \"" + std::string(60, 'E') + "\""});
  EXPECT_FALSE(InstallSection(ctx_, "C:\\APP", "Home:"));
  std::string first = "C:\\APP\\" + std::string(200, 'D');
  EXPECT_EQ(TakeLog(), "Könyvtár készítés : " + first + "...OK\n" +
                           Failed("Könyvtár készítés : " + first + "\\" + std::string(60, 'E') + "...",
                                  platform::kErrorFilenameTooLong));

  // An item line longer than 259 characters, whatever its name.
  std::string line = "\"A.EXE\"" + std::string(260, ' ') + "x";
  WriteScript({"Home:", line});
  transcript_.events.clear();
  EXPECT_FALSE(InstallSection(ctx_, "C:\\APP", "Home:"));
  EXPECT_EQ(TakeLog(), Failed("Túl hosszú sor : " + line + "...", platform::kErrorFilenameTooLong));
  EXPECT_THAT(events(), ElementsAre("box: Fájl másolási hiba\n\nFile : " + line, "list: Nem sikerült a másolás!"));
  // A line far beyond every buffer is refused the same way.
  WriteScript({"Home:", "DIR \"" + std::string(5000, 'L') + "\""});
  EXPECT_FALSE(InstallSection(ctx_, "C:\\APP", "Home:"));
}

TEST_F(InstallFilesTest, WinDirCopiesNewFilesAndKeepsExistingOnes) {
  WriteMediumFile("NEW.DLL", "new");
  WriteMediumFile("OLD.DLL", "medium");
  WriteMachineFile("C:\\windows\\OLD.DLL", "installed");
  WriteScript({"WinDir:", "\"NEW.DLL\"", "\"old.dll\"", "Home:"});

  ASSERT_TRUE(InstallWindir(ctx_));
  EXPECT_EQ(ReadMachineFile("C:\\windows\\NEW.DLL"), "new");
  EXPECT_EQ(ReadMachineFile("C:\\windows\\OLD.DLL"), "installed");
  EXPECT_EQ(TakeLog(),
            "\n\n---> InstallWindir\n"
            "Fájl másolás : C:\\windows\\NEW.DLL...OK\n"
            "Fájl másolás : C:\\windows\\old.dll...EXISTS\n");
  EXPECT_THAT(events(), IsEmpty());
}

TEST_F(InstallFilesTest, WinDirFailsOnAnyOtherError) {
  WriteScript({"Home:"});
  EXPECT_TRUE(InstallWindir(ctx_)) << "no WinDir: section";
  TakeLog();

  // A line without a quoted name copies an empty name, which fails.
  WriteMediumFile("B.DLL", "b");
  WriteScript({"WinDir:", "A.DLL", "\"B.DLL\""});
  EXPECT_FALSE(InstallWindir(ctx_));
  EXPECT_FALSE(Exists("C:\\windows\\B.DLL"));
  EXPECT_EQ(TakeLog(), "\n\n---> InstallWindir\n" +
                           Failed("Fájl másolás : C:\\windows\\...", platform::kErrorPathNotFound));

  // Without its closing quote the rest of the line is the name.
  WriteScript({"WinDir:", "\"B.DLL"});
  EXPECT_TRUE(InstallWindir(ctx_));
  EXPECT_EQ(ReadMachineFile("C:\\windows\\B.DLL"), "b");
  TakeLog();

  WriteMediumFile("C.DLL", "c");
  machine_.files().SetInUse("C.DLL", true);
  WriteScript({"WinDir:", "\"C.DLL\""});
  EXPECT_FALSE(InstallWindir(ctx_));
  EXPECT_EQ(TakeLog(), "\n\n---> InstallWindir\n" +
                           Failed("Fájl másolás : C:\\windows\\C.DLL...", platform::kErrorSharingViolation));
  EXPECT_THAT(events(), IsEmpty());
}

TEST_F(InstallFilesTest, WinDirRefusesOverlongNames) {
  std::string name(250, 'W');  // C:\windows\ + 250 > 259
  WriteScript({"WinDir:", "\"" + name + "\""});
  EXPECT_FALSE(InstallWindir(ctx_));
  EXPECT_EQ(TakeLog(), "\n\n---> InstallWindir\n" + Failed("Fájl másolás : C:\\windows\\" + name + "...",
                                                           platform::kErrorFilenameTooLong));
}

}  // namespace
}  // namespace qz::test
