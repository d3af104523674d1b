// The uninstaller's runs from start to end on the simulated machine.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/CodePage.h"
#include "platform/sim/DialogTemplate.h"
#include "platform/sim/ScriptedOperator.h"
#include "platform/sim/SimMachine.h"
#include "tests/support/TempDir.h"
#include "uninst/ConfirmDialog.h"
#include "uninst/UninstallApp.h"
#include "uninst/UninstallDialog.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQzuninstDialogs;
}

namespace qz::test {
namespace {

using platform::sim::ScriptedOperator;

constexpr const char* kApp = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla";
constexpr const char* kEntry = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Számla";

class FlowTest : public ::testing::Test {
 protected:
  FlowTest() : machine_(temp_.path() / "machine", temp_.path()) {
    machine_.ui().SetProgramName("qzuninst");
    machine_.ui().SetTemplates(templates::kQzuninstDialogs);
    machine_.ui().SetOperator(&operator_);
    machine_.clock().Fix({2026, 12, 6, 0, 10, 0, 0});
  }

  void Install() {
    Registry registry(machine_.registry());
    registry.SetValueString(kApp, "Home Dir", "C:\\SZAMLA");
    registry.SetValueString(kApp, "Version", "2.1");
    registry.SetValueString(kEntry, "DisplayName", "Számla");
    File("C:\\SZAMLA\\SZAMLA.EXE");
    File("C:\\SZAMLA\\DATA.DAT\\VEVO.DAT");
    File(Group() + "\\Számla.lnk");
  }

  std::string Group() {
    return "C:\\users\\" + platform::sim::SimMachine::UserName() +
           "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Számla";
  }

  void File(const std::string& path) {
    std::filesystem::path host = machine_.HostPath(path.c_str());
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host) << "x";
  }

  bool Exists(const std::string& path) { return std::filesystem::exists(machine_.HostPath(path.c_str())); }

  UninstallOutcome Run(std::vector<std::string> arguments) { return UninstallApp(machine_.platform(), arguments); }

  std::string Log() {
    std::ifstream in(machine_.HostPath("C:\\windows\\Vormex\\qzlog.txt"), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string Transcript() { return machine_.ui().TranscriptText(); }

  // Confirms, then presses "Befejezés" when the removal has ended.
  void ConfirmAndFinish() {
    operator_.Click(kConfirmDialogId, platform::kIdOk).On(kUninstallDialogId, [](platform::sim::SimDialog& d) {
      ASSERT_TRUE(d.IsEnabled(platform::kIdOk));
      d.Click(platform::kIdOk);
    });
  }

  TempDir temp_;
  platform::sim::SimMachine machine_;
  ScriptedOperator operator_;
};

TEST_F(FlowTest, RemovesEverythingTheSetupMade) {
  Install();
  ConfirmAndFinish();
  EXPECT_EQ(Run({"Számla"}), UninstallOutcome::Finished);
  EXPECT_TRUE(operator_.Done());
  EXPECT_FALSE(Exists("C:\\SZAMLA"));
  EXPECT_FALSE(Exists(Group()));
  Registry registry(machine_.registry());
  EXPECT_FALSE(registry.IsValidKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft"));
  EXPECT_FALSE(registry.IsValidKey(kEntry));
  std::string transcript = Transcript();
  EXPECT_NE(transcript.find("Dialog 102 \"Számla eltávolító\""), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("--- !!! Az eltávolítás sikeresen befejeződött!!! ---"), std::string::npos);
  std::string log = Log();
  EXPECT_NE(log.find("* Programnév : Számla\r\n\r\n---> Alkalmazás ellenőrzése\r\n"
                     "Registry : IsValidKey [HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla] = OK\r\n"
                     "Registry : GetValueString [HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla\\Version] =  2.1\r\n"
                     "Registry : GetValueString [HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla\\Home Dir] =  C:\\SZAMLA\r\n"
                     "\r\n\r\n---> Programfájlok törlése\r\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("\r\n\r\n---> Parancsikonok törlése\r\n"), std::string::npos);
  EXPECT_NE(log.find("\r\n\r\n---> Aplikáció reg. törlése\r\n"), std::string::npos);
  EXPECT_EQ(log.substr(log.size() - 6), "\r\n\r\n\r\n");
}

TEST_F(FlowTest, NoNameEndsTheSectionWithoutItsGap) {
  operator_.Answer(platform::kIdOk);
  EXPECT_EQ(Run({}), UninstallOutcome::Stopped);
  operator_.Answer(platform::kIdOk);
  EXPECT_EQ(Run({"-x", ".."}), UninstallOutcome::Stopped) << "a name that could leave the program group is none";
  EXPECT_EQ(Log(),
            "*******************Eltávolítás***********************\r\n"
            "* Dátum : 2026-12-06 Sunday 10:00:00\r\n"
            "* Programnév : ERROR*******************Eltávolítás***********************\r\n"
            "* Dátum : 2026-12-06 Sunday 10:00:00\r\n"
            "* Programnév : ERROR");
  EXPECT_NE(Transcript().find("Message box \"qzuninst\" (OK, exclamation): Hiba! Nincs megadva az eltávolítandó program."),
            std::string::npos);
}

TEST_F(FlowTest, CancelledConfirmationRemovesNothing) {
  Install();
  operator_.Enter(kConfirmDialogId);  // "Kilép" is the default button
  EXPECT_EQ(Run({"Számla"}), UninstallOutcome::Left);
  EXPECT_TRUE(Exists("C:\\SZAMLA\\SZAMLA.EXE"));
  std::string log = Log();
  std::string end = "* Programnév : Számla\r\n\r\nETLÁVOLÍTÁS MEGSZAKÍTVA!!!\r\n\r\n\r\n";
  ASSERT_GT(log.size(), end.size());
  EXPECT_EQ(log.substr(log.size() - end.size()), end);
  std::string text;
  operator_.On(kConfirmDialogId, [&text](platform::sim::SimDialog& d) {
    text = d.Text(kConfirmTextId);
    d.Escape();
  });
  EXPECT_EQ(Run({"Számla"}), UninstallOutcome::Left);
  operator_.Close(kConfirmDialogId);
  EXPECT_EQ(Run({"Számla"}), UninstallOutcome::Left);
  EXPECT_EQ(text, "Ez a program eltávolít minden 'Számla' programcsoporttal kapcsolatos fájlt és bejegyzést!");
}

TEST_F(FlowTest, NotRegisteredShowsItsMessageAndRemovesNothing) {
  File("C:\\SZAMLA\\SZAMLA.EXE");
  operator_.Click(kConfirmDialogId, platform::kIdOk).Answer(platform::kIdOk);
  EXPECT_EQ(Run({"Számla"}), UninstallOutcome::Failed);
  EXPECT_TRUE(Exists("C:\\SZAMLA\\SZAMLA.EXE"));
  std::string log = Log();
  EXPECT_NE(log.find("=  ERROR\r\nA 'Számla' nincs telepítve!\r\n\r\n\r\n\r\n"), std::string::npos) << log;
  EXPECT_NE(Transcript().find("(OK, exclamation): A 'Számla' nincs telepítve!\n"), std::string::npos);
}

TEST_F(FlowTest, GetDirsFailingClosesThePage) {
  Registry registry(machine_.registry());
  registry.SetValueString(kApp, "Home Dir", "C:\\SZAMLA");
  File("C:\\SZAMLA\\SZAMLA.EXE");
  operator_.Click(kConfirmDialogId, platform::kIdOk).Answer(platform::kIdOk);
  EXPECT_EQ(Run({"Számla"}), UninstallOutcome::Failed);
  EXPECT_TRUE(Exists("C:\\SZAMLA\\SZAMLA.EXE"));
  std::string transcript = Transcript();
  EXPECT_NE(transcript.find("Az eltávolítás nem sikerült! (GetDirs)"), std::string::npos);
  EXPECT_EQ(transcript.find("--- !!!"), std::string::npos) << "no result line";
  EXPECT_EQ(Log().find("---> Programfájlok törlése"), std::string::npos);
}

TEST_F(FlowTest, FailingFileStepLetsTheOtherStepsRun) {
  Install();
  machine_.files().SetAttributes("C:\\SZAMLA\\SZAMLA.EXE", platform::kAttributeReadOnly);
  operator_.Click(kConfirmDialogId, platform::kIdOk).Answer(platform::kIdOk);
  operator_.On(kUninstallDialogId, [](platform::sim::SimDialog& d) { d.Click(platform::kIdOk); });
  EXPECT_EQ(Run({"Számla"}), UninstallOutcome::Failed);
  EXPECT_TRUE(Exists("C:\\SZAMLA\\SZAMLA.EXE"));
  EXPECT_FALSE(Exists(Group())) << "the program group is removed all the same";
  EXPECT_FALSE(Registry(machine_.registry()).IsValidKey(kApp)) << "and the registration";
  std::string transcript = Transcript();
  std::size_t box = transcript.find("A fileok törlése nem sikerült!");
  std::size_t shortcuts = transcript.find("Parancsikonok törlése...");
  std::size_t result = transcript.find("--- !!! Hiba történt az eltávolítás közben!!! ---");
  ASSERT_NE(box, std::string::npos);
  EXPECT_LT(box, shortcuts);
  EXPECT_LT(shortcuts, result);
}

}  // namespace
}  // namespace qz::test
