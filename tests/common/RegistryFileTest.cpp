#include <gtest/gtest.h>

#include "common/RegistryFile.h"
#include "setup/SetupScript.h"
#include "tests/common/CommonFixture.h"

namespace qz::test {
namespace {

class RegistryFileTest : public CommonFixture {
 protected:
  RegistryFileTest() {
    settings_.homeDir = "C:\\SZAMLA";
    settings_.sysDir = "C:\\windows\\system32";
    settings_.winDir = "C:\\windows";
  }

  bool Import(const std::string& text, bool raise) {
    WriteMediumFile("btrieve.reg", text);
    RegistryFile file(machine_.files(), registry_, macros_);
    if (!file.Open("btrieve.reg")) return false;
    bool result = file.Import(raise);
    file.Close();
    return result;
  }

  std::string String(const char* name) {
    NameText value;
    registry_.AttachLog(nullptr);
    bool found = registry_.GetValueString(kKey, name, value);
    registry_.AttachLog(&log_);
    return found ? value.c_str() : "<none>";
  }
  std::uint32_t DWord(const char* name) {
    std::uint32_t value = 0xdeadbeef;
    registry_.AttachLog(nullptr);
    registry_.GetValueDWord(kKey, name, value);
    registry_.AttachLog(&log_);
    return value;
  }
  std::string Binary(const char* name) {
    platform::KeyHandle key;
    if (machine_.registry().OpenKey(platform::RootKey::LocalMachine, "SOFTWARE\\Btrieve", platform::KeyAccess::Read,
                                    key) != platform::kOk) {
      return "<none>";
    }
    char data[1100];
    std::uint32_t size = sizeof data;
    platform::ErrorCode error = machine_.registry().QueryValue(key, name, nullptr, data, size);
    machine_.registry().CloseKey(key);
    return error ? "<none>" : std::string(data, size);
  }

  static constexpr const char* kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve";
  SetupSettings settings_;
  SettingsMacros macros_{settings_};
};

TEST_F(RegistryFileTest, AddsMissingValuesOfEachKind) {
  OpenLog();
  EXPECT_TRUE(Import("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]\r\n"
                     "\"Home\"=\"$HOMEDIR$\\DATA\"\r\n"
                     "\r\n"
                     "  \"Pages\"=dword:0000001e  \r\n"
                     "\"Bytes\"=hex:01,00,ff\r\n",
                     false));
  EXPECT_EQ(String("Home"), "C:\\SZAMLA\\DATA");
  EXPECT_EQ(DWord("Pages"), 30u);
  EXPECT_EQ(Binary("Bytes"), std::string("\x01\x00\xff", 3));
  EXPECT_EQ(LogBytes(),
            "Registry : GetValueString [HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve\\Home] =  ERROR\r\n"
            "Registry : SetValueString [HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve\\Home] = C:\\SZAMLA\\DATA\r\n"
            "Registry : GetValueDWord [HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve\\Pages] =  ERROR\r\n"
            "Registry : SetValueDWord [HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve\\Pages] = 30\r\n"
            "Registry : GetValueBinary [HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve\\Bytes] =  ERROR\r\n"
            "Registry : SetValueBinary [HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve\\Bytes] ...\r\n"
            "\r\n\r\n\r\n");
}

TEST_F(RegistryFileTest, PresentValuesStayAndDWordsMayBeRaised) {
  registry_.SetValueString(kKey, "Home", "D:\\OLD");
  registry_.SetValueDWord(kKey, "Pages", 5);
  const char* lower = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]\n\"Home\"=\"new\"\n\"Pages\"=dword:3\n";
  const char* higher = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]\n\"Pages\"=dword:9\n";
  EXPECT_TRUE(Import(lower, true));
  EXPECT_EQ(DWord("Pages"), 5u);
  EXPECT_EQ(String("Home"), "D:\\OLD");
  EXPECT_TRUE(Import(higher, false));
  EXPECT_EQ(DWord("Pages"), 5u);
  EXPECT_TRUE(Import(higher, true));
  EXPECT_EQ(DWord("Pages"), 9u);
}

TEST_F(RegistryFileTest, ValueLineBeforeAnyKeyFailsAtOnce) {
  EXPECT_FALSE(Import("\"Home\"=\"x\"\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]\n\"Other\"=\"y\"\n", false));
  EXPECT_EQ(String("Other"), "<none>");
}

TEST_F(RegistryFileTest, KindIsFoundAnywhereInTheLine) {
  EXPECT_FALSE(Import("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]\n\"Text\"=\"see hex:12\"\n", false))
      << "a string that mentions hex: is a binary line, and this one is malformed";
  EXPECT_TRUE(Import("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]\n\"Odd\"=hex:\n\"Big\"=hex:1ff,,2\n", false));
  EXPECT_EQ(Binary("Odd"), std::string("\0", 1)) << "nothing after hex: stores one zero byte";
  EXPECT_EQ(Binary("Big"), std::string("\xff\x00\x02", 3)) << "the lowest byte of each item; empty items store 0";
}

TEST_F(RegistryFileTest, KeyLinesLoseEveryBracket) {
  EXPECT_TRUE(Import("[[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]]\n\"A\"=\"1\"\n", false));
  EXPECT_EQ(String("A"), "1");
}

TEST_F(RegistryFileTest, UnreadableDWordFailsTheLineAndStopsTheImport) {
  EXPECT_FALSE(Import("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]\n\"N\"=dword:zz\n\"After\"=\"1\"\n", false));
  EXPECT_EQ(DWord("N"), 0xdeadbeefu) << "nothing is stored for a number that cannot be read";
  EXPECT_EQ(String("After"), "<none>");
  EXPECT_FALSE(Import("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]\n\"N\"=dword:123456789\n", false))
      << "more than 32 bits";
  EXPECT_FALSE(Import("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]\n\"N\" =dword:1\n", false))
      << "=dword: must follow the name directly";
}

TEST_F(RegistryFileTest, OverlongLinesAreRefusedNotCut) {
  std::string longValue(600, 'x');
  EXPECT_FALSE(Import("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]\n\"Long\"=\"" + longValue + "\"\n", false));
  EXPECT_EQ(String("Long"), "<none>");
  settings_.homeDir.Assign(std::string(250, 'h'));
  EXPECT_FALSE(Import("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]\n\"Grown\"=\"$HOMEDIR$$HOMEDIR$$HOMEDIR$\"\n", false))
      << "a text that grows past 511 characters with its macros";
  EXPECT_EQ(String("Grown"), "<none>");
  std::string longKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\" + std::string(600, 'k') + "]";
  EXPECT_FALSE(Import(longKey + "\n\"A\"=\"1\"\n", false));
}

TEST_F(RegistryFileTest, NulBytesAndBinaryGarbageGiveDefinedResults) {
  std::string garbage = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]\n\"Cut\"=\"ab";
  garbage += '\0';
  garbage += "cd\"\n";
  EXPECT_TRUE(Import(garbage, false)) << "a line ends at a NUL byte";
  EXPECT_EQ(String("Cut"), "ab");
  std::string noise;
  for (int i = 0; i < 4096; ++i) noise += static_cast<char>((i * 131 + 7) & 0xff);
  Import(noise, true);
  Import("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve]\n" + noise, true);
  SUCCEED() << "garbage is applied or refused line by line, never read past a buffer";
}

TEST_F(RegistryFileTest, MissingFileCannotBeOpened) {
  RegistryFile file(machine_.files(), registry_, macros_);
  EXPECT_FALSE(file.Open("missing.reg"));
  EXPECT_FALSE(file.Import(false));
}

}  // namespace
}  // namespace qz::test
