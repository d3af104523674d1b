// The uninstaller: its removal steps, and its runs from start to end.

#include "platform/sim/DialogTemplate.h"
#include "platform/sim/ScriptedOperator.h"
#include "platform/sim/SimList.h"
#include "tests/support/SimFixture.h"
#include "uninst/ConfirmDialog.h"
#include "uninst/UnattendedUninstall.h"
#include "uninst/UninstallApp.h"
#include "uninst/UninstallDialog.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQzuninstDialogs;
}

namespace qz::test {
namespace {

using Lines = std::vector<std::string>;

const std::string kMaker = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft";
const std::string kEntries = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class UninstallFixture : public SimFixture {
 protected:
  // Records an installation as the setup program does.
  void Register(const std::string& app, const std::string& homeDir) {
    Registry registry(machine_.registry());
    registry.SetValueString(kMaker + "\\" + app, "Home Dir", homeDir.c_str());
    registry.SetValueString(kMaker + "\\" + app, "Version", "2.1");
    registry.SetValueString(kEntries + "\\" + app, "DisplayName", app.c_str());
  }
  std::string Programs() {
    return "C:\\users\\" + platform::sim::SimMachine::UserName() +
           "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
  }
  std::string Desktop() { return "C:\\users\\" + platform::sim::SimMachine::UserName() + "\\Desktop"; }
};

class RemovalTest : public UninstallFixture {
 protected:
  RemovalTest() { OpenLog(); }

  UninstallContext context_{machine_.platform(), log_, registry_};
  UninstallDialog dialog_{context_, "APP"};
  platform::sim::SimList list_;
  ProgressList progress_{list_};
};

TEST_F(RemovalTest, TreeGoesDepthFirstWithTheDirectoryLast) {
  for (const char* file : {"C:\\APP\\b.exe", "C:\\APP\\A\\x.dat", "C:\\APP\\A\\Deep\\y.dat", "C:\\APP\\c.txt"}) {
    WriteFile(file);
  }
  EXPECT_TRUE(dialog_.RemoveTree("C:\\APP", progress_));
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
  EXPECT_FALSE(dialog_.RemoveTree("C:\\APP", progress_));
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
  EXPECT_FALSE(dialog_.RemoveTree("C:\\APP", progress_));
  EXPECT_TRUE(Exists("C:\\APP\\B\\later.dat")) << "entries the search had not reached stay";
  EXPECT_EQ(list_.items(), (Lines{"     Törlés : C:\\APP\\A\\locked.dat", "   Törlés : C:\\APP\\A"}));
}

TEST_F(RemovalTest, EmptyAndMissingHomeDirectories) {
  MakeDirs("C:\\EMPTY");
  EXPECT_TRUE(dialog_.RemoveTree("C:\\EMPTY", progress_));
  EXPECT_FALSE(dialog_.RemoveTree("C:\\MISSING", progress_));
  EXPECT_EQ(list_.items(), (Lines{"   Törlés : C:\\EMPTY"}));
  EXPECT_EQ(Lf(LogBytes()), "Könyvtár törlés : C:\\EMPTY...OK\n\n\n\n");
}

// Which folders are refused, OwnedPathsTest and the property test prove;
// here, how a refusal and a registration without "Home Dir" are logged.
TEST_F(RemovalTest, RefusedOrMissingHomeDirectoryIsLoggedAndNothingIsRemoved) {
  Register("APP", "C:\\");
  ASSERT_TRUE(dialog_.GetDirs());
  EXPECT_FALSE(dialog_.RemoveProgramFiles(progress_));
  UninstallDialog bare(context_, "BARE");
  EXPECT_FALSE(bare.GetDirs());
  EXPECT_FALSE(bare.RemoveProgramFiles(progress_));
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
  EXPECT_TRUE(dialog_.RemoveTree("C:\\APP", progress_));
  EXPECT_FALSE(Exists("C:\\APP"));
  Register("APP", "C:\\HOME");
  MakeLink("C:\\HOME", "C:\\OUTSIDE");
  ASSERT_TRUE(dialog_.GetDirs());
  EXPECT_TRUE(dialog_.RemoveProgramFiles(progress_));
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
  EXPECT_TRUE(UninstallDialog(context_, "First").RemoveRegistration());
  EXPECT_FALSE(Exists(link)) << "the desktop link named under \"link\" is deleted";
  EXPECT_TRUE(registry_.IsValidKey(kMaker));
  EXPECT_FALSE(registry_.IsValidKey(kEntries + "\\First"));
  EXPECT_TRUE(UninstallDialog(context_, "Second").RemoveRegistration());
  EXPECT_FALSE(registry_.IsValidKey(kMaker));
  EXPECT_TRUE(registry_.IsValidKey(kEntries));
  EXPECT_TRUE(Exists("C:\\windows\\system32\\kernel32.dll"));
  // A registration that cannot be deleted keeps its uninstall entry.
  Register("APP", "C:\\APP");
  machine_.registry().DenyWrites(platform::RootKey::LocalMachine, "SOFTWARE\\Vormex kft\\APP");
  EXPECT_FALSE(dialog_.RemoveRegistration());
  EXPECT_TRUE(registry_.IsValidKey(kEntries + "\\APP"));
  EXPECT_THAT(Lf(LogBytes()), HasSubstr("Parancsikon : a(z) \"C:\\windows\\system32\\kernel32.dll\" nem az asztalon lévő "
                                        "parancsikon, nem törlődik\n"));
}

class FlowTest : public UninstallFixture {
 protected:
  FlowTest() {
    machine_.ui().SetProgramName("qzuninst");
    machine_.ui().SetTemplates(templates::kQzuninstDialogs);
    machine_.ui().SetOperator(&operator_);
    machine_.clock().Fix({2026, 12, 6, 0, 10, 0, 0});
  }

  void Install() {
    Register("Számla", "C:\\SZAMLA");
    WriteFile("C:\\SZAMLA\\SZAMLA.EXE");
    WriteFile("C:\\SZAMLA\\DATA.DAT\\VEVO.DAT");
    WriteFile(Group() + "\\Számla.lnk");
  }
  std::string Group() { return Programs() + "\\Számla"; }
  UninstallOutcome Run(std::vector<CommandArgument> arguments) { return UninstallApp(machine_.platform(), arguments); }
  std::string Log() { return HostText(machine_.HostPath(kLogPath)); }
  std::string Transcript() { return machine_.ui().TranscriptText(); }

  platform::sim::ScriptedOperator operator_;
};

TEST_F(FlowTest, RemovesEverythingTheSetupMade) {
  Install();
  for (const char* file : {"\\notes.txt", "\\Sub\\more.lnk"}) WriteFile(Group() + file);  // the group goes whole
  operator_.Click(kConfirmDialogId, platform::kIdOk).On(kUninstallDialogId, [](platform::sim::SimDialog& d) {
    ASSERT_TRUE(d.IsEnabled(platform::kIdOk));
    d.Click(platform::kIdOk);
  });
  EXPECT_EQ(Run({"Számla"}), UninstallOutcome::Finished);
  EXPECT_TRUE(operator_.Done());
  EXPECT_FALSE(Exists("C:\\SZAMLA"));
  EXPECT_FALSE(Exists(Group()));
  EXPECT_FALSE(registry_.IsValidKey(kMaker));
  EXPECT_FALSE(registry_.IsValidKey(kEntries + "\\Számla"));
  EXPECT_THAT(Transcript(), HasSubstr("Dialog 102 \"Számla eltávolító\""));
  EXPECT_THAT(Transcript(), HasSubstr("--- !!! Az eltávolítás sikeresen befejeződött!!! ---"));
  const std::string k = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla";
  EXPECT_THAT(Log(), HasSubstr("* Programnév : Számla\r\n\r\n---> Alkalmazás ellenőrzése\r\n"
                               "Registry : IsValidKey " + k + "] = OK\r\n"
                               "Registry : GetValueString " + k + "\\Version] =  2.1\r\n"
                               "Registry : GetValueString " + k + "\\Home Dir] =  C:\\SZAMLA\r\n"
                               "\r\n\r\n---> Programfájlok törlése\r\n"));
  EXPECT_THAT(Log(), HasSubstr("\r\n\r\n---> Parancsikonok törlése\r\n"));
  EXPECT_THAT(Log(), HasSubstr("\r\n\r\n---> Aplikáció reg. törlése\r\n"));
  EXPECT_THAT(Log(), EndsWith("\r\n\r\n\r\n"));
}

TEST_F(FlowTest, NoNameEndsTheSectionWithoutItsGap) {
  operator_.Answer(platform::kIdOk).Answer(platform::kIdOk);
  EXPECT_EQ(Run({}), UninstallOutcome::Stopped);
  EXPECT_EQ(Run({"-x", "..", "Számla"}), UninstallOutcome::Stopped) << "a name that could leave the program group is none";
  const std::string section =
      "*******************Eltávolítás***********************\r\n"
      "* Dátum : 2026-12-06 Sunday 10:00:00\r\n"
      "* Programnév : ERROR";
  EXPECT_EQ(Log(), section + section);
  EXPECT_THAT(Transcript(),
              HasSubstr("Message box \"qzuninst\" (OK, exclamation): Hiba! Nincs megadva az eltávolítandó program."));
}

TEST_F(FlowTest, CancelledConfirmationRemovesNothing) {
  Install();
  std::string text;
  operator_.Enter(kConfirmDialogId)  // "Kilép" is the default button
      .On(kConfirmDialogId,
          [&text](platform::sim::SimDialog& d) {
            text = d.Text(kConfirmTextId);
            EXPECT_EQ(d.Focus(), platform::kIdCancel) << "Enter must not remove: the focus is on Kilép";
            d.Escape();
          })
      .Close(kConfirmDialogId);
  for (int run = 0; run < 3; ++run) EXPECT_EQ(Run({"Számla"}), UninstallOutcome::Left) << run;
  EXPECT_TRUE(Exists("C:\\SZAMLA\\SZAMLA.EXE"));
  const std::string section =
      "*******************Eltávolítás***********************\r\n"
      "* Dátum : 2026-12-06 Sunday 10:00:00\r\n"
      "* Programnév : Számla\r\n\r\nETLÁVOLÍTÁS MEGSZAKÍTVA!!!\r\n\r\n\r\n";
  EXPECT_EQ(Log(), section + section + section);
  EXPECT_EQ(text, "Ez a program eltávolít minden 'Számla' programcsoporttal kapcsolatos fájlt és bejegyzést!");
}

TEST_F(FlowTest, NotRegisteredRemovesNothing) {
  WriteFile("C:\\SZAMLA\\SZAMLA.EXE");
  operator_.Click(kConfirmDialogId, platform::kIdOk).Answer(platform::kIdOk);
  EXPECT_EQ(Run({"Számla"}), UninstallOutcome::NotInstalled);
  EXPECT_TRUE(Exists("C:\\SZAMLA\\SZAMLA.EXE"));
  EXPECT_THAT(Log(), HasSubstr("=  ERROR\r\nA 'Számla' nincs telepítve!\r\n\r\n\r\n\r\n"));
  EXPECT_THAT(Transcript(), HasSubstr("(OK, exclamation): A 'Számla' nincs telepítve!\n"));
}

// An installation killed while it registered: whatever part of it exists
// is removed, and what is missing is logged.
TEST_F(FlowTest, HalfWrittenRegistrationIsRemovedWhateverPartExists) {
  registry_.SetValueString(kMaker + "\\Számla", "Home Dir", "C:\\SZAMLA");
  WriteFile("C:\\SZAMLA\\SZAMLA.EXE");
  operator_.Click(kConfirmDialogId, platform::kIdOk).Answer(platform::kIdOk);
  operator_.On(kUninstallDialogId, [](platform::sim::SimDialog& d) { d.Click(platform::kIdOk); });
  EXPECT_EQ(Run({"Számla"}), UninstallOutcome::Failed) << "there was no program group to remove";
  EXPECT_FALSE(Exists("C:\\SZAMLA"));
  EXPECT_FALSE(registry_.IsValidKey(kMaker)) << "no empty maker's key is left";
  EXPECT_THAT(Log(), HasSubstr("Uninstall\\Számla] nincs meg, törlöttnek számít\r\n"));
  EXPECT_THAT(Transcript(), Not(HasSubstr("GetDirs")));
}

// The simulated machine's files, with a Windows folder whose long name
// leaves no room for the log's path.
class LongWindowsFolder : public platform::sim::SimFileSystem {
 public:
  using SimFileSystem::SimFileSystem;
  PathText WindowsDir() override { return PathText("C:\\" + std::string(240, 'W')); }
};

TEST_F(FlowTest, TheLogsMessageNamesALongWindowsFolderInFull) {
  std::string folder = "C:\\" + std::string(240, 'W') + "\\Vormex";
  MakeDirs(folder);
  platform::sim::SimPaths paths(machine_.root(), medium_);
  LongWindowsFolder files(paths);
  platform::Platform platform = machine_.platform();
  platform::Platform longFolder{files, platform.registry, platform.clock, platform.ui, platform.shell};
  operator_.Answer(platform::kIdOk);
  EXPECT_EQ(UninstallApp(longFolder, {"Számla"}), UninstallOutcome::Stopped);
  EXPECT_THAT(Transcript(), HasSubstr("Nem hozható létre a " + folder + "\\qzlog.txt logfile!\n    \n    Engedélyezze a " +
                                      folder + " könyvtár\n    írását az installáció megkezdéséhez!\n"));
}

// A name with letters Windows-1250 lacks (given on a system with another
// code page; the '?' stand for them) names no application the setup
// program installed: refused before any page, never taken for a look-alike.
TEST_F(FlowTest, ANameWindows1250CannotCarryIsRefused) {
  Install();
  operator_.Answer(platform::kIdOk);
  EXPECT_EQ(Run({"/S", CommandArgument("Sz?mla", false)}), UninstallOutcome::Stopped);
  EXPECT_TRUE(operator_.Done());
  EXPECT_TRUE(Exists("C:\\SZAMLA"));
  EXPECT_THAT(Log(), HasSubstr("* Programnév : ERROR (\"Sz?mla\" a Windows-1250 kódlapon kívüli karaktert tartalmaz)\r\n"
                               "\r\n\r\n\r\n"));
  EXPECT_THAT(Transcript(), HasSubstr("Hiba! Az eltávolítandó program neve (Sz?mla) a Windows-1250 kódlapon kívüli "
                                      "karaktert tartalmaz."));
  EXPECT_EQ(RunUnattendedUninstall(machine_.platform(), {"/S", CommandArgument("Sz?mla", false)},
                                   qz::templates::kQzuninstDialogs),
            2);
}

// qzuninst.exe /S: no confirmation, no box shown, the boxes in the log and
// the outcome in the exit status.
TEST_F(FlowTest, UnattendedRemovalTellsItsOutcomeAndLogsItsBoxes) {
  auto silent = [this](std::vector<CommandArgument> arguments) {
    return RunUnattendedUninstall(machine_.platform(), arguments, qz::templates::kQzuninstDialogs);
  };
  EXPECT_EQ(silent({"/S", "Számla"}), 2) << "not installed";
  EXPECT_THAT(Log(), HasSubstr("A 'Számla' nincs telepítve!\r\n\r\n[Üzenetablak: qzuninst] A 'Számla' nincs telepítve!\\n\r\n"));
  EXPECT_EQ(silent({"/S"}), 2) << "no name";
  EXPECT_THAT(Log(), HasSubstr("* Programnév : ERROR\r\n[Üzenetablak: qzuninst] Hiba! Nincs megadva"));

  Install();
  machine_.files().SetAttributes("C:\\SZAMLA\\SZAMLA.EXE", platform::kAttributeReadOnly);
  EXPECT_EQ(silent({"/S", "Számla"}), 1);
  EXPECT_TRUE(Exists("C:\\SZAMLA\\SZAMLA.EXE"));
  EXPECT_FALSE(Exists(Group())) << "a failing step lets the others run";
  EXPECT_FALSE(registry_.IsValidKey(kMaker + "\\Számla"));
  EXPECT_THAT(Log(), HasSubstr("[Üzenetablak: qzuninst] A fileok törlése nem sikerült!\r\n\r\n\r\n---> Parancsikonok törlése\r\n"));

  Install();
  machine_.files().SetAttributes("C:\\SZAMLA\\SZAMLA.EXE", 0);
  EXPECT_EQ(silent({"/S", "Számla", "other"}), 0) << "the first plain argument names the application";
  EXPECT_FALSE(Exists("C:\\SZAMLA"));
  EXPECT_FALSE(registry_.IsValidKey(kEntries + "\\Számla"));
  EXPECT_EQ(Transcript(), "") << "the machine's own user interface is never used";
}

}  // namespace
}  // namespace qz::test
