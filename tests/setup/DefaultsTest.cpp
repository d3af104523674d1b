#include "setup/Defaults.h"

#include "tests/support/SimFixture.h"

namespace qz::test {
namespace {

constexpr const char* kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla";

std::string Script(const std::string& type, const std::string& version = "2.1") {
  std::string text = type.empty() ? "" : "InstallType:\r\n\"" + type + "\"\r\n";
  return text + "AppName:\r\n\"Számla\"\r\nAppVersion:\r\n\"" + version +
         "\"\r\nDefaultDir:\r\n\"C:\\SZAMLA\"\r\nAppLogo:\r\n\"logo.bmp\"\r\n";
}

class DefaultsTest : public SimFixture {
 protected:
  DefaultsTest() {
    settings_.winDir = "C:\\windows";
    settings_.sysDir = "C:\\windows\\system32";
    settings_.vormexDir = "C:\\windows\\Vormex";
    OpenLog();
  }

  std::string Run(const std::string& scriptText) {
    WriteMedium("setup.ini", scriptText);
    SetupScript script(machine_.files());
    EXPECT_TRUE(script.Open("setup.ini"));
    NameText errorText;
    GetDefaults(script, registry_, log_, settings_, errorText);
    return errorText.c_str();
  }

  // Records an installation as the registration step does (the maker's key
  // written "Vormex kft", looked up as "Vormex Kft").
  void Install(const char* homeDir, const char* version) {
    registry_.AttachLog(nullptr);
    registry_.SetValueString(kKey, "Home Dir", homeDir);
    registry_.SetValueString(kKey, "Version", version);
    registry_.AttachLog(&log_);
  }

  SetupSettings settings_;
};

TEST_F(DefaultsTest, FirstInstallationTakesTheScriptsValues) {
  settings_.oldVersion = "kept";
  EXPECT_EQ(Run(Script("Install")), "");
  EXPECT_EQ(settings_.installType, kInstallInstall);
  EXPECT_EQ(settings_.appName, "Számla");
  EXPECT_EQ(settings_.appVersion, "2.1");
  EXPECT_EQ(settings_.homeDir, "C:\\SZAMLA");
  EXPECT_EQ(settings_.appLogo, "logo.bmp");
  EXPECT_EQ(settings_.oldVersion, "kept") << "no installation leaves the old version as it was";
  EXPECT_EQ(LogBytes(),
            "---> GetDefaults\r\n"
            "Registry : IsValidKey [HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex Kft\\Számla] =  ERROR\r\n"
            "\r\n\r\n\r\n");
}

TEST_F(DefaultsTest, InstallOverAnInstallationBecomesAnUpdateIntoItsDirectory) {
  Install("D:\\PROGRAMS\\SZAMLA", "2.1");
  EXPECT_EQ(Run(Script("Install")), "");
  EXPECT_EQ(settings_.installType, kInstallUpdate);
  EXPECT_EQ(settings_.homeDir, "D:\\PROGRAMS\\SZAMLA");
  EXPECT_EQ(settings_.oldVersion, "2.1");
  EXPECT_EQ(LogBytes(),
            "---> GetDefaults\r\n"
            "Registry : IsValidKey [HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex Kft\\Számla] = OK\r\n"
            "Registry : GetValueString [HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex Kft\\Számla\\Home Dir] =  D:\\PROGRAMS\\SZAMLA\r\n"
            "Registry : GetValueString [HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex Kft\\Számla\\Version] =  2.1\r\n"
            "\r\n\r\n\r\n");
}

TEST_F(DefaultsTest, VersionChecksOfUpdateAndPatch) {
  Install("C:\\SZAMLA", "1.10");
  EXPECT_EQ(Run(Script("Update", "1.9")), "") << "1.9 is newer than 1.10 as text";
  Install("C:\\SZAMLA", "2.0a");
  EXPECT_EQ(Run(Script("Install", "2.0")),
            "A frissítés nem lehetséges!\nA telepítendőnél újabb verziójú program található a számítógépén:\n\n"
            "Telepített verzió : 2.0a\nFrissítési verzió : 2.0");
  Install("C:\\SZAMLA", "2.1");
  EXPECT_EQ(Run(Script("Patch", "2.1")), "");
  EXPECT_EQ(settings_.installType, kInstallPatch);
  Install("C:\\SZAMLA", "2.10");
  EXPECT_EQ(Run(Script("Patch", "2.1")),
            "A javítás nem lehetséges!\nA javító programot csak a megfelelő verziójú programmal használhatja:\n\n"
            "Telepített verzió : 2.10\nSzükséges verzió : 2.1");
}

TEST_F(DefaultsTest, MessagesOfMissingDefaultsAndMissingInstallations) {
  EXPECT_EQ(Run(Script("")), "Nincs megadva a telepítés típusa") << "reading goes on and the message stays";
  EXPECT_EQ(Run(Script("install")), "Ismeretlen telepítési típus");
  EXPECT_EQ(Run("InstallType:\nInstall\n"), "Ismeretlen telepítési típus") << "a value needs its quotes";
  EXPECT_EQ(Run("InstallType:\n\"Install\"\n"), "Nincs megadva az alkalmazás neve");
  EXPECT_EQ(Run("InstallType:\n\"Install\"\nAppName:\n\"A\"\n"), "Nincs megadva az alkalmazás verziószáma");
  EXPECT_EQ(Run("InstallType:\n\"Install\"\nAppName:\n\"A\"\nAppVersion:\n\"1\"\n"),
            "Nincs alapértelmezett könyvtár megadva");
  EXPECT_EQ(Run("InstallType:\n\"Install\"\nAppName:\n\"A\"\nAppVersion:\n\"1\"\nDefaultDir:\nAppLogo:\n\"l\"\n"),
            "Nincs alapértelmezett könyvtár megadva")
      << "a label followed at once by another label has no item";
  EXPECT_EQ(Run("InstallType:\n\"Install\"\nAppName:\n\"A\"\nAppVersion:\n\"1\"\nDefaultDir:\n\"C:\\A\"\n"),
            "Nincs logo kép megadva");
  EXPECT_EQ(Run("InstallType:\n\"Install\"\nAppName:\nA\nAppVersion:\n\"1\"\nDefaultDir:\n\"C:\\A\"\nAppLogo:\n\"l\"\n"), "")
      << "other defaults accept an empty value";
  for (const char* type : {"Update", "Patch"}) {
    EXPECT_EQ(Run(Script(type)),
              "A Számla program frissítése nem lehetséges!\nA frissítéshez előb telepítenie kell a programot");
  }
  registry_.SetValueString(kKey, "Version", "2.1");
  EXPECT_EQ(Run(Script("Install")), "Nincs telepítési könyvtár!");
  registry_.DeleteKey(kKey);
  registry_.SetValueString(kKey, "Home Dir", "C:\\SZAMLA");
  EXPECT_EQ(Run(Script("Install")), "Nincs telepítési verzió!");
}

TEST_F(DefaultsTest, InstallationInADirectoryThatHoldsTheSystemIsRefused) {
  for (const char* dangerous : {"C:\\", "C:", "c:\\WINDOWS", "C:\\windows\\Vormex\\", "C:\\windows\\system32\\.."}) {
    Install(dangerous, "2.1");
    EXPECT_EQ(Run(Script("Install")), "Nincs telepítési könyvtár!") << dangerous;
  }
  Install("C:\\windows\\Vormex\\SZAMLA", "2.1");
  EXPECT_EQ(Run(Script("Install")), "") << "a directory below the maker's folder is no danger";
}

TEST_F(DefaultsTest, OverlongValuesAreCutToTheirFieldsAndMacrosExpand) {
  EXPECT_EQ(Run("InstallType:\n\"Install\"\nAppName:\n\"" + std::string(300, 'n') + "\"\nAppVersion:\n\"" +
                std::string(40, '9') + "\"\nDefaultDir:\n\"C:\\" + std::string(400, 'd') + "\"\nAppLogo:\n\"l\"\n"),
            "");
  EXPECT_EQ(settings_.appName, std::string(255, 'n'));
  EXPECT_EQ(settings_.appVersion, std::string(31, '9'));
  EXPECT_EQ(settings_.homeDir.length(), 259u);
  settings_.homeDir = "";
  EXPECT_EQ(Run("InstallType:\n\"Install\"\nAppName:\n\"A\"\nAppVersion:\n\"1\"\n"
                "DefaultDir:\n\"$HOMEDIR$$WINDIR$\\A\"\nAppLogo:\n\"$SYSDIR$\\l.bmp\"\n"),
            "");
  EXPECT_EQ(settings_.homeDir, "C:\\windows\\A") << "the home directory is empty while it is being read";
  EXPECT_EQ(settings_.appLogo, "C:\\windows\\system32\\l.bmp");
}

}  // namespace
}  // namespace qz::test
