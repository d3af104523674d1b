// The uninstaller's runs from start to end.

#include "platform/sim/DialogTemplate.h"
#include "platform/sim/ScriptedOperator.h"
#include "tests/uninst/UninstallFixture.h"
#include "uninst/ConfirmDialog.h"
#include "uninst/UnattendedUninstall.h"
#include "uninst/UninstallApp.h"
#include "uninst/UninstallDialog.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQzuninstDialogs;
}

namespace qz::test {
namespace {

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
  EXPECT_THAT(Transcript(), HasSubstr("--- !!! Az eltávolítás sikeresen befejeződött!!! ---"));
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
