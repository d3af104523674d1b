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

TEST_F(RemovalTest, HomeDirectoryThatIsNotTheApplicationsOwnIsNeverRemoved) {
  WriteFile("C:\\windows\\keep.ini");
  WriteFile("C:\\users\\" + platform::sim::SimMachine::UserName() + "\\Documents\\letter.doc");
  std::string profile = "C:\\users\\" + platform::sim::SimMachine::UserName();
  std::string programs = Programs();
  for (std::string home :
       {std::string("C:\\"), std::string("C:"), std::string("c:\\Windows"), std::string("C:\\windows\\system32\\"),
        std::string("C:\\windows\\Vormex"), std::string("C:\\users"), programs, std::string("C:\\APP\\.."),
        std::string(".."), std::string("..\\.."), std::string("..\\windows"), std::string("C:\\windows\\...\\system32"),
        std::string("C:\\windows\\.. \\system32"), profile, profile + "\\Documents", std::string("C:\\Program Files"),
        std::string("C:\\PROGRA~1"), std::string("C:\\ProgramData")}) {
    Register("APP", home);
    ASSERT_TRUE(dialog_.GetDirs());
    EXPECT_FALSE(dialog_.RemoveProgramFiles(progress_)) << home;
  }
  EXPECT_TRUE(Exists("C:\\windows\\keep.ini"));
  EXPECT_TRUE(Exists(profile + "\\Documents\\letter.doc"));
  EXPECT_TRUE(list_.items().empty());
  std::string log = Lf(LogBytes());
  EXPECT_THAT(log, HasSubstr("Könyvtár törlés : C:\\...ERROR\n\n!!! LogError : code = 5, Message : Hozzáférés megtagadva.\r\n\n"
                             "Nem törölhető könyvtár : a(z) \"C:\\\" meghajtó gyökérkönyvtára\n"));
  EXPECT_THAT(log, HasSubstr("Nem törölhető könyvtár : a(z) \"..\\windows\" nem teljes elérési út\n"));
  EXPECT_THAT(log, HasSubstr("Nem törölhető könyvtár : a(z) C:\\Program Files védett mappa\n"));
  EXPECT_THAT(log, HasSubstr("Nem törölhető könyvtár : a(z) \"C:\\PROGRA~1\" a lemezen ide mutat: a(z) C:\\Program Files "
                             "védett mappa\n"));
  EXPECT_THAT(log, Not(HasSubstr("OK\nKönyvtár")));
}

// A link inside the tree (or the tree itself being one) goes as a link:
// what it points to stays.
TEST_F(RemovalTest, LinksAreRemovedNeverFollowed) {
  WriteFile("C:\\OUTSIDE\\keep.dat");
  WriteFile("C:\\OUTSIDE\\Deep\\keep2.dat");
  WriteFile("C:\\APP\\prog.exe");
  MakeLink("C:\\APP\\DATA", "C:\\OUTSIDE");
  MakeLink("C:\\APP\\file.lnk", "C:\\OUTSIDE\\keep.dat");
  MakeLink("C:\\APP\\gone", "C:\\NOWHERE");
  MakeLink("C:\\APP\\ROOT", "C:\\");
  EXPECT_TRUE(dialog_.RemoveTree("C:\\APP", progress_));
  EXPECT_FALSE(Exists("C:\\APP"));
  EXPECT_TRUE(Exists("C:\\OUTSIDE\\keep.dat"));
  EXPECT_TRUE(Exists("C:\\OUTSIDE\\Deep\\keep2.dat"));
  EXPECT_TRUE(Exists("C:\\windows"));

  Register("APP", "C:\\HOME");
  MakeLink("C:\\HOME", "C:\\OUTSIDE");
  ASSERT_TRUE(dialog_.GetDirs());
  EXPECT_TRUE(dialog_.RemoveProgramFiles(progress_));
  EXPECT_FALSE(std::filesystem::is_symlink(machine_.HostPath("C:\\HOME")));
  EXPECT_TRUE(Exists("C:\\OUTSIDE\\Deep\\keep2.dat"));
  std::string log = Lf(LogBytes());
  EXPECT_THAT(log, HasSubstr("Könyvtár hivatkozás : C:\\APP\\DATA (csak a hivatkozás törlődik, amire mutat, az nem)\n"
                             "Könyvtár törlés : C:\\APP\\DATA...OK\n"));
  EXPECT_THAT(log, HasSubstr("Fájl törlés : C:\\APP\\file.lnk...OK\n"));
  EXPECT_THAT(log, HasSubstr("Könyvtár törlés : C:\\HOME...OK\n"));
}

TEST_F(RemovalTest, TwoApplicationsAndTheMakersKeyThatGoesWithTheLast) {
  Register("First", "C:\\F");
  Register("Second", "C:\\S");
  std::string link = Desktop() + "\\First.lnk";
  WriteFile(link);
  registry_.SetValueString(kMaker + "\\First", "Link", link.c_str());
  EXPECT_TRUE(UninstallDialog(context_, "First").RemoveRegistration());
  EXPECT_FALSE(Exists(link)) << "the desktop link named under \"link\" is deleted";
  EXPECT_TRUE(registry_.IsValidKey(kMaker));
  EXPECT_FALSE(registry_.IsValidKey(kEntries + "\\First"));
  EXPECT_TRUE(UninstallDialog(context_, "Second").RemoveRegistration());
  EXPECT_FALSE(registry_.IsValidKey(kMaker));
  EXPECT_TRUE(registry_.IsValidKey(kEntries));
  // A registration that cannot be deleted keeps its uninstall entry.
  Register("APP", "C:\\APP");
  machine_.registry().DenyWrites(platform::RootKey::LocalMachine, "SOFTWARE\\Vormex kft\\APP");
  EXPECT_FALSE(dialog_.RemoveRegistration());
  EXPECT_TRUE(registry_.IsValidKey(kEntries + "\\APP"));
}

TEST_F(RemovalTest, LinkValueThatNamesNoDesktopShortcutIsLeftAlone) {
  std::string desktop = Desktop();
  for (std::string other : {std::string("C:\\windows\\system32\\kernel32.dll"), desktop + "\\letter.doc",
                            desktop + "\\Sub\\x.lnk", desktop + "\\..\\Documents\\x.lnk", std::string("x.lnk"),
                            std::string("C:\\users\\x\\link.lnk")}) {
    WriteFile(other == "x.lnk" ? desktop + "\\x.lnk" : other);
    Register("APP", "C:\\APP");
    registry_.SetValueString(kMaker + "\\APP", "Link", other.c_str());
    EXPECT_TRUE(dialog_.RemoveRegistration()) << other;
  }
  EXPECT_TRUE(Exists("C:\\windows\\system32\\kernel32.dll"));
  EXPECT_TRUE(Exists(desktop + "\\letter.doc"));
  EXPECT_TRUE(Exists(desktop + "\\Sub\\x.lnk"));
  EXPECT_TRUE(Exists(desktop + "\\x.lnk"));
  EXPECT_THAT(Lf(LogBytes()), HasSubstr("Parancsikon : a(z) \"C:\\windows\\system32\\kernel32.dll\" nem az asztalon lévő "
                                        "parancsikon, nem törlődik\n"));
}

TEST_F(RemovalTest, ProgramGroupWithMoreThanTheShortcuts) {
  std::string group = Programs() + "\\Számla";
  for (const char* file : {"\\Számla.lnk", "\\notes.txt", "\\Sub\\more.lnk"}) WriteFile(group + file);
  EXPECT_TRUE(UninstallDialog(context_, "Számla").RemoveShortcuts(progress_));
  EXPECT_FALSE(Exists(group));
}

TEST(ApplicationNameTest, FirstPlainArgumentIfItIsSafe) {
  EXPECT_EQ(ApplicationNameFrom({"/S", "-x", "Számla Pro", "other"}), "Számla Pro");
  EXPECT_EQ(ApplicationNameFrom({}), "");
  EXPECT_EQ(ApplicationNameFrom({"-only"}), "");
  for (const char* unsafe : {"", ".", "..", "...", " ", ". .", "x.", "CON", "a:b", "..\\..\\windows", "a/b", "Start\\x"}) {
    EXPECT_EQ(ApplicationNameFrom({unsafe}), "") << unsafe;
  }
  EXPECT_EQ(ApplicationNameFrom({std::string(255, 'n')}), std::string(255, 'n'));
  EXPECT_EQ(ApplicationNameFrom({std::string(256, 'n')}), "");
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
  UninstallOutcome Run(std::vector<std::string> arguments) { return UninstallApp(machine_.platform(), arguments); }
  std::string Log() { return HostText(machine_.HostPath(kLogPath)); }
  std::string Transcript() { return machine_.ui().TranscriptText(); }

  platform::sim::ScriptedOperator operator_;
};

TEST_F(FlowTest, RemovesEverythingTheSetupMade) {
  Install();
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
  EXPECT_EQ(Run({"-x", ".."}), UninstallOutcome::Stopped) << "a name that could leave the program group is none";
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
  EXPECT_THAT(Log(), HasSubstr("Nincs telepített verzió (\"Version\"): a telepítés félbemaradt, az eltávolítás folytatódik"));
  EXPECT_THAT(Log(), HasSubstr("Uninstall\\Számla] nincs meg, törlöttnek számít\r\n"));
  EXPECT_THAT(Transcript(), Not(HasSubstr("GetDirs")));

  // The key alone: no values at all, the program group already made.
  platform::KeyHandle key;
  ASSERT_EQ(machine_.registry().CreateKey(platform::RootKey::LocalMachine, "SOFTWARE\\Vormex kft\\Számla", key), 0u);
  machine_.registry().CloseKey(key);
  WriteFile(Group() + "\\Számla.lnk");
  operator_.Click(kConfirmDialogId, platform::kIdOk).Answer(platform::kIdOk);
  operator_.On(kUninstallDialogId, [](platform::sim::SimDialog& d) { d.Click(platform::kIdOk); });
  EXPECT_EQ(Run({"Számla"}), UninstallOutcome::Failed) << "the files could not be found";
  EXPECT_FALSE(Exists(Group()));
  EXPECT_FALSE(registry_.IsValidKey(kMaker));
  EXPECT_THAT(Log(), HasSubstr("Nincs telepítési könyvtár (\"Home Dir\"): a programfájlok törlése kimarad"));
}

TEST_F(FlowTest, FailingFileStepLetsTheOtherStepsRun) {
  Install();
  machine_.files().SetAttributes("C:\\SZAMLA\\SZAMLA.EXE", platform::kAttributeReadOnly);
  operator_.Click(kConfirmDialogId, platform::kIdOk).Answer(platform::kIdOk);
  operator_.On(kUninstallDialogId, [](platform::sim::SimDialog& d) { d.Click(platform::kIdOk); });
  EXPECT_EQ(Run({"Számla"}), UninstallOutcome::Failed);
  EXPECT_TRUE(Exists("C:\\SZAMLA\\SZAMLA.EXE"));
  EXPECT_FALSE(Exists(Group())) << "the program group is removed all the same";
  EXPECT_FALSE(registry_.IsValidKey(kMaker + "\\Számla")) << "and the registration";
  std::string transcript = Transcript();
  std::size_t box = transcript.find("A fileok törlése nem sikerült!");
  std::size_t shortcuts = transcript.find("Parancsikonok törlése...");
  std::size_t result = transcript.find("--- !!! Hiba történt az eltávolítás közben!!! ---");
  ASSERT_NE(box, std::string::npos);
  EXPECT_LT(box, shortcuts);
  EXPECT_LT(shortcuts, result);
}

// A machine whose Windows folder has a long name and whose log cannot be
// opened there: the rest is the simulated machine's.
class LongWindowsFolder : public platform::FileSystem {
 public:
  explicit LongWindowsFolder(platform::FileSystem& files) : files_(files) {}
  PathText WindowsDir() override { return PathText("C:\\" + std::string(240, 'W')); }
  PathText SystemDir() override { return files_.SystemDir(); }
  std::vector<std::string> SystemFolders() override { return files_.SystemFolders(); }
  platform::ErrorCode FinalPath(const char* p, PathText& f) override { return files_.FinalPath(p, f); }
  platform::ErrorCode MakeDirectory(const char*) override { return platform::kOk; }
  platform::ErrorCode CopyFileTo(const char* s, const char* t, bool f, std::uint32_t* a) override {
    return files_.CopyFileTo(s, t, f, a);
  }
  platform::ErrorCode GetAttributes(const char* p, std::uint32_t& a) override { return files_.GetAttributes(p, a); }
  platform::ErrorCode SetAttributes(const char* p, std::uint32_t a) override { return files_.SetAttributes(p, a); }
  platform::ErrorCode RemoveFile(const char* p) override { return files_.RemoveFile(p); }
  platform::ErrorCode RemoveDir(const char* p) override { return files_.RemoveDir(p); }
  std::unique_ptr<platform::DirectorySearch> FindFiles(const char* p, platform::ErrorCode& e) override {
    return files_.FindFiles(p, e);
  }
  std::unique_ptr<platform::InputFile> OpenForReading(const char* p, platform::ShareMode s,
                                                      platform::ErrorCode& e) override {
    return files_.OpenForReading(p, s, e);
  }
  std::unique_ptr<platform::OutputFile> OpenForAppending(const char*, platform::ShareMode,
                                                         platform::ErrorCode& e) override {
    e = platform::kErrorAccessDenied;
    return nullptr;
  }
  void ErrorMessage(platform::ErrorCode c, TextBuffer& t) override { files_.ErrorMessage(c, t); }

 private:
  platform::FileSystem& files_;
};

TEST_F(FlowTest, TheLogsMessageNamesALongWindowsFolderInFull) {
  LongWindowsFolder files(machine_.files());
  platform::Platform platform = machine_.platform();
  platform::Platform longFolder{files, platform.registry, platform.clock, platform.ui, platform.shell};
  operator_.Answer(platform::kIdOk);
  EXPECT_EQ(UninstallApp(longFolder, {"Számla"}), UninstallOutcome::Stopped);
  std::string folder = "C:\\" + std::string(240, 'W') + "\\Vormex";
  EXPECT_THAT(Transcript(), HasSubstr("Nem hozható létre a " + folder + "\\qzlog.txt logfile!\n    \n    Engedélyezze a " +
                                      folder + " könyvtár\n    írását az installáció megkezdéséhez!\n"));
}

// qzuninst.exe /S: no confirmation, no box shown, the boxes in the log and
// the outcome in the exit status.
TEST_F(FlowTest, UnattendedRemovalTellsItsOutcomeAndLogsItsBoxes) {
  auto silent = [this](std::vector<std::string> arguments) {
    return RunUnattendedUninstall(machine_.platform(), arguments, qz::templates::kQzuninstDialogs);
  };
  EXPECT_EQ(silent({"/S", "Számla"}), 2) << "not installed";
  EXPECT_THAT(Log(), HasSubstr("A 'Számla' nincs telepítve!\r\n\r\n[Üzenetablak: qzuninst] A 'Számla' nincs telepítve!\\n\r\n"));
  EXPECT_EQ(silent({"/S"}), 2) << "no name";
  EXPECT_THAT(Log(), HasSubstr("* Programnév : ERROR\r\n[Üzenetablak: qzuninst] Hiba! Nincs megadva"));

  Install();
  machine_.files().SetAttributes("C:\\SZAMLA\\SZAMLA.EXE", platform::kAttributeReadOnly);
  EXPECT_EQ(silent({"/S", "Számla"}), 1);
  EXPECT_THAT(Log(), HasSubstr("[Üzenetablak: qzuninst] A fileok törlése nem sikerült!\r\n"));

  Install();
  machine_.files().SetAttributes("C:\\SZAMLA\\SZAMLA.EXE", 0);
  EXPECT_EQ(silent({"/S", "Számla"}), 0);
  EXPECT_FALSE(Exists("C:\\SZAMLA"));
  EXPECT_FALSE(registry_.IsValidKey(kEntries + "\\Számla"));
  EXPECT_EQ(Transcript(), "") << "the machine's own user interface is never used";
}

}  // namespace
}  // namespace qz::test
