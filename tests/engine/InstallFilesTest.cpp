// Installing the "Home:", "VormexDir:" and "WinDir:" sections.

#include "common/SafePaths.h"
#include "engine/InstallFiles.h"
#include "tests/engine/StepFixture.h"

namespace qz::test {
namespace {

using ::testing::_;
using ::testing::AllOf;
using ::testing::StartsWith;

class InstallFilesTest : public StepFixture {
 protected:
  InstallFilesTest() { MakeDirs("C:\\APP"); }
};

TEST_F(InstallFilesTest, AMissingLabelFailsAnEmptySectionSucceeds) {
  WriteScript({"VormexDir:", "Home:"});
  EXPECT_FALSE(InstallSection(ctx_, "C:\\APP", "WinDir:"));
  EXPECT_TRUE(InstallSection(ctx_, "C:\\windows\\Vormex", "VormexDir:"));
}

TEST_F(InstallFilesTest, ExistingReadOnlyTargetIsOverwrittenAndLeftWritable) {
  WriteMedium("PROG.EXE", "new");
  std::filesystem::permissions(medium_ / "PROG.EXE", std::filesystem::perms::owner_read);
  WriteFile("C:\\APP\\PROG.EXE", "old");
  ASSERT_EQ(machine_.files().SetAttributes("C:\\APP\\PROG.EXE", platform::kAttributeReadOnly), platform::kOk);
  WriteScript({"Home:", "\"PROG.EXE\""});
  ASSERT_TRUE(InstallSection(ctx_, "C:\\APP", "Home:"));
  EXPECT_EQ(ReadFile("C:\\APP\\PROG.EXE"), "new");
  EXPECT_FALSE(IsReadOnly("C:\\APP\\PROG.EXE"));
}

TEST_F(InstallFilesTest, AFailedItemStopsTheSectionWithItsBoxAndListLine) {
  WriteMedium("DATA/B.DAT", "b");
  // A full drive (D:, as the log lives on C:): the copy names its source
  // below the root, and a directory that cannot be made leaves the cursor.
  MakeDirs("D:\\APP\\DATA");
  machine_.files().SetDriveFull('D', true);
  WriteScript({"Home:", "DIR \"DATA\"", "\"B.DAT\""});
  EXPECT_FALSE(InstallSection(ctx_, "D:\\APP", "Home:"));
  EXPECT_THAT(events(), ElementsAre("list:    Könyvtár : D:\\APP\\DATA", "list:    Fájl : D:\\APP\\DATA\\B.DAT",
                                    "box: Fájl másolási hiba\n\nFile : DATA\\B.DAT", "list: Nem sikerült a másolás!"));
  EXPECT_EQ(TakeLog(), "Könyvtár készítés : D:\\APP\\DATA...OK\n" +
                           Failed("Fájl másolás : D:\\APP\\DATA\\B.DAT...", platform::kErrorDiskFull));

  transcript_.events.clear();
  WriteScript({"Home:", "DIR \"NEW\"", "\"B.DAT\""});
  EXPECT_FALSE(InstallSection(ctx_, "D:\\APP", "Home:"));
  EXPECT_THAT(events(), ElementsAre("list:    Könyvtár : D:\\APP\\NEW", "box: Könyvtár létrehozási hiba!\n\nKönyvtár : D:\\APP\\NEW",
                                    "list: Nem sikerült a másolás!"));
  EXPECT_EQ(TakeLog(), Failed("Könyvtár készítés : D:\\APP\\NEW...", platform::kErrorDiskFull));
}

TEST_F(InstallFilesTest, OverlongLinesFailWithTheirBoxAndCode) {
  std::string line = "\"A.EXE\"" + std::string(260, ' ') + "x";
  WriteScript({"Home:", line});
  EXPECT_FALSE(InstallSection(ctx_, "C:\\APP", "Home:"));
  EXPECT_EQ(TakeLog(), Failed("Túl hosszú sor : " + line + "...", platform::kErrorFilenameTooLong));
  EXPECT_THAT(events(), ElementsAre("box: Fájl másolási hiba\n\nFile : " + line, "list: Nem sikerült a másolás!"));
  WriteScript({"Home:", "DIR \"" + std::string(5000, 'L') + "\""});
  EXPECT_FALSE(InstallSection(ctx_, "C:\\APP", "Home:")) << "beyond every buffer";
}

// An item's name that would lead out of its section's root, or that
// Windows cannot make there, is refused like an item that cannot be made:
// its action line ends in ERROR, the next line gives the reason, its box
// shows, and the section stops. Only a character Windows itself refuses
// carries Windows' error 123. Only the exact ".." and "\" move the cursor.
// (Which names are refused is the item path check's own test.)
TEST_F(InstallFilesTest, RefusedItemsSayWhy) {
  WriteMedium("X.DLL", "x");
  std::ofstream(temp_.path() / "X.DLL") << "outside the medium";
  const std::string out = " (a célkönyvtáron kívülre mutatna)";
  const std::string dots = PathFaultText(PathFault::kDotName);
  struct Case {
    std::string line, action, reason;
    bool invalidName;
  };
  for (const Case& c : std::vector<Case>{
           {"DIR \"..\\x\"", "Könyvtár készítés : C:\\APP\\..\\x", "\"..\\x\" " + dots + out, false},
           {"DIR \"$WINDIR$\"", "Könyvtár készítés : C:\\APP\\C:\\windows",
            "\"C:\\windows\" meghajtót vagy gyökérkönyvtárat nevez meg" + out, false},
           {"\"NUL.DLL\"", "Fájl másolás : C:\\APP\\NUL.DLL", "\"NUL.DLL\" eszköznevet tartalmaz", false},
           {"DIR \"DATA.\"", "Könyvtár készítés : C:\\APP\\DATA.",
            "\"DATA.\" pontra vagy szóközre végződő névtagot tartalmaz", false},
           {"\"A|B.DLL\"", "Fájl másolás : C:\\APP\\A|B.DLL", "\"A|B.DLL\" érvénytelen karaktert tartalmaz", true},
       }) {
    WriteScript({"Home:", c.line, "\"X.DLL\""});
    transcript_.events.clear();
    EXPECT_FALSE(InstallSection(ctx_, "C:\\APP", "Home:")) << c.line;
    std::string failed = c.invalidName ? Failed(c.action + "...", platform::kErrorInvalidName) : c.action + "...ERROR\n";
    EXPECT_EQ(TakeLog(), failed + "Hibás elem : " + c.reason + "\n");
    EXPECT_THAT(events(), ElementsAre(_, StartsWith("box: "), "list: Nem sikerült a másolás!")) << c.line;
  }
  for (const char* outside : {"C:\\x", "C:\\X.DLL", "C:\\APP\\X.DLL"}) EXPECT_FALSE(Exists(outside)) << outside;

  WriteScript({"WinDir:", "\"..\\X.DLL\"", "\"NEW.DLL\""});
  EXPECT_FALSE(InstallWindir(ctx_));
  EXPECT_FALSE(Exists("C:\\X.DLL"));
  EXPECT_THAT(TakeLog(), HasSubstr("Hibás elem : \"..\\X.DLL\" \".\", \"..\""));
}

// A link in the installed tree (another user's, say) is never written
// through: a directory item stops at it, a file item replaces it.
TEST_F(InstallFilesTest, LinksInTheTargetTreeAreNotFollowed) {
  WriteMedium("PROG.EXE", "new");
  WriteFile("C:\\windows\\system32\\victim.dll", "system");
  MakeLink("C:\\APP\\DATA", "C:\\windows\\system32");
  MakeLink("C:\\APP\\PROG.EXE", "C:\\windows\\system32\\victim.dll");
  WriteScript({"Home:", "\"PROG.EXE\"", "DIR \"DATA\"", "\"PROG.EXE\""});
  EXPECT_FALSE(InstallSection(ctx_, "C:\\APP", "Home:"));
  EXPECT_EQ(ReadFile("C:\\windows\\system32\\victim.dll"), "system");
  EXPECT_EQ(ReadFile("C:\\APP\\PROG.EXE"), "new");
  EXPECT_FALSE(std::filesystem::is_symlink(machine_.HostPath("C:\\APP\\PROG.EXE")));
  EXPECT_FALSE(Exists("C:\\windows\\system32\\PROG.EXE"));
  EXPECT_THAT(TakeLog(), HasSubstr("Könyvtár hivatkozás (link) : C:\\APP\\DATA, nem követjük\n"));
}

TEST_F(InstallFilesTest, WinDirCopiesNewFilesKeepsExistingOnesAndFailsOtherwise) {
  WriteMedium("NEW.DLL", "new");
  WriteMedium("OLD.DLL", "medium");
  WriteFile("C:\\windows\\OLD.DLL", "installed");
  WriteScript({"WinDir:", "\"NEW.DLL\"", "\"old.dll\"", "Home:"});
  ASSERT_TRUE(InstallWindir(ctx_));
  EXPECT_EQ(ReadFile("C:\\windows\\NEW.DLL"), "new");
  EXPECT_EQ(ReadFile("C:\\windows\\OLD.DLL"), "installed");
  EXPECT_THAT(TakeLog(), HasSubstr("Fájl másolás : C:\\windows\\old.dll...EXISTS\n"));

  // A line without a quoted name copies an empty name, which fails; one
  // without its closing quote names the rest of the line.
  WriteScript({"WinDir:", "\"NEW2.DLL", "A.DLL", "\"B.DLL\""});
  WriteMedium("NEW2.DLL", "2");
  EXPECT_FALSE(InstallWindir(ctx_));
  EXPECT_EQ(TakeLog(), "\n\n---> InstallWindir\nFájl másolás : C:\\windows\\NEW2.DLL...OK\n" +
                           Failed("Fájl másolás : C:\\windows\\...", platform::kErrorPathNotFound));
  std::string name(250, 'W');
  WriteScript({"WinDir:", "\"" + name + "\""});
  EXPECT_FALSE(InstallWindir(ctx_));
  EXPECT_EQ(TakeLog(), "\n\n---> InstallWindir\n" +
                           Failed("Fájl másolás : C:\\windows\\" + name + "...", platform::kErrorFilenameTooLong));
  WriteScript({"Home:"});
  EXPECT_TRUE(InstallWindir(ctx_)) << "no WinDir: section";
  EXPECT_THAT(events(), IsEmpty());
}

}  // namespace
}  // namespace qz::test
