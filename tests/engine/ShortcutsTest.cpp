// The application's registration and its shortcuts.

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <cstdio>
#include <map>

#include "common/CodePage.h"
#include "engine/Shortcuts.h"
#include "tests/engine/StepFixture.h"

namespace qz::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr const char* kPrograms = "C:\\users\\%s\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";

// What lnkinfo reads out of a link file: its "name : value" lines, in
// Windows-1250 as the programs hold texts.
std::map<std::string, std::string> ReadLink(const std::filesystem::path& file) {
  std::map<std::string, std::string> fields;
  std::string command = "lnkinfo -c windows-1250 '" + file.string() + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return fields;
  char buffer[4096];
  while (fgets(buffer, sizeof buffer, pipe)) {
    std::string line = buffer;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::size_t first = line.find_first_not_of('\t');
    std::size_t last = line.find_last_not_of(" \t", colon - 1);
    if (first == std::string::npos || last == std::string::npos || last < first) continue;
    std::string name = line.substr(first, last - first + 1);
    std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : "";
    std::string converted;
    if (!fields.count(name) && Cp1250FromUtf8(value, converted)) fields[name] = converted;
  }
  pclose(pipe);
  return fields;
}

bool HaveLnkinfo() { return std::system("lnkinfo -V >/dev/null 2>&1") == 0; }

class ShortcutsTest : public StepFixture {
 protected:
  ShortcutsTest() {
    programs_.Format(kPrograms, platform::sim::SimMachine::UserName().c_str());
    desktop_.Format("C:\\users\\%s\\Desktop", platform::sim::SimMachine::UserName().c_str());
    group_ = std::string(programs_.c_str()) + "\\Próba";
    MakeDirs("C:\\APP");
    WriteMachineFile("C:\\APP\\PROG.EXE", "MZ");
    // Where the script's "WinDir:" and "VormexDir:" sections put the
    // uninstaller.
    WriteMachineFile("C:\\windows\\qzuninst.exe", "MZ");
    WriteMachineFile("C:\\windows\\Vormex\\qzuninst.exe", "MZ");
  }

  std::string Value(const std::string& key, const char* name) {
    NameText value;
    Registry quiet(machine_.registry());
    return quiet.GetValueString(key, name, value) ? value.c_str() : "<missing>";
  }

  PathText programs_;
  PathText desktop_;
  std::string group_;
  const std::string makerKey_ = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Próba";
  const std::string uninstallKey_ = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Próba";
};

TEST_F(ShortcutsTest, RegisterAppWritesTheInstallationAndItsUninstallEntry) {
  ASSERT_TRUE(RegisterApp(ctx_));
  EXPECT_EQ(Value(makerKey_, "Home Dir"), "C:\\APP");
  EXPECT_EQ(Value("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex Kft\\Próba", "version"), "2.0");
  EXPECT_EQ(Value(uninstallKey_, "DisplayName"), "Próba");
  EXPECT_EQ(Value(uninstallKey_, "UninstallString"), "C:\\windows\\qzuninst.exe \"Próba\"");
  EXPECT_EQ(TakeLog(),
            "\n\n---> Alkalmazás regisztráció\n"
            "Registry : SetValueString [" + makerKey_ + "\\Home Dir] = C:\\APP\n"
            "Registry : SetValueString [" + makerKey_ + "\\Version] = 2.0\n"
            "Registry : SetValueString [" + uninstallKey_ + "\\DisplayName] = Próba\n"
            "Registry : SetValueString [" + uninstallKey_ + "\\UninstallString] = C:\\windows\\qzuninst.exe \"Próba\"\n");
}

TEST_F(ShortcutsTest, RegisterAppStopsAtTheFirstFailedWrite) {
  machine_.registry().DenyWrites(platform::RootKey::LocalMachine, "SOFTWARE\\Microsoft");
  EXPECT_FALSE(RegisterApp(ctx_));
  EXPECT_EQ(Value(makerKey_, "Version"), "2.0") << "what was written before stays";
  EXPECT_EQ(Value(uninstallKey_, "DisplayName"), "<missing>");

  machine_.registry().DenyWrites(platform::RootKey::LocalMachine, "SOFTWARE\\Vormex kft");
  settings_.appName = "Másik";
  TakeLog();
  EXPECT_FALSE(RegisterApp(ctx_));
  // The key cannot be created: the line of the write and nothing after it.
  EXPECT_EQ(TakeLog(),
            "\n\n---> Alkalmazás regisztráció\n"
            "Registry : SetValueString [HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Másik\\Home Dir] = C:\\APP\n");
}

TEST_F(ShortcutsTest, AnUninstallerTheScriptDidNotInstallIsPointedOut) {
  std::filesystem::remove(machine_.HostPath("C:\\windows\\qzuninst.exe"));
  std::filesystem::remove(machine_.HostPath("C:\\windows\\Vormex\\qzuninst.exe"));
  WriteScript({"Home:"});
  EXPECT_TRUE(RegisterApp(ctx_));
  EXPECT_TRUE(MakeIcon(ctx_));
  EXPECT_TRUE(Exists((group_ + "\\Próba eltávolítása.lnk").c_str())) << "made as specified";
  std::string log = TakeLog();
  EXPECT_THAT(log, HasSubstr("UninstallString] = C:\\windows\\qzuninst.exe \"Próba\"\n"
                             "Figyelem : az eltávolító program nem található : C:\\windows\\qzuninst.exe\n"));
  EXPECT_THAT(log, HasSubstr("eltávolítása.lnk\n"
                             "Figyelem : az eltávolító program nem található : C:\\windows\\Vormex\\qzuninst.exe\n"));
}

TEST_F(ShortcutsTest, AnAppNameThatNamesNoFolderIsRefused) {
  // Such a name would put the values on the maker's key and on the list of
  // uninstall entries itself, and make the Programs folder the group.
  for (const char* name : {"", "..", " . "}) {
    settings_.appName = name;
    EXPECT_FALSE(RegisterApp(ctx_)) << name;
    EXPECT_FALSE(MakeIcon(ctx_)) << name;
    EXPECT_EQ(TakeLog(), std::string("\n\n---> Alkalmazás regisztráció\n") +
                             "Alkalmazás regisztráció : érvénytelen alkalmazásnév \"" + name + "\"\n" +
                             "\n\n---> Ikonok készítése\n" + "MakeIcon : érvénytelen alkalmazásnév \"" + name + "\"\n");
  }
  EXPECT_THAT(RegistryText(), Not(HasSubstr("DisplayName")));
}

TEST_F(ShortcutsTest, InstallMakesTheGroupTheShortcutsAndTheUninstallShortcut) {
  WriteScript({"Menu:", "\"PROG.EXE\" \"Program\"", "Desktop:", "\"PROG.EXE\"   \"Program\"", "Home:"});
  ASSERT_TRUE(MakeIcon(ctx_));

  std::string menuLink = group_ + "\\Program.lnk";
  std::string uninstallLink = group_ + "\\Próba eltávolítása.lnk";
  std::string desktopLink = std::string(desktop_.c_str()) + "\\Program.lnk";
  EXPECT_TRUE(Exists(menuLink.c_str()));
  EXPECT_TRUE(Exists(uninstallLink.c_str()));
  EXPECT_TRUE(Exists(desktopLink.c_str()));
  EXPECT_EQ(Value(makerKey_, "Link"), desktopLink);
  EXPECT_EQ(machine_.shell().initializeCount(), 0);
  EXPECT_THAT(events(), IsEmpty());
  EXPECT_EQ(TakeLog(),
            "\n\n---> Ikonok készítése\n"
            "Registry : GetValueString [HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"
            "\\Shell Folders\\Programs] =  " + std::string(programs_.c_str()) + "\n"
            "MakeIcon : Könyvtár létrehozás " + group_ + " ...OK\n"
            "Shortcut : C:\\APP\\PROG.EXE <- " + menuLink + "\n"
            "Registry : GetValueString [HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"
            "\\Shell Folders\\Desktop] =  " + std::string(desktop_.c_str()) + "\n"
            "Shortcut : C:\\APP\\PROG.EXE <- " + desktopLink + "\n"
            "Registry : SetValueString [" + makerKey_ + "\\Link] = " + desktopLink + "\n"
            "Shortcut : C:\\windows\\Vormex\\qzuninst.exe <- " + uninstallLink + "\n");

  if (!HaveLnkinfo()) GTEST_SKIP() << "lnkinfo (liblnk-utils) is not installed: the links are not read back";
  auto menu = ReadLink(machine_.HostPath(menuLink.c_str()));
  EXPECT_EQ(menu["Local path"], "C:\\APP\\PROG.EXE");
  EXPECT_EQ(menu["Working directory"], "C:\\APP");
  EXPECT_EQ(menu["Description"], "Program");
  EXPECT_EQ(menu["Command line arguments"], "");
  auto uninstall = ReadLink(machine_.HostPath(uninstallLink.c_str()));
  EXPECT_EQ(uninstall["Local path"], "C:\\windows\\Vormex\\qzuninst.exe");
  EXPECT_EQ(uninstall["Working directory"], "C:\\windows\\Vormex");
  EXPECT_EQ(uninstall["Description"], "Próba eltávolítása");
  EXPECT_EQ(uninstall["Command line arguments"], "\"Próba\"");
  EXPECT_EQ(ReadLink(machine_.HostPath(desktopLink.c_str()))["Local path"], "C:\\APP\\PROG.EXE");
}

TEST_F(ShortcutsTest, PatchRenewsTheShortcutsWithoutTheUninstallShortcut) {
  settings_.installType = kInstallPatch;
  MakeDirs(group_.c_str());  // an existing group is no failure
  std::string desktopLink = std::string(desktop_.c_str()) + "\\Program.lnk";
  WriteMachineFile(desktopLink.c_str(), "an older link");
  WriteScript({"Menu:", "\"PROG.EXE\" \"Program\"", "Desktop:", "\"PROG.EXE\" \"Program\"",
               "\"$HOMEDIR$\\..\\APP\\PROG.EXE\" \"Második\""});
  ASSERT_TRUE(MakeIcon(ctx_));
  EXPECT_TRUE(Exists((group_ + "\\Program.lnk").c_str()));
  EXPECT_FALSE(Exists((group_ + "\\Próba eltávolítása.lnk").c_str()));
  EXPECT_NE(ReadMachineFile(desktopLink.c_str()), "an older link");
  // "Link" holds the last desktop shortcut made.
  EXPECT_EQ(Value(makerKey_, "Link"), std::string(desktop_.c_str()) + "\\Második.lnk");
  EXPECT_EQ(Value(makerKey_, "Home Dir"), "<missing>");
  EXPECT_EQ(Value(uninstallKey_, "UninstallString"), "<missing>");
  std::string log = TakeLog();
  EXPECT_THAT(log, HasSubstr("MakeIcon : Könyvtár létrehozás " + group_ + " ...OK\n"));
  EXPECT_THAT(log, HasSubstr("Shortcut : C:\\APP\\C:\\APP\\..\\APP\\PROG.EXE <- ")) << "the file is relative to HomeDir";
}

TEST_F(ShortcutsTest, ADesktopShortcutThatCannotBeSavedSetsNoLink) {
  std::string first = std::string(desktop_.c_str()) + "\\Első.lnk";
  std::string second = std::string(desktop_.c_str()) + "\\Második.lnk";
  WriteMachineFile(second.c_str(), "locked");
  ASSERT_EQ(machine_.files().SetAttributes(second.c_str(), platform::kAttributeReadOnly), platform::kOk);
  WriteScript({"Desktop:", "\"PROG.EXE\" \"Első\"", "\"PROG.EXE\" \"Második\""});
  ASSERT_TRUE(MakeIcon(ctx_));
  EXPECT_EQ(Value(makerKey_, "Link"), first);
  EXPECT_EQ(ReadMachineFile(second.c_str()), "locked");
  EXPECT_THAT(events(), ElementsAre("box: Save failed!"));
  EXPECT_THAT(transcript_.boxCaptions, ElementsAre("QZSetup"));
}

TEST_F(ShortcutsTest, BadShortcutLinesAreSkipped) {
  std::string longTitle(200, 'T');  // the line fits, the link path does not
  WriteScript({"Menu:", "\"PROG.EXE\"", "\"PROG.EXE\" \"\"", "PROG.EXE Program", "\"PROG.EXE\" \"" + longTitle + "\"",
               "\"PROG.EXE\" \"Jó\"", "Desktop:", "\"PROG.EXE\"", "\"PROG.EXE\" " + std::string(260, 'x')});
  ASSERT_TRUE(MakeIcon(ctx_));
  EXPECT_TRUE(Exists((group_ + "\\Jó.lnk").c_str()));
  EXPECT_EQ(Value(makerKey_, "Link"), "<missing>");
  std::string log = TakeLog();
  EXPECT_THAT(log, HasSubstr("Shortcut : nincs megadva a parancsikon neve : \"PROG.EXE\"\n"));
  EXPECT_THAT(log, HasSubstr("Shortcut : nincs megadva a parancsikon neve : \"PROG.EXE\" \"\"\n"));
  EXPECT_THAT(log, HasSubstr("Shortcut : nincs megadva a parancsikon neve : PROG.EXE Program\n"));
  EXPECT_THAT(log, HasSubstr(Failed("Shortcut : C:\\APP\\PROG.EXE <- " + group_ + "\\" + longTitle + ".lnk\n",
                                    platform::kErrorFilenameTooLong)));
  EXPECT_THAT(log, HasSubstr(Failed("Túl hosszú sor : \"PROG.EXE\" " + std::string(260, 'x') + "...",
                                    platform::kErrorFilenameTooLong)));
  // No file is made under a cut name.
  std::filesystem::path groupHost = machine_.HostPath(group_.c_str());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(groupHost), std::filesystem::directory_iterator()), 2)
      << "Jó.lnk and the uninstall shortcut";
  EXPECT_THAT(events(), IsEmpty());
}

TEST_F(ShortcutsTest, FailuresOfTheFoldersAndOfTheLinkValue) {
  WriteScript({"Menu:", "\"PROG.EXE\" \"Program\"", "Desktop:", "\"PROG.EXE\" \"Program\""});

  // The program group cannot be created.
  machine_.registry().DenyWrites(platform::RootKey::LocalMachine, "SOFTWARE\\Vormex kft");
  std::filesystem::remove_all(machine_.HostPath(programs_.c_str()));
  EXPECT_FALSE(MakeIcon(ctx_));
  EXPECT_EQ(TakeLog(), "\n\n---> Ikonok készítése\n"
                       "Registry : GetValueString [HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion"
                       "\\Explorer\\Shell Folders\\Programs] =  " + std::string(programs_.c_str()) + "\n" +
                       Failed("MakeIcon : Könyvtár létrehozás " + group_ + " ...", platform::kErrorPathNotFound));
  MakeDirs(programs_.c_str());

  // The "Link" value cannot be written: the menu shortcut stays made.
  EXPECT_FALSE(MakeIcon(ctx_));
  EXPECT_TRUE(Exists((group_ + "\\Program.lnk").c_str()));
  EXPECT_TRUE(Exists((std::string(desktop_.c_str()) + "\\Program.lnk").c_str()));
  EXPECT_FALSE(Exists((group_ + "\\Próba eltávolítása.lnk").c_str()));
  EXPECT_EQ(machine_.shell().initializeCount(), 0) << "the component library is released on every way out";

  // The desktop folder is not registered.
  Registry quiet(machine_.registry());
  platform::KeyHandle key;
  ASSERT_EQ(machine_.registry().OpenKey(platform::RootKey::CurrentUser,
                                        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                        platform::KeyAccess::All, key),
            platform::kOk);
  ASSERT_EQ(machine_.registry().DeleteValue(key, "Desktop"), platform::kOk);
  machine_.registry().CloseKey(key);
  EXPECT_FALSE(MakeIcon(ctx_));
  EXPECT_EQ(machine_.shell().initializeCount(), 0);

  // Without the Programs folder nothing is made.
  WriteScript({"Menu:", "\"PROG.EXE\" \"Program\""});
  ASSERT_EQ(machine_.registry().OpenKey(platform::RootKey::CurrentUser,
                                        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                        platform::KeyAccess::All, key),
            platform::kOk);
  ASSERT_EQ(machine_.registry().DeleteValue(key, "Programs"), platform::kOk);
  machine_.registry().CloseKey(key);
  TakeLog();
  EXPECT_FALSE(MakeIcon(ctx_));
  EXPECT_EQ(TakeLog(), "\n\n---> Ikonok készítése\n"
                       "Registry : GetValueString [HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion"
                       "\\Explorer\\Shell Folders\\Programs] =  ERROR\n");
}

TEST_F(ShortcutsTest, CreateShortcutWarnsOfEachFailingSetterAndReturnsTheSave) {
  ASSERT_TRUE(platform::Succeeded(machine_.shell().Initialize()));
  // A target of 260 characters and more, and a description beyond the
  // shell's 1024, are refused by their setters; the link is still saved.
  std::string target = "C:\\APP\\" + std::string(300, 'a');
  std::string link = group_.substr(0, group_.rfind('\\')) + "\\X.lnk";
  platform::HResult result = CreateShortcut(ctx_, target.c_str(), link.c_str(), "", std::string(2000, 'd').c_str());
  EXPECT_TRUE(platform::Succeeded(result));
  EXPECT_THAT(events(), ElementsAre("box: SetPath failed!", "box: SetDescription failed!"));
  transcript_.events.clear();
  result = CreateShortcut(ctx_, "C:\\APP\\PROG.EXE", "C:\\NINCS\\X.lnk", "", "x");
  EXPECT_EQ(result, static_cast<platform::HResult>(0x80070003));
  EXPECT_THAT(events(), ElementsAre("box: Save failed!"));
  machine_.shell().Uninitialize();

  // Outside the component library no link object can be made: no boxes.
  transcript_.events.clear();
  TakeLog();
  result = CreateShortcut(ctx_, "C:\\APP\\PROG.EXE", link.c_str(), "", "x");
  EXPECT_FALSE(platform::Succeeded(result));
  EXPECT_THAT(events(), IsEmpty());
  EXPECT_EQ(TakeLog(), "Shortcut : C:\\APP\\PROG.EXE <- " + link + "\n");
}

}  // namespace
}  // namespace qz::test
