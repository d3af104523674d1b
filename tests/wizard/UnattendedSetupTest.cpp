// QZSetup.exe /S: the wizard without a window, its answers from the command
// line, its message boxes in the log and its exit status. (The same code
// runs on Windows with the real machine under it: the end-to-end runs.)

#include "setup/UnattendedSetup.h"
#include "setup/WizardPages.h"
#include "text/CodePage.h"
#include "tests/wizard/WizardFixture.h"

namespace qz::test {
namespace {

class UnattendedSetupTest : public WizardTest {
 protected:
  int RunSilent(const std::string& arguments) {
    SetupCommandLine options;
    std::string problem;
    if (!ParseSetupCommandLine(u"QZSetup.exe " + Utf16FromCp1250(arguments), options, problem)) {
      return SetupBadUsage(machine_.platform(), options.silent, problem);
    }
    return RunUnattendedSetup(machine_.platform(), btrieve_, sequence_, options, qz::templates::kQZSetupDialogs);
  }
};

// (An installation into the /D= directory: the silent-* scenarios.) An
// update has no directory page to take /D=: the log says so.
TEST_F(UnattendedSetupTest, AnUpdateLogsThatTheGivenDirectoryIsNotUsedAndShowsNothing) {
  MakeDirs("C:\\RAKTAR");
  Installed("1.5", "C:\\RAKTAR");
  EXPECT_EQ(RunSilent("/S /D=C:\\MASHOVA"), 0);
  EXPECT_FALSE(Exists("C:\\MASHOVA"));
  EXPECT_THAT(Log(), HasSubstr("InstallType : UPDATE\r\nOld version : 1.5\r\nMegadott célkönyvtár : C:\\MASHOVA, "
                               "nincs használva: a telepített könyvtárban (C:\\RAKTAR) történik a frissítés\r\n"));
  EXPECT_THAT(Log(), HasSubstr("---> Teszt"));
  EXPECT_EQ(Transcript(), "") << "the machine's own user interface is never used";
}

TEST_F(UnattendedSetupTest, TheOverwriteQuestionIsAnsweredYesOrWithNoOverwriteNo) {
  MakeDirs("C:\\DEMO");
  EXPECT_EQ(RunSilent("/S /NOOVERWRITE"), 3);
  EXPECT_THAT(Log(), HasSubstr("\r\n[Üzenetablak: Hiba] A könyvtár már létezik! \\n Fölül akarja írni? => Nem\r\n"));
  EXPECT_THAT(Log(), Not(HasSubstr("---> Teszt")));
  EXPECT_EQ(RunSilent("/S"), 0);
  EXPECT_THAT(Log(), HasSubstr("Fölül akarja írni? => Igen\r\n"));
  EXPECT_THAT(Log(), HasSubstr("---> Teszt"));
}

TEST_F(UnattendedSetupTest, AFailedStepEndsTheRunWithStatusOneAndItsBoxInTheLog) {
  sequence_[0].step = [](StepContext&) { return false; };
  EXPECT_EQ(RunSilent("/S"), 1);
  EXPECT_THAT(Log(), HasSubstr("[Üzenetablak: Demo] Hiba: Demo\r\nShowError : "));
}

TEST_F(UnattendedSetupTest, ACommandLineNotUnderstoodIsLoggedWhenSilentAndShownOtherwise) {
  EXPECT_EQ(RunSilent("/S /X"), 64);
  EXPECT_THAT(Log(), HasSubstr("Hibás parancssor: ismeretlen kapcsoló: /X\r\n"));
  EXPECT_EQ(Transcript(), "");
  op_.Answer(platform::kIdOk);
  EXPECT_EQ(RunSilent("/D=C:\\QZ"), 64);
  EXPECT_THAT(Transcript(), HasSubstr("Message box \"QZSetup\" (OK, exclamation): Hibás parancssor: "));
}

}  // namespace
}  // namespace qz::test
