// The Btrieve check and configuration steps.

#include "btrieve/BtrieveConfig.h"
#include "tests/engine/StepFixture.h"

namespace qz::test {
namespace {

const std::string kFound = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve Technologies\\Microkernel";
const std::string kAbsent = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Pervasive";

class BtrieveConfigTest : public StepFixture {
 protected:
  BtrieveConfigTest() {
    Registry(machine_.registry()).SetValueDWord(kFound, "Cache", 5);  // an earlier installation
    WriteMedium("A.REG", "[" + kFound + "]\r\n\"Cache\"=dword:00000009\r\n\"Dir\"=\"$WINDIR$\"\r\n");
    WriteMedium("B.REG", "[" + kFound + "]\r\n\"Files\"=dword:2\r\n");
    WriteMedium("BAD.REG", "\"NoKey\"=\"x\"\r\n");
  }
  std::uint32_t DWord(const char* name) {
    std::uint32_t value = 0;
    Registry(machine_.registry()).GetValueDWord(kFound, name, value);
    return value;
  }
};

TEST_F(BtrieveConfigTest, CheckAppliesTheFilesOfTheInstallationsFound) {
  WriteScript({"BtrieveCheck:", "\"A.REG\" \"" + kFound + "\"", "\"C.REG\" \"" + kAbsent + "\"",
               "\"B.REG\"\"" + kFound + "\"", "BtrieveRegistry:"});
  ASSERT_TRUE(BtrieveCheck(ctx_));
  EXPECT_EQ(DWord("Cache"), 9u) << "raised";
  EXPECT_EQ(DWord("Files"), 2u) << "the line without a blank between its values";
  EXPECT_THAT(TakeLog(), HasSubstr("Btrieve : Találat!\nBtrieve : Konfigurálás\n"));
}

// Lines with one value, or a first value without its closing quote, have
// no key. (A found installation's file that cannot be opened: the
// end-to-end run of a failed check.)
TEST_F(BtrieveConfigTest, CheckLinesWithoutAKey) {
  WriteScript({"BtrieveCheck:", "\"A.REG\"", "\"A.REG \"" + kFound + "\"", "A.REG", "Home:"});
  EXPECT_TRUE(BtrieveCheck(ctx_));
  EXPECT_EQ(TakeLog(), "\n\n---> BtrieveCheck\n"
                           "Registry : IsValidKey [] =  ERROR\nRegistry : IsValidKey [] =  ERROR\n"
                           "Registry : IsValidKey [] =  ERROR\n");
  WriteScript({"Home:"});
  EXPECT_TRUE(BtrieveCheck(ctx_)) << "no section";
}

TEST_F(BtrieveConfigTest, CheckRefusesValuesLongerThanTheirFields) {
  settings_.homeDir = ("C:\\" + std::string(200, 'H')).c_str();
  // A key path beyond 511 characters names no key: passed over.
  WriteScript({"BtrieveCheck:", "\"A.REG\" \"HKEY_LOCAL_MACHINE\\$HOMEDIR$\\$HOMEDIR$\\$HOMEDIR$\""});
  EXPECT_TRUE(BtrieveCheck(ctx_));
  std::string log = TakeLog();
  EXPECT_THAT(log, HasSubstr("Btrieve : Túl hosszú kulcs : HKEY_LOCAL_MACHINE\\C:\\HHH"));
  EXPECT_THAT(log, HasSubstr("...ERROR\n\n!!! LogError : code = 206"));
  // A file path beyond 259 characters cannot be opened.
  WriteScript({"BtrieveCheck:", "\"$HOMEDIR$\\$HOMEDIR$\" \"" + kFound + "\""});
  EXPECT_FALSE(BtrieveCheck(ctx_));
  EXPECT_THAT(TakeLog(), HasSubstr("Nem megnyitható fájl C:\\" + std::string(200, 'H') + "\\C:\\HHH"));
  // A line beyond the 511 characters it is read into.
  WriteScript({"BtrieveCheck:", "\"A.REG\" \"" + kFound + "\"" + std::string(520, ' ') + "x"});
  EXPECT_FALSE(BtrieveCheck(ctx_));
  EXPECT_THAT(TakeLog(), HasSubstr("Túl hosszú sor : \"A.REG\""));
}

TEST_F(BtrieveConfigTest, RegistryAddsMissingValuesAndReportsTheLastFile) {
  WriteScript({"BtrieveRegistry:", "\"BAD.REG\"", "\"A.REG\""});
  EXPECT_TRUE(BtrieveRegistry(ctx_)) << "a failing import before the last file does not decide";
  EXPECT_EQ(DWord("Cache"), 5u) << "not raised";
  WriteScript({"BtrieveRegistry:", "\"A.REG\"", "\"BAD.REG\""});
  EXPECT_FALSE(BtrieveRegistry(ctx_));
  settings_.homeDir = ("C:\\" + std::string(255, 'H')).c_str();
  WriteScript({"BtrieveRegistry:", "\"$HOMEDIR$\\A.REG\""});
  EXPECT_FALSE(BtrieveRegistry(ctx_));
  EXPECT_THAT(TakeLog(), HasSubstr("\\A.REGERROR\n\n!!! LogError : code = 206"));
  WriteScript({"Home:"});
  EXPECT_TRUE(BtrieveRegistry(ctx_)) << "no section";
}

}  // namespace
}  // namespace qz::test
