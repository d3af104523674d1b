#include "engine/SetupScript.h"
#include "setup/Defaults.h"

#include "btrieve/MemoryInput.h"
#include "tests/support/SimFixture.h"

namespace qz::test {
namespace {

using Lines = std::vector<std::string>;

class SetupScriptTest : public SimFixture {
 protected:
  void Script(const std::string& bytes) {
    WriteMedium("setup.ini", bytes);
    script_.Close();
    ASSERT_TRUE(script_.Open("setup.ini"));
  }

  // The items of a section as ReadItem yields them, then the line that ended it.
  Lines Items(const std::string& label) {
    Lines items;
    if (!script_.FindLabel(label)) return {"<no label>"};
    FixedText<512> item;
    while (script_.ReadItem(item)) items.emplace_back(item.c_str());
    items.push_back(std::string("<").append(item.c_str()).append(">"));
    return items;
  }

  SetupScript script_{machine_.files()};
};

TEST_F(SetupScriptTest, SectionsAndItems) {
  Script("free text before\r\n  AppName:  \r\n\r\n  \"Számla\"  \r\n\t\"second\"\nHome:\nDIR \"DATA\"\na\rb\nMenu:\nDesktop:\n");
  EXPECT_EQ(Items("AppName:"), (Lines{"\"Számla\"", "\"second\"", "<Home:>"})) << "CR LF or LF, blanks trimmed";
  EXPECT_EQ(Items("Home:"), (Lines{"DIR \"DATA\"", "a\rb", "<Menu:>"})) << "a CR alone is no line end";
  EXPECT_EQ(Items("Menu:"), (Lines{"<Desktop:>"})) << "a label followed by a label has no items";
  EXPECT_EQ(Items("WinDir:"), (Lines{"<no label>"}));
  Script("appname:\nAppName: x\nAppName:\n\"first\"\nAppName:\n\"second\"\n");
  EXPECT_EQ(Items("AppName:"), (Lines{"\"first\"", "<AppName:>"})) << "labels match whole lines; the first counts";
}

// Tools point at lines: the number of the line read last, blank lines and
// lines longer than a read buffer counted once each.
TEST_F(SetupScriptTest, LineNumbersOfLabelsAndItems) {
  Script("free text\r\n\r\nHome:\r\n" + std::string(20000, 'x') + "\r\n\r\n  \"A\"\nMenu:\n\"B\"\n");
  ASSERT_TRUE(script_.FindLabel("Menu:"));
  EXPECT_EQ(script_.LineNumber(), 7);
  ASSERT_TRUE(script_.FindLabel("Home:"));
  EXPECT_EQ(script_.LineNumber(), 3) << "every search counts afresh";
  // From the start again: every non-blank line in order, labels included.
  ASSERT_TRUE(script_.Rewind());
  FixedText<64> item;
  std::vector<int> numbers;
  while (script_.ReadItem(item) || !item.empty()) numbers.push_back(script_.LineNumber());
  EXPECT_EQ(numbers, (std::vector<int>{1, 3, 4, 6, 7, 8}));
}

TEST_F(SetupScriptTest, LinesOfAnyLengthAndCutItems) {
  std::string longLabel(700, 'L');
  Script("Home:\n" + std::string(5000, 'x') + "\n" + longLabel + ":\n\"after\"\n");
  ASSERT_TRUE(script_.FindLabel("Home:"));
  FixedText<260> item;
  EXPECT_TRUE(script_.ReadItem(item));
  EXPECT_EQ(item, std::string(259, 'x')) << "a line longer than the buffer arrives cut";
  EXPECT_FALSE(script_.ReadItem(item)) << "a long label line is a label even though its colon was cut off";
  EXPECT_TRUE(script_.FindLabel(longLabel + ":"));
}

TEST_F(SetupScriptTest, NulBytesEndALineAndGarbageIsOnlyText) {
  std::string bytes = "AppName:\n\"ab" + std::string(1, '\0') + "cd\":\n";
  for (int i = 0; i < 3000; ++i) bytes += static_cast<char>((i * 37) & 0xff);
  Script(bytes);
  EXPECT_EQ(Items("AppName:")[0], "\"ab") << "what follows a NUL byte on a line is not read, the colon included";
  EXPECT_FALSE(script_.FindLabel("Home:"));
}

// A file whose reads fail after the first: a read error counts as the end.
class FailingFile : public MemoryInput {
 public:
  FailingFile() : MemoryInput("AppName:\n\"x\"\n") {}
  bool Read(void* buffer, std::size_t size, std::size_t& got) override {
    return calls_++ == 0 && MemoryInput::Read(buffer, size, got);
  }

 private:
  int calls_ = 0;
};

TEST(LineReaderTest, AReadErrorEndsTheFile) {
  platform::LineReader failing(std::make_unique<FailingFile>());
  std::string line;
  EXPECT_TRUE(failing.ReadLine(line));
  EXPECT_TRUE(failing.ReadLine(line));
  EXPECT_EQ(line, "\"x\"");
  EXPECT_FALSE(failing.ReadLine(line));
}

// Values cut to their field are reported as such: the callers' refusals of
// overlong names, keys and lines show it.
TEST(ExpandValueTest, TakesTheFirstQuotedTextAndReplacesMacros) {
  DirectoryMacros macros{"C:\\SZAMLA", "C:\\windows\\system32", "C:\\windows"};
  FixedText<260> value;
  EXPECT_EQ(ExpandValue("\"$WINDIR$\\a;$WINDIR$\" \"second\"", value, macros), 20);
  EXPECT_EQ(value, "C:\\windows\\a;C:\\windows");
  EXPECT_EQ(ExpandValue("DIR \"$HOMEDIR$\\$windir$\"", value, macros), 23);
  EXPECT_EQ(value, "C:\\SZAMLA\\$windir$") << "macros are case-sensitive";
  EXPECT_EQ(ExpandValue("Install", value, macros), 0);
  EXPECT_EQ(value, "") << "no quotes give an empty value";
  EXPECT_EQ(ExpandValue("\"open to the end", value, macros), 0);
  EXPECT_EQ(value, "open to the end");
  EXPECT_EQ(ExpandValue("x\"$SYSDIR$\"", value, macros), 10);
  EXPECT_EQ(value, "C:\\windows\\system32");
  EXPECT_EQ(ExpandValue("", value, macros), 0);
  EXPECT_EQ(ExpandValue("\"", value, macros), 0);
  // In place: the macro stands for the field as it was before the value was taken.
  value = "  \"$HOMEDIR$\\APP\" trailing";
  ExpandValue(value.view(), value, DirectoryMacros{value.view(), "S", "W"});
  EXPECT_EQ(value, "  \"$HOMEDIR$\\APP\" trailing\\APP");
}

TEST(ReplaceAllTest, NonOverlappingNeverRescannedAndAtMost511Characters) {
  FixedText<1024> text;
  text = "aaaa";
  ReplaceAll(text, "aa", "a");
  EXPECT_EQ(text, "aa");
  text = "$X$$X$";
  ReplaceAll(text, "$X$", "$X$$X$");
  EXPECT_EQ(text, "$X$$X$$X$$X$");
  EXPECT_TRUE(ReplaceAll(text, "", "y"));
  EXPECT_EQ(text, "$X$$X$$X$$X$");
  text.Assign(std::string(600, 'a') + "$WINDIR$");
  EXPECT_FALSE(ReplaceAll(text, "$WINDIR$", "C:\\windows"));
  EXPECT_EQ(text, std::string(511, 'a')) << "the macro past the 511th character is lost with the rest";
}

// (Versions as text, "1.9" over "1.10" and "2.0a" over "2.0": the defaults' tests.)
TEST(VersionTest, BytesCompareUnsignedAndEmptyIsLeast) {
  EXPECT_GT(CompareVersions("2.\xE9", "2.z"), 0) << "bytes compare as unsigned";
  EXPECT_LT(CompareVersions("", "0"), 0);
}

// The defaults of a run: the script's values and what is installed.
constexpr const char* kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla";

std::string Script(const std::string& type, const std::string& version = "2.1", const std::string& name = "Számla") {
  std::string text = type.empty() ? "" : "InstallType:\r\n\"" + type + "\"\r\n";
  text.append("AppName:\r\n\"").append(name).append("\"\r\nAppVersion:\r\n\"").append(version);
  return text.append("\"\r\nDefaultDir:\r\n\"C:\\SZAMLA\"\r\nAppLogo:\r\n\"logo.bmp\"\r\n");
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
    ProtectedFolders folders(machine_.files(), machine_.registry());
    GetDefaults(script, registry_, log_, folders, settings_, errorText);
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

// (A patch over its own version: the end-to-end runs.)
TEST_F(DefaultsTest, FirstInstallationTakesTheScriptsValuesAndASecondIsAnUpdateIntoItsDirectory) {
  settings_.oldVersion = "kept";
  EXPECT_EQ(Run(Script("Install")), "");
  EXPECT_EQ(settings_.installType, kInstallInstall);
  EXPECT_EQ(settings_.appName, "Számla");
  EXPECT_EQ(settings_.appVersion, "2.1");
  EXPECT_EQ(settings_.homeDir, "C:\\SZAMLA");
  EXPECT_EQ(settings_.appLogo, "logo.bmp");
  EXPECT_EQ(settings_.oldVersion, "kept") << "no installation leaves the old version as it was";
  Install("D:\\PROGRAMS\\SZAMLA", "1.10");
  EXPECT_EQ(Run(Script("Install", "1.9")), "") << "1.9 is newer than 1.10 as text";
  EXPECT_EQ(settings_.installType, kInstallUpdate);
  EXPECT_EQ(settings_.homeDir, "D:\\PROGRAMS\\SZAMLA");
  EXPECT_EQ(settings_.oldVersion, "1.10");
}

TEST_F(DefaultsTest, AnInstallOverANewerVersionOrAPatchForAnotherIsRefused) {
  Install("C:\\SZAMLA", "2.0a");
  EXPECT_EQ(Run(Script("Install", "2.0")),
            "A frissítés nem lehetséges!\nA telepítendőnél újabb verziójú program található a számítógépén:\n\n"
            "Telepített verzió : 2.0a\nFrissítési verzió : 2.0");
  Install("C:\\SZAMLA", "2.10");
  EXPECT_EQ(Run(Script("Patch", "2.1")),
            "A javítás nem lehetséges!\nA javító programot csak a megfelelő verziójú programmal használhatja:\n\n"
            "Telepített verzió : 2.10\nSzükséges verzió : 2.1");
}

TEST_F(DefaultsTest, MessagesOfMissingDefaultsAndMissingInstallations) {
  const std::string head = "InstallType:\n\"Install\"\nAppName:\n\"A\"\nAppVersion:\n";
  const std::pair<std::string, const char*> cases[] = {
      {Script(""), "Nincs megadva a telepítés típusa"},  // reading goes on and the message stays
      {Script("install"), "Ismeretlen telepítési típus"},
      {"InstallType:\nInstall\n", "Ismeretlen telepítési típus"},  // a value needs its quotes
      {"InstallType:\n\"Install\"\n", "Nincs megadva az alkalmazás neve"},
      {"InstallType:\n\"Install\"\nAppName:\n\"A\"\n", "Nincs megadva az alkalmazás verziószáma"},
      {head + "\"1\"\n", "Nincs alapértelmezett könyvtár megadva"},
      {head + "\"1\"\nDefaultDir:\nAppLogo:\n\"l\"\n", "Nincs alapértelmezett könyvtár megadva"},  // no item
      {head + "\"1\"\nDefaultDir:\n\"C:\\A\"\n", "Nincs logo kép megadva"},
      {head + "A\nDefaultDir:\n\"C:\\A\"\nAppLogo:\n\"l\"\n", ""},  // other defaults accept an empty value
      {Script("Patch"), "A Számla program frissítése nem lehetséges!\nA frissítéshez előb telepítenie kell a programot"},
  };
  for (const auto& [script, message] : cases) EXPECT_EQ(Run(script), message) << script;
  registry_.SetValueString(kKey, "Version", "2.1");
  EXPECT_EQ(Run(Script("Install")), "Nincs telepítési könyvtár!");
  registry_.DeleteKey(kKey);
  registry_.SetValueString(kKey, "Home Dir", "C:\\SZAMLA");
  EXPECT_EQ(Run(Script("Install")), "Nincs telepítési verzió!");
}

// (Which folders are refused and which names: the conformance suite.)
TEST_F(DefaultsTest, AProtectedHomeDirectoryOrANameTheUninstallerWouldRefuseStopsTheSetup) {
  for (const char* dangerous : {"C:\\", "c:\\WINDOWS", "C:\\windows\\system32\\..", "..\\windows", "C:\\PROGRA~1"}) {
    Install(dangerous, "2.1");
    EXPECT_EQ(Run(Script("Install")), "Nincs telepítési könyvtár!") << dangerous;
  }
  Install("C:\\windows\\Vormex\\SZAMLA", "2.1");
  EXPECT_EQ(Run(Script("Install")), "") << "a directory below the maker's folder is no danger";
  for (const char* name : {"", "..\\..\\x", "a\\b", "CON"}) {
    EXPECT_EQ(Run(Script("Install", "1", name)), "Hibás alkalmazásnév (" + std::string(name) + ")") << name;
  }
  std::string log = LogBytes();
  EXPECT_THAT(log, HasSubstr("Nem használható telepítési könyvtár : a(z) \"..\\windows\" nem teljes elérési út\r\n"));
  EXPECT_THAT(log, HasSubstr("Hibás alkalmazásnév : \"a\\b\" érvénytelen karaktert tartalmaz\r\n"));
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
