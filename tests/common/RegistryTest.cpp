#include "tests/support/SimFixture.h"

namespace qz::test {
namespace {

using platform::RootKey;

class RegistryTest : public SimFixture {
 protected:
  void SetUp() override { OpenLog(); }
};

constexpr const char* kApp = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla";

TEST_F(RegistryTest, EveryOperationLogsItsLine) {
  NameText text;
  std::uint32_t number = 0;
  unsigned char bytes[] = {1, 0, 0xff}, read[8] = {};
  EXPECT_FALSE(registry_.GetValueString(kApp, "Version", text));  // no key
  EXPECT_TRUE(registry_.SetValueString(kApp, "Home Dir", "C:\\SZAMLA"));
  EXPECT_TRUE(registry_.SetValueDWord(kApp, "Count", 30));
  EXPECT_TRUE(registry_.SetValueBinary(kApp, "Bin", bytes, 3));
  EXPECT_TRUE(registry_.GetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex Kft\\SZÁMLA", "home dir", text));
  EXPECT_EQ(text, "C:\\SZAMLA");
  EXPECT_TRUE(registry_.GetValueDWord(kApp, "Count", number));
  EXPECT_EQ(number, 30u);
  EXPECT_TRUE(registry_.GetValueBinary(kApp, "Bin", read, sizeof read));
  EXPECT_EQ(read[2], 0xff);
  EXPECT_FALSE(registry_.GetValueString(kApp, "Version", text));  // no value
  EXPECT_FALSE(registry_.GetValueDWord(kApp, "Version", number));
  EXPECT_TRUE(registry_.IsValidKey(kApp));
  EXPECT_FALSE(registry_.IsValidKey("HKEY_LOCAL_MACHINE"));              // no backslash
  EXPECT_TRUE(registry_.IsValidKey("HKEY_LOCAL_MACHINE\\"));             // the root itself
  EXPECT_FALSE(registry_.IsValidKey("hkey_local_machine\\SOFTWARE"));    // root names are exact
  const std::string k = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla";
  EXPECT_EQ(LogBytes(),
            "Registry : GetValueString [" + k + "\\Version] =  ERROR\r\n" +
            "Registry : SetValueString [" + k + "\\Home Dir] = C:\\SZAMLA\r\n" +
            "Registry : SetValueDWord [" + k + "\\Count] = 30\r\n" +
            "Registry : SetValueBinary [" + k + "\\Bin] ...\r\n" +
            "Registry : GetValueString [HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex Kft\\SZÁMLA\\home dir] =  C:\\SZAMLA\r\n" +
            "Registry : GetValueDWord [" + k + "\\Count] =  30\r\n" +
            "Registry : GetValueBinary [" + k + "\\Bin] = ...OK\r\n" +
            "Registry : GetValueString [" + k + "\\Version] =  ERROR\r\n" +
            "Registry : GetValueDWord [" + k + "\\Version] =  ERROR\r\n" +
            "Registry : IsValidKey [" + k + "] = OK\r\n" +
            "Registry : IsValidKey [HKEY_LOCAL_MACHINE] =  ERROR\r\n"
            "Registry : IsValidKey [HKEY_LOCAL_MACHINE\\] = OK\r\n"
            "Registry : IsValidKey [hkey_local_machine\\SOFTWARE] =  ERROR\r\n"
            "\r\n\r\n\r\n");
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

TEST_F(RegistryTest, SetOnAKeyThatCannotBeMadeLogsOnlyTheFirstLine) {
  machine_.registry().DenyWrites(RootKey::LocalMachine, "SOFTWARE\\Locked");
  EXPECT_FALSE(registry_.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Locked\\New", "v", "1"));
  registry_.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Open", "v", "1");
  machine_.registry().DenyWrites(RootKey::LocalMachine, "SOFTWARE\\Open");
  EXPECT_FALSE(registry_.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Open", "v", "2"));
  EXPECT_FALSE(registry_.SetValueString("NOROOT\\x", "v", "1"));
  EXPECT_EQ(LogBytes(),
            "Registry : SetValueString [HKEY_LOCAL_MACHINE\\SOFTWARE\\Locked\\New\\v] = 1\r\n"
            "Registry : SetValueString [HKEY_LOCAL_MACHINE\\SOFTWARE\\Open\\v] = 1\r\n"
            "Registry : SetValueString [HKEY_LOCAL_MACHINE\\SOFTWARE\\Open\\v] = 2\r\n ERROR\r\n"
            "Registry : SetValueString [NOROOT\\x\\v] = 1\r\n"
            "\r\n\r\n\r\n");
}

TEST_F(RegistryTest, DeleteKeyRemovesBottomUpInItsLogOrder) {
  registry_.AttachLog(nullptr);
  registry_.SetValueString(kApp, "Home Dir", "C:\\A");
  registry_.SetValueString(kApp, "Version", "1.0");
  registry_.SetValueString(std::string(kApp) + "\\Sub", "x", "1");
  registry_.SetValueString(std::string(kApp) + "\\Sub\\Deep", "y", "2");
  registry_.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Other", "z", "3");
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

TEST_F(RegistryTest, KeyPathsAndLogLinesOfOverlongTexts) {
  RootKey root;
  KeyPathText subkey;
  EXPECT_TRUE(Registry::SplitKeyPath("HKEY_CURRENT_CONFIG\\", root, subkey));
  EXPECT_EQ(subkey, "");
  EXPECT_FALSE(Registry::SplitKeyPath("HKLM\\SOFTWARE", root, subkey));
  std::string longest = "HKEY_USERS\\" + std::string(500, 'k');
  EXPECT_TRUE(Registry::SplitKeyPath(longest, root, subkey));
  EXPECT_EQ(root, RootKey::Users);
  EXPECT_FALSE(Registry::SplitKeyPath(longest + "k", root, subkey)) << "a path past 511 characters names no key";
  registry_.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Long", "name", std::string(600, 'v').c_str());
  EXPECT_EQ(LogBytes().size(), 511u + 6u) << "the line buffer holds 511 characters, then the closing gap";
}

}  // namespace
}  // namespace qz::test
