// The Btrieve check and configuration steps.

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "btrieve/BtrieveConfig.h"
#include "tests/engine/StepFixture.h"

namespace qz::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class BtrieveConfigTest : public StepFixture {
 protected:
  BtrieveConfigTest() {
    // An earlier Btrieve installation.
    platform::KeyHandle key;
    machine_.registry().CreateKey(platform::RootKey::LocalMachine, "SOFTWARE\\Btrieve Technologies\\Microkernel", key);
    std::uint32_t five = 5;
    machine_.registry().SetValue(key, "Cache", platform::ValueType::DWord, &five, 4);
    machine_.registry().CloseKey(key);
  }

  std::uint32_t DWord(const char* subkey, const char* name) {
    platform::KeyHandle key;
    std::uint32_t value = 0, size = 4;
    if (machine_.registry().OpenKey(platform::RootKey::LocalMachine, subkey, platform::KeyAccess::Read, key)) return 0;
    machine_.registry().QueryValue(key, name, nullptr, &value, size);
    machine_.registry().CloseKey(key);
    return value;
  }

  static constexpr const char* kFound = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve Technologies\\Microkernel";
  static constexpr const char* kAbsent = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Pervasive";
};

TEST_F(BtrieveConfigTest, CheckAppliesTheFilesOfTheInstallationsFound) {
  WriteMediumFile("A.REG", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve Technologies\\Microkernel]\r\n"
                           "\"Cache\"=dword:00000009\r\n\"Dir\"=\"$WINDIR$\"\r\n");
  WriteMediumFile("B.REG", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve Technologies\\Microkernel]\r\n\"Files\"=dword:2\r\n");
  WriteMediumFile("C.REG", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n\"X\"=\"y\"\r\n");
  WriteScript({"BtrieveCheck:", "\"A.REG\" \"" + std::string(kFound) + "\"", "\"C.REG\" \"" + std::string(kAbsent) + "\"",
               "\"B.REG\"\"" + std::string(kFound) + "\"", "BtrieveRegistry:"});

  ASSERT_TRUE(BtrieveCheck(ctx_));
  EXPECT_EQ(DWord("SOFTWARE\\Btrieve Technologies\\Microkernel", "Cache"), 9u) << "raised";
  EXPECT_EQ(DWord("SOFTWARE\\Btrieve Technologies\\Microkernel", "Files"), 2u);
  EXPECT_THAT(RegistryText(), Not(HasSubstr("Other")));
  std::string key = kFound;
  EXPECT_EQ(TakeLog(),
            "\n\n---> BtrieveCheck\n"
            "Registry : IsValidKey [" + key + "] = OK\n"
            "Btrieve : Találat!\n"
            "Btrieve : Konfigurálás\n"
            "Registry : GetValueDWord [" + key + "\\Cache] =  5\n"
            "Registry : SetValueDWord [" + key + "\\Cache] = 9\n"
            "Registry : GetValueString [" + key + "\\Dir] =  ERROR\n"
            "Registry : SetValueString [" + key + "\\Dir] = C:\\windows\n"
            "Registry : IsValidKey [" + std::string(kAbsent) + "] =  ERROR\n"
            "Registry : IsValidKey [" + key + "] = OK\n"
            "Btrieve : Találat!\n"
            "Btrieve : Konfigurálás\n"
            "Registry : GetValueDWord [" + key + "\\Files] =  ERROR\n"
            "Registry : SetValueDWord [" + key + "\\Files] = 2\n");
}

TEST_F(BtrieveConfigTest, CheckFailsOnlyWhenAFoundInstallationsFileCannotBeOpened) {
  WriteScript({"BtrieveCheck:", "\"$WINDIR$\\NINCS.REG\" \"" + std::string(kAbsent) + "\"",
               "\"$WINDIR$\\NINCS.REG\" \"" + std::string(kFound) + "\""});
  EXPECT_FALSE(BtrieveCheck(ctx_));
  EXPECT_THAT(TakeLog(), HasSubstr("Btrieve : Konfigurálás\nBtrieve : Nem megnyitható fájl C:\\windows\\NINCS.REG"));

  // No section, a section without lines, and lines with one value only.
  WriteScript({"Home:"});
  EXPECT_TRUE(BtrieveCheck(ctx_));
  WriteScript({"BtrieveCheck:", "Home:"});
  EXPECT_TRUE(BtrieveCheck(ctx_));
  TakeLog();
  WriteScript({"BtrieveCheck:", "\"A.REG\"", "\"A.REG \"" + std::string(kFound) + "\"", "A.REG"});
  EXPECT_TRUE(BtrieveCheck(ctx_));
  EXPECT_EQ(TakeLog(),
            "\n\n---> BtrieveCheck\n"
            "Registry : IsValidKey [] =  ERROR\n"
            "Registry : IsValidKey [] =  ERROR\n"
            "Registry : IsValidKey [] =  ERROR\n");
}

TEST_F(BtrieveConfigTest, CheckRefusesValuesLongerThanTheirFields) {
  // A key path grown beyond 511 characters by its macros names no key.
  settings_.homeDir = ("C:\\" + std::string(200, 'H')).c_str();
  std::string longKey = "HKEY_LOCAL_MACHINE\\$HOMEDIR$\\$HOMEDIR$\\$HOMEDIR$";
  WriteScript({"BtrieveCheck:", "\"A.REG\" \"" + longKey + "\""});
  EXPECT_TRUE(BtrieveCheck(ctx_));
  std::string log = TakeLog();
  EXPECT_THAT(log, HasSubstr("Btrieve : Túl hosszú kulcs : HKEY_LOCAL_MACHINE\\C:\\HHH"));
  EXPECT_THAT(log, HasSubstr("...ERROR\n\n!!! LogError : code = 206"));
  EXPECT_THAT(log, Not(HasSubstr("IsValidKey")));

  // A file path beyond 259 characters cannot be opened.
  WriteScript({"BtrieveCheck:", "\"$HOMEDIR$\\$HOMEDIR$\" \"" + std::string(kFound) + "\""});
  EXPECT_FALSE(BtrieveCheck(ctx_));
  EXPECT_THAT(TakeLog(), HasSubstr("Btrieve : Nem megnyitható fájl C:\\" + std::string(200, 'H') + "\\C:\\HHHHH"));

  // A line beyond the 511 characters it is read into.
  WriteScript({"BtrieveCheck:", "\"A.REG\" \"" + std::string(kFound) + "\"" + std::string(520, ' ') + "x"});
  EXPECT_FALSE(BtrieveCheck(ctx_));
  EXPECT_THAT(TakeLog(), HasSubstr("Túl hosszú sor : \"A.REG\""));
}

TEST_F(BtrieveConfigTest, RegistryAddsMissingValuesAndReportsTheLastFile) {
  WriteMediumFile("BAD.REG", "\"NoKey\"=\"x\"\r\n");
  WriteMediumFile("GOOD.REG", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve Technologies\\Microkernel]\r\n"
                              "\"Cache\"=dword:00000009\r\n\"Pages\"=dword:10\r\n");
  WriteScript({"BtrieveRegistry:", "\"BAD.REG\"", "\"GOOD.REG\""});
  EXPECT_TRUE(BtrieveRegistry(ctx_)) << "a failing import before the last file does not decide";
  EXPECT_EQ(DWord("SOFTWARE\\Btrieve Technologies\\Microkernel", "Cache"), 5u) << "not raised";
  EXPECT_EQ(DWord("SOFTWARE\\Btrieve Technologies\\Microkernel", "Pages"), 16u);

  WriteScript({"BtrieveRegistry:", "\"GOOD.REG\"", "\"BAD.REG\""});
  EXPECT_FALSE(BtrieveRegistry(ctx_));

  // A file that cannot be opened stops the step without a line of its own.
  WriteScript({"BtrieveRegistry:", "\"NINCS.REG\"", "\"GOOD.REG\""});
  TakeLog();
  EXPECT_FALSE(BtrieveRegistry(ctx_));
  EXPECT_EQ(TakeLog(), "\n\n---> Btrieve regisztráció\n");

  WriteScript({"Home:"});
  EXPECT_TRUE(BtrieveRegistry(ctx_));
  settings_.homeDir = ("C:\\" + std::string(250, 'H')).c_str();
  WriteScript({"BtrieveRegistry:", "\"$HOMEDIR$\\GOOD.REG\""});
  TakeLog();
  EXPECT_FALSE(BtrieveRegistry(ctx_));
  EXPECT_THAT(TakeLog(), HasSubstr("Btrieve : Nem megnyitható fájl C:\\" + std::string(250, 'H') +
                                   "\\GOOD.REGERROR\n\n!!! LogError : code = 206"));
}

}  // namespace
}  // namespace qz::test
