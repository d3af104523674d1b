// The registry operations with their log lines, and registry files.

#include <cstring>
#include <tuple>

#include "common/RegistryFile.h"
#include "engine/SetupScript.h"
#include "tests/support/SimFixture.h"

namespace qz::test {
namespace {

using platform::RootKey;

class RegistryTest : public SimFixture {
 protected:
  void SetUp() override { OpenLog(); }
};

constexpr const char* kApp = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla";

// (The log lines of the other reads and writes: the end-to-end runs' logs.)
// A key is read without regard to case.
TEST_F(RegistryTest, ABinaryValueIsReadBackAndLogged) {
  unsigned char bytes[] = {1, 0, 0xff}, read[8] = {};
  EXPECT_TRUE(registry_.SetValueBinary(kApp, "Bin", bytes, 3));
  EXPECT_TRUE(registry_.GetValueBinary("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex Kft\\SZÁMLA", "bin", read, sizeof read));
  EXPECT_EQ(read[2], 0xff);
  EXPECT_TRUE(registry_.IsValidKey("HKEY_LOCAL_MACHINE\\")) << "the root itself";
  EXPECT_THAT(LogBytes(), HasSubstr("Registry : GetValueBinary [HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex Kft\\SZÁMLA\\bin] "
                                    "= ...OK\r\nRegistry : IsValidKey [HKEY_LOCAL_MACHINE\\] = OK\r\n"));
}

TEST_F(RegistryTest, StringsOf254CharactersReadAndLongerOnesFail) {
  std::string fits(254, 'a'), tooLong(255, 'b');
  registry_.SetValueString(kApp, "fits", fits.c_str());
  registry_.SetValueString(kApp, "long", tooLong.c_str());
  PathText text;
  EXPECT_TRUE(registry_.GetValueString(kApp, "fits", text));
  EXPECT_EQ(text, fits);
  EXPECT_FALSE(registry_.GetValueString(kApp, "long", text));
  VersionText shortField;
  EXPECT_TRUE(registry_.GetValueString(kApp, "fits", shortField));
  EXPECT_EQ(shortField, std::string(31, 'a')) << "cut to the caller's field, never past it";
}

// (A key that cannot be made logs only the first line: the end-to-end run of
// a refused registration.)
TEST_F(RegistryTest, ASetRefusedOnAKeyThatExistsLogsAnErrorLine) {
  registry_.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Open", "v", "1");
  machine_.registry().DenyWrites(RootKey::LocalMachine, "SOFTWARE\\Open");
  EXPECT_FALSE(registry_.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Open", "v", "2"));
  EXPECT_FALSE(registry_.SetValueString("NOROOT\\x", "v", "1"));
  EXPECT_EQ(LogBytes(),
            "Registry : SetValueString [HKEY_LOCAL_MACHINE\\SOFTWARE\\Open\\v] = 1\r\n"
            "Registry : SetValueString [HKEY_LOCAL_MACHINE\\SOFTWARE\\Open\\v] = 2\r\n ERROR\r\n"
            "Registry : SetValueString [NOROOT\\x\\v] = 1\r\n"
            "\r\n\r\n\r\n");
}

TEST_F(RegistryTest, DeleteKeyRemovesBottomUpInItsLogOrder) {
  registry_.AttachLog(nullptr);
  for (const char* key : {"Számla", "Számla\\Sub", "Számla\\Sub\\Deep", "Other"}) {
    registry_.SetValueString(std::string("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\") + key, "x", "1");
  }
  registry_.AttachLog(&log_);
  EXPECT_TRUE(registry_.DeleteKey(kApp));
  EXPECT_FALSE(registry_.IsValidKey(kApp));
  EXPECT_EQ(registry_.GetSubkeys("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft"), 1);
  EXPECT_FALSE(registry_.DeleteKey(kApp));
  EXPECT_EQ(registry_.GetSubkeys(kApp), -1);
  const std::string k = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla";
  EXPECT_EQ(LogBytes(),
            "Registry : DeleteKey Values [" + k + "] ...OK\r\n" +
            "Registry : DeleteKey Values [" + k + "\\Sub] ...OK\r\n" +
            "Registry : DeleteKey Values [" + k + "\\Sub\\Deep] ...OK\r\n" +
            "Registry : DeleteKey [" + k + "\\Sub\\Deep] ...OK\r\n" +
            "Registry : DeleteKey [" + k + "\\Sub] ...OK\r\n" +
            "Registry : DeleteKey [" + k + "] ...OK\r\n" +
            "Registry : IsValidKey [" + k + "] =  ERROR\r\n" +
            "Registry : GetSubkeys [HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft] = 1\r\n" +
            "Registry : DeleteKey Values [" + k + "] ...ERROR (OpenKey)\r\n" +
            " ERROR\r\n" +
            "\r\n\r\n\r\n");
  EXPECT_EQ(machine_.registry().OpenHandleCount(), 0u) << "every key is closed again";
}

TEST_F(RegistryTest, DeleteKeyStopsAtAKeyItMayNotDelete) {
  registry_.SetValueString(std::string(kApp) + "\\Sub", "x", "1");
  machine_.registry().DenyWrites(RootKey::LocalMachine, "SOFTWARE\\Vormex kft\\Számla\\Sub");
  EXPECT_FALSE(registry_.DeleteKey(kApp));
  std::string bytes = LogBytes();
  EXPECT_NE(bytes.find("\\Sub] ...ERROR (DeleteValue)\r\n"), std::string::npos) << bytes;
  EXPECT_EQ(bytes.find("Registry : DeleteKey [" + std::string(kApp) + "]"), std::string::npos);
  EXPECT_EQ(machine_.registry().OpenHandleCount(), 0u);
}

// A key path names its root exactly, with the backslash after it; past 511
// characters it names no key.
TEST_F(RegistryTest, KeyPathsAndLogLinesOfOverlongTexts) {
  RootKey root;
  KeyPathText subkey;
  std::string longest = "HKEY_USERS\\" + std::string(500, 'k');
  for (auto [path, names] : {std::pair{std::string("HKEY_CURRENT_CONFIG\\"), true}, {longest, true},
                             {longest + "k", false}, {"HKLM\\SOFTWARE", false}, {"HKEY_LOCAL_MACHINE", false},
                             {"hkey_local_machine\\SOFTWARE", false}}) {
    EXPECT_EQ(Registry::SplitKeyPath(path, root, subkey), names) << path;
  }
  ASSERT_TRUE(Registry::SplitKeyPath(longest, root, subkey));
  EXPECT_EQ(std::tuple(root, subkey.length()), std::tuple(RootKey::Users, 500u));
  registry_.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Long", "name", std::string(600, 'v').c_str());
  EXPECT_EQ(LogBytes().size(), 511u + 6u) << "the line buffer holds 511 characters, then the closing gap";
}

// The registry files of the Btrieve configuration, imported.
constexpr const char* kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve";
const std::string kKeyLine = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]\n";

class RegistryFileTest : public SimFixture {
 protected:
  RegistryFileTest() {
    settings_.homeDir = "C:\\SZAMLA";
    settings_.sysDir = "C:\\windows\\system32";
    settings_.winDir = "C:\\windows";
  }

  bool Import(const std::string& text, bool raise) {
    WriteMedium("btrieve.reg", text);
    RegistryFile file(machine_.files(), registry_, macros_);
    if (!file.Open("btrieve.reg")) return false;
    bool result = file.Import(raise);
    file.Close();
    return result;
  }

  // A value's data as stored, whatever its type, or "<none>".
  std::string Value(const char* name) {
    platform::KeyHandle key;
    char data[1100];
    std::uint32_t size = sizeof data;
    if (machine_.registry().OpenKey(platform::RootKey::LocalMachine, "SOFTWARE\\Btrieve", platform::KeyAccess::Read,
                                    key) != platform::kOk) {
      return "<none>";
    }
    platform::ErrorCode error = machine_.registry().QueryValue(key, name, nullptr, data, size);
    machine_.registry().CloseKey(key);
    return error ? "<none>" : std::string(data, size);
  }
  static std::string String(const char* text) { return std::string(text, std::strlen(text) + 1); }
  static std::string DWord(std::uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

  SetupSettings settings_;
  SettingsMacros macros_{settings_};
};

// (Strings with their macros, and raising a number or not: the Btrieve
// steps' tests.)
TEST_F(RegistryFileTest, AddsMissingValuesOfEachKindAndNeverLowersOrReplacesOne) {
  OpenLog();
  EXPECT_TRUE(Import(kKeyLine + "\r\n  \"Pages\"=dword:0000001e  \r\n\"Bytes\"=hex:01,00,ff\r\n", false));
  EXPECT_EQ(Value("Pages"), DWord(30));
  EXPECT_EQ(Value("Bytes"), std::string("\x01\x00\xff", 3));
  EXPECT_EQ(LogBytes(),
            "Registry : GetValueDWord [HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve\\Pages] =  ERROR\r\n"
            "Registry : SetValueDWord [HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve\\Pages] = 30\r\n"
            "Registry : GetValueBinary [HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve\\Bytes] =  ERROR\r\n"
            "Registry : SetValueBinary [HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve\\Bytes] ...\r\n"
            "\r\n\r\n\r\n");
  registry_.SetValueString(kKey, "Home", "D:\\OLD");
  EXPECT_TRUE(Import(kKeyLine + "\"Home\"=\"new\"\n\"Pages\"=dword:3\n", true));
  EXPECT_EQ(Value("Pages"), DWord(30)) << "raised, never lowered";
  EXPECT_EQ(Value("Home"), String("D:\\OLD"));
}

TEST_F(RegistryFileTest, LinesReadAsTheyAreWritten) {
  EXPECT_TRUE(Import("[[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]]\n\"A\"=\"1\"\n", false)) << "key lines lose every bracket";
  EXPECT_EQ(Value("A"), String("1"));
  EXPECT_FALSE(Import(kKeyLine + "\"Text\"=\"see hex:12\"\n", false))
      << "a string that mentions hex: is a binary line, and this one is malformed";
  EXPECT_TRUE(Import(kKeyLine + "\"Odd\"=hex:\n\"Big\"=hex:1ff,,2\n", false));
  EXPECT_EQ(Value("Odd"), std::string("\0", 1)) << "nothing after hex: stores one zero byte";
  EXPECT_EQ(Value("Big"), std::string("\xff\x00\x02", 3)) << "the lowest byte of each item; empty items store 0";
}

// The import stops at the first line it cannot apply and tells which;
// blank lines count.
TEST_F(RegistryFileTest, AnUnreadableDWordFailsItsLineAndStopsTheImport) {
  WriteMedium("btrieve.reg", kKeyLine + "\r\n\"N\"=dword:zz\r\n\"After\"=\"1\"\r\n");
  RegistryFile file(machine_.files(), registry_, macros_);
  ASSERT_TRUE(file.Open("btrieve.reg"));
  EXPECT_FALSE(file.Import(false));
  EXPECT_EQ(file.LineNumber(), 3);
  EXPECT_EQ(Value("N"), "<none>") << "nothing is stored for a number that cannot be read";
  EXPECT_EQ(Value("After"), "<none>");
  EXPECT_FALSE(Import(kKeyLine + "\"N\"=dword:123456789\n", false)) << "more than 32 bits";
  EXPECT_FALSE(Import(kKeyLine + "\"N\" =dword:1\n", false)) << "=dword: must follow the name directly";
}

TEST_F(RegistryFileTest, OverlongLinesAreRefusedNotCut) {
  EXPECT_FALSE(Import(kKeyLine + "\"Long\"=\"" + std::string(600, 'x') + "\"\n", false));
  EXPECT_EQ(Value("Long"), "<none>");
  settings_.homeDir.Assign(std::string(250, 'h'));
  EXPECT_FALSE(Import(kKeyLine + "\"Grown\"=\"$HOMEDIR$$HOMEDIR$$HOMEDIR$\"\n", false))
      << "a text that grows past 511 characters with its macros";
  EXPECT_EQ(Value("Grown"), "<none>");
  EXPECT_FALSE(Import("[HKEY_LOCAL_MACHINE\\SOFTWARE\\" + std::string(600, 'k') + "]\n\"A\"=\"1\"\n", false));
}

TEST_F(RegistryFileTest, NulBytesAndGarbage) {
  EXPECT_TRUE(Import(kKeyLine + "\"Cut\"=\"ab" + std::string(1, '\0') + "cd\"\n", false)) << "a line ends at a NUL";
  EXPECT_EQ(Value("Cut"), String("ab"));
  std::string noise;
  for (int i = 0; i < 4096; ++i) noise += static_cast<char>((i * 131 + 7) & 0xff);
  Import(noise, true);  // applied or refused line by line, never read past a buffer
  Import(kKeyLine + noise, true);
}

}  // namespace
}  // namespace qz::test
