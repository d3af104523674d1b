// The application's registration and its shortcuts.

#include "common/SafePaths.h"
#include "engine/Shortcuts.h"
#include "tests/engine/StepFixture.h"

namespace qz::test {
namespace {

const std::string kFolders = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kMakerKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Próba";

class ShortcutsTest : public StepFixture {
 protected:
  ShortcutsTest() {
    std::string user = platform::sim::SimMachine::UserName();
    programs_ = "C:\\users\\" + user + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
    desktop_ = "C:\\users\\" + user + "\\Desktop";
    group_ = programs_ + "\\Próba";
    MakeDirs("C:\\APP");
    WriteFile("C:\\APP\\PROG.EXE", "MZ");
    // Where the "WinDir:" and "VormexDir:" sections put the uninstaller.
    WriteFile("C:\\windows\\qzuninst.exe", "MZ");
    WriteFile("C:\\windows\\Vormex\\qzuninst.exe", "MZ");
  }

  std::string Value(const std::string& key, const char* name) {
    NameText value;
    return Registry(machine_.registry()).GetValueString(key, name, value) ? value.c_str() : "<missing>";
  }
  void DeleteFolderValue(const char* name) {
    platform::KeyHandle key;
    ASSERT_EQ(machine_.registry().OpenKey(platform::RootKey::CurrentUser, kFolders.substr(18).c_str(),
                                          platform::KeyAccess::All, key), platform::kOk);
    machine_.registry().DeleteValue(key, name);
    machine_.registry().CloseKey(key);
  }

  std::string programs_, desktop_, group_;
};

// (What a registration writes: the end-to-end runs compare the registry.)
TEST_F(ShortcutsTest, AFailedRegistrationKeepsWhatItWroteBefore) {
  ASSERT_TRUE(RegisterApp(ctx_));
  settings_.appVersion = "3.0";
  machine_.registry().DenyWrites(platform::RootKey::LocalMachine, "SOFTWARE\\Microsoft");
  EXPECT_FALSE(RegisterApp(ctx_));
  EXPECT_EQ(Value(kMakerKey, "Version"), "3.0") << "what was written before the failure stays";
}

TEST_F(ShortcutsTest, PatchRenewsTheShortcutsAndLinkOfTheLastDesktopShortcutMade) {
  settings_.installType = kInstallPatch;
  MakeDirs(group_);  // an existing group is no failure
  std::string second = desktop_ + "\\Második.lnk", third = desktop_ + "\\Harmadik.lnk";
  WriteFile(second, "an older link");
  WriteFile(third, "locked");
  machine_.files().SetAttributes(third.c_str(), platform::kAttributeReadOnly);
  WriteScript({"Menu:", "\"PROG.EXE\" \"Program\"", "Desktop:", "\"PROG.EXE\" \"Első\"", "\"PROG.EXE\" \"Második\"",
               "\"PROG.EXE\" \"Harmadik\""});
  ASSERT_TRUE(MakeIcon(ctx_));
  EXPECT_TRUE(Exists(group_ + "\\Program.lnk"));
  EXPECT_FALSE(Exists(group_ + "\\Próba eltávolítása.lnk"));
  EXPECT_NE(ReadFile(second), "an older link");
  EXPECT_EQ(ReadFile(third), "locked");
  EXPECT_EQ(Value(kMakerKey, "Link"), second)
      << "the last desktop shortcut saved; the read-only file the save failed over is not this run's";
  EXPECT_EQ(Value(kMakerKey, "Home Dir"), "<missing>");
  EXPECT_THAT(events(), ElementsAre("box: Save failed!"));
  EXPECT_EQ(machine_.shell().initializeCount(), 0) << "the component library is released after a run that succeeds";
}

// Nothing is made for a line without a title, a title too long for its
// path, or one that names no plain link file; none of them becomes the Link.
TEST_F(ShortcutsTest, BadShortcutLinesAndTitlesAreSkipped) {
  std::string title(200, 'T');  // the line fits, the link path does not
  std::string longLine = "\"PROG.EXE\" " + std::string(260, 'x');
  WriteScript({"Menu:", "\"PROG.EXE\"", "\"PROG.EXE\" \"\"", "\"PROG.EXE\" \"" + title + "\"",
               "\"PROG.EXE\" \"..\\..\\x\"", "\"PROG.EXE\" \"a\\b\"", "\"PROG.EXE\" \"C:\\x\"", "\"PROG.EXE\" \"..\"",
               "\"PROG.EXE\" \"a/b\"", "\"PROG.EXE\" \"Jó\"", "\"PROG.EXE\" \". .\"", "\"PROG.EXE\" \"CON \"",
               "\"PROG.EXE\" \"Beállítások...\"", "Desktop:", "\"PROG.EXE\" \"Jó\"", "PROG.EXE Program", longLine,
               "\"PROG.EXE\" \"..\\..\\Start Menu\\x\""});
  ASSERT_TRUE(MakeIcon(ctx_));
  EXPECT_EQ(Value(kMakerKey, "Link"), desktop_ + "\\Jó.lnk");
  std::filesystem::path group = machine_.HostPath(group_.c_str());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(group), std::filesystem::directory_iterator()), 3)
      << "Jó.lnk, Beállítások....lnk and the uninstall shortcut, nothing under a cut name";
  EXPECT_TRUE(Exists(group_ + "\\Beállítások....lnk")) << "a title may end in dots: its file ends in .lnk";
  int links = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(machine_.HostPath("C:\\"))) {
    links += entry.path().extension() == ".lnk";
  }
  EXPECT_EQ(links, 4) << "the uninstall shortcut, the two Jó and Beállítások..., nowhere anything else";
  std::string log = TakeLog();
  EXPECT_THAT(log, HasSubstr("Shortcut : nincs megadva a parancsikon neve : \"PROG.EXE\"\n"
                             "Shortcut : nincs megadva a parancsikon neve : \"PROG.EXE\" \"\"\n" +
                             Failed("Shortcut : C:\\APP\\PROG.EXE <- " + group_ + "\\" + title + ".lnk\n",
                                    platform::kErrorFilenameTooLong)));
  EXPECT_THAT(log, HasSubstr("Shortcut : hibás parancsikon név \"..\\..\\x\" érvénytelen karaktert tartalmaz\n"));
  EXPECT_THAT(log, HasSubstr("Shortcut : hibás parancsikon név \". .\" " + std::string(PathFaultText(PathFault::kDotName))));
  EXPECT_THAT(log, HasSubstr("Shortcut : hibás parancsikon név \"CON \" eszköznevet tartalmaz\n"));
  EXPECT_THAT(log, HasSubstr("Shortcut : nincs megadva a parancsikon neve : PROG.EXE Program\n" +
                             Failed("Túl hosszú sor : " + longLine + "...", platform::kErrorFilenameTooLong)));
}

TEST_F(ShortcutsTest, FolderAndLinkValueFailures) {
  WriteScript({"Menu:", "\"PROG.EXE\" \"Program\"", "Desktop:", "\"PROG.EXE\" \"Program\""});
  std::filesystem::remove_all(machine_.HostPath(programs_.c_str()));
  EXPECT_FALSE(MakeIcon(ctx_));
  EXPECT_THAT(TakeLog(), HasSubstr(Failed("MakeIcon : Könyvtár létrehozás " + group_ + " ...",
                                          platform::kErrorPathNotFound)));
  MakeDirs(programs_);

  machine_.registry().DenyWrites(platform::RootKey::LocalMachine, "SOFTWARE\\Vormex kft");
  EXPECT_FALSE(MakeIcon(ctx_)) << "the Link value cannot be written";
  EXPECT_TRUE(Exists(group_ + "\\Program.lnk"));
  EXPECT_FALSE(Exists(group_ + "\\Próba eltávolítása.lnk"));
  EXPECT_EQ(machine_.shell().initializeCount(), 0) << "the component library is released on every way out";

  DeleteFolderValue("Desktop");
  EXPECT_FALSE(MakeIcon(ctx_));
  EXPECT_EQ(machine_.shell().initializeCount(), 0);
  DeleteFolderValue("Programs");
  TakeLog();
  EXPECT_FALSE(MakeIcon(ctx_));
  std::string missing = "\n\n---> Ikonok készítése\nRegistry : GetValueString [" + kFolders + "\\Programs] =  ERROR\n";
  EXPECT_EQ(TakeLog(), missing);

  // A Programs folder with letters Windows-1250 lacks (a profile named in
  // Cyrillic) can be named by no path of the programs: as a missing one.
  platform::KeyHandle key;
  ASSERT_EQ(machine_.registry().OpenKey(platform::RootKey::CurrentUser, kFolders.substr(18).c_str(),
                                        platform::KeyAccess::All, key), platform::kOk);
  machine_.registry().SetUnconvertibleString(key, "Programs", "C:\\users\\??????\\Programs");
  machine_.registry().CloseKey(key);
  EXPECT_FALSE(MakeIcon(ctx_));
  EXPECT_EQ(TakeLog(), missing);
}

TEST_F(ShortcutsTest, NamesThatNameNoFolderAndAMissingUninstaller) {
  // Such a name would put the values on the maker's key and on the list of
  // uninstall entries themselves, and make the Programs folder the group.
  for (const char* name : {"", "..", " . "}) {
    settings_.appName = name;
    EXPECT_FALSE(RegisterApp(ctx_)) << name;
    EXPECT_FALSE(MakeIcon(ctx_)) << name;
    EXPECT_EQ(TakeLog(), std::string("\n\n---> Alkalmazás regisztráció\nAlkalmazás regisztráció : érvénytelen "
                                     "alkalmazásnév \"") + name + "\"\n\n\n---> Ikonok készítése\n" +
                             "MakeIcon : érvénytelen alkalmazásnév \"" + name + "\"\n");
  }
  EXPECT_THAT(machine_.registry().ExportText(), ::testing::Not(HasSubstr("DisplayName")));

  settings_.appName = "Próba";
  std::filesystem::remove(machine_.HostPath("C:\\windows\\qzuninst.exe"));
  std::filesystem::remove(machine_.HostPath("C:\\windows\\Vormex\\qzuninst.exe"));
  WriteScript({"Home:"});
  EXPECT_TRUE(RegisterApp(ctx_));
  EXPECT_TRUE(MakeIcon(ctx_));
  EXPECT_TRUE(Exists(group_ + "\\Próba eltávolítása.lnk")) << "made as the script asks";
  std::string log = TakeLog();
  EXPECT_THAT(log, HasSubstr("\"Próba\"\nFigyelem : az eltávolító program nem található : C:\\windows\\qzuninst.exe\n"));
  EXPECT_THAT(log, HasSubstr(".lnk\nFigyelem : az eltávolító program nem található : C:\\windows\\Vormex\\qzuninst.exe\n"));
}

TEST_F(ShortcutsTest, CreateShortcutWarnsOfFailingSettersAndReturnsTheSave) {
  // Outside the component library no link object can be made: no boxes.
  EXPECT_FALSE(platform::Succeeded(CreateShortcut(ctx_, "C:\\APP\\PROG.EXE", "C:\\APP\\X.lnk", "", "x")));
  EXPECT_THAT(events(), IsEmpty());
  ASSERT_TRUE(platform::Succeeded(machine_.shell().Initialize()));
  std::string target = "C:\\APP\\" + std::string(300, 'a');
  EXPECT_TRUE(platform::Succeeded(CreateShortcut(ctx_, target.c_str(), "C:\\APP\\X.lnk", "", std::string(2000, 'd').c_str())));
  EXPECT_EQ(CreateShortcut(ctx_, "C:\\APP\\PROG.EXE", "C:\\NINCS\\X.lnk", "", "x"), static_cast<platform::HResult>(0x80070003));
  EXPECT_THAT(events(), ElementsAre("box: SetPath failed!", "box: SetDescription failed!", "box: Save failed!"));
  machine_.shell().Uninitialize();
}

}  // namespace
}  // namespace qz::test
