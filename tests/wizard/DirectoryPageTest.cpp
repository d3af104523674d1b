// The directory page's check of the home directory.

#include "tests/wizard/WizardFixture.h"

namespace qz::test {
namespace {

using ::testing::HasSubstr;

const char* kAccentMessage = "A könyvtár nevében nem szerepelhet ékezetes betű, sem szóköz karakter!";

class DirectoryPageTest : public WizardTest {
 protected:
  // Types `text` and presses Enter; expects the page to stay with the
  // message, then leaves the setup.
  void ExpectRefused(const std::string& text, const std::string& message) {
    SCOPED_TRACE(text);
    op_ = ScriptedOperator();
    ToDirectoryPage()
        .TypeAndEnter(kDirectoryDialog, kTextBox, text)
        .Answer(platform::kIdOk)
        .On(kDirectoryDialog,
            [text](SimDialog& d) {
              EXPECT_EQ(d.Text(kTextBox), text) << "the page keeps its text";
              d.Escape();
            })
        .Escape(kExitConfirmDialog);
    EXPECT_EQ(Run(), RunOutcome::Left);
    EXPECT_THAT(Transcript(), HasSubstr("Message box \"QZSetup\" (OK, exclamation): " + message + "\n"));
  }

  // Types `text`, presses Enter and expects the page to end with 1.
  void ExpectAccepted(const std::string& text) {
    SCOPED_TRACE(text);
    op_ = ScriptedOperator();
    ToDirectoryPage().TypeAndEnter(kDirectoryDialog, kTextBox, text).Escape(kProgressDialog).Escape(kExitConfirmDialog);
    EXPECT_EQ(Run(), RunOutcome::Left);
  }
};

TEST_F(DirectoryPageTest, ShowsTheDefaultDirectoryAndCreatesItWithoutATrailingBackslash) {
  ToDirectoryPage()
      .On(kDirectoryDialog,
          [](SimDialog& d) {
            EXPECT_EQ(d.Caption(), "Telepítési könyvtár");
            EXPECT_EQ(d.Text(kTextBox), "C:\\DEMO");
            d.Type(kTextBox, "C:\\Programok\\Demo\\");
            d.Enter();
          })
      .Click(kProgressDialog, 1);
  ASSERT_EQ(std::filesystem::create_directories(machine_->HostPath("C:\\Programok")), true);
  EXPECT_EQ(Run(), RunOutcome::Finished);
  EXPECT_TRUE(HostExists("C:\\Programok\\Demo"));
}

TEST_F(DirectoryPageTest, TheHomeDirectoryLosesOneTrailingBackslash) {
  ExpectAccepted("C:\\UJ\\");
  EXPECT_TRUE(HostExists("C:\\UJ"));
  EXPECT_THAT(Transcript(), ::testing::Not(HasSubstr("Message box")));
}

TEST_F(DirectoryPageTest, ASpaceOrAnAccentedLetterAnywhereIsRefused) {
  ExpectRefused("C:\\Program Files\\Demo", kAccentMessage);
  // The 24 accented letters; ú and Ú are not among them.
  for (std::string letter : {"á", "â", "ä", "é", "ë", "í", "ö", "ő", "ô", "ó", "ü", "ű", "Á", "Â", "Ä", "É", "Ë", "Í",
                             "Ó", "Ö", "Ő", "Ô", "Ü", "Ű"}) {
    ExpectRefused("C:\\K" + letter + "N\\DEMO", kAccentMessage);
  }
  EXPECT_FALSE(HostExists("C:\\Program Files"));
  ExpectAccepted("C:\\ÚJúj");
  EXPECT_TRUE(HostExists("C:\\ÚJúj"));
}

TEST_F(DirectoryPageTest, AMissingParentOrAnEmptyTextIsAWrongDirectory) {
  ExpectRefused("C:\\NINCS\\DEMO", "Hibás könyvtár (C:\\NINCS\\DEMO)");
  ExpectRefused("", "Hibás könyvtár ()");
  EXPECT_FALSE(HostExists("C:\\NINCS"));
}

TEST_F(DirectoryPageTest, AnExistingDirectoryIsTakenOnlyWhenOverwritingIsConfirmed) {
  ASSERT_TRUE(std::filesystem::create_directories(machine_->HostPath("C:\\DEMO")));
  ToDirectoryPage()
      .Enter(kDirectoryDialog)
      .Answer(platform::kIdNo)
      .On(kDirectoryDialog,
          [](SimDialog& d) {
            EXPECT_EQ(d.Text(kTextBox), "C:\\DEMO");
            d.Enter();
          })
      .Answer(platform::kIdYes)
      .Click(kProgressDialog, 1);
  EXPECT_EQ(Run(), RunOutcome::Finished);
  EXPECT_THAT(Transcript(), HasSubstr("Message box \"Hiba\" (Yes/No, question): A könyvtár már létezik! \n"
                                      "     Fölül akarja írni?\n> No\n"));
  EXPECT_EQ(ui().DialogsShown(), (std::vector<int>{101, 102, 103, 105})) << "the page stayed open";
}

// Installing into a drive's root or a system directory would later back it
// up into itself or remove it whole.
TEST_F(DirectoryPageTest, ADriveRootOrASystemDirectoryIsRefused) {
  for (const char* dir : {"C:\\", "C:", "c:\\", "D:\\", "C:\\windows", "C:\\WINDOWS\\", "C:\\windows\\system32",
                          "C:\\windows\\Vormex", "C:\\windows\\..", "\\"}) {
    std::string shown(dir);
    if (!shown.empty() && shown.back() == '\\') shown.pop_back();
    ExpectRefused(dir, "Hibás könyvtár (" + shown + ")");
  }
  ExpectAccepted("C:\\windows\\Demo");
}

TEST_F(DirectoryPageTest, ATextLongerThanAPathIsRefusedRatherThanCut) {
  std::string longName = "C:";
  while (longName.size() < 300) longName += "\\abcdefghi";
  op_ = ScriptedOperator();
  ToDirectoryPage()
      .TypeAndEnter(kDirectoryDialog, kTextBox, longName)
      .Answer(platform::kIdOk)
      .Escape(kDirectoryDialog)
      .Escape(kExitConfirmDialog);
  EXPECT_EQ(Run(), RunOutcome::Left);
  EXPECT_THAT(Transcript(), HasSubstr("Hibás könyvtár (C:\\abcdefghi\\abc"));
  EXPECT_FALSE(HostExists("C:\\abcdefghi"));
}

TEST_F(DirectoryPageTest, BrowsingReplacesTheTextUnlessCancelled) {
  ToDirectoryPage()
      .On(kDirectoryDialog,
          [](SimDialog& d) {
            d.Click(kBrowseButton);
            EXPECT_EQ(d.Text(kTextBox), "C:\\DEMO");
            d.Click(kBrowseButton);
            EXPECT_EQ(d.Text(kTextBox), "C:\\Valasztott");
            d.Enter();
          })
      .Browse(std::nullopt)
      .Browse("C:\\Valasztott")
      .Click(kProgressDialog, 1);
  EXPECT_EQ(Run(), RunOutcome::Finished);
  EXPECT_THAT(Transcript(), HasSubstr("Folder browser \"Installációs könyvtár kiválasztása\"\n> Cancel\n"));
  EXPECT_TRUE(HostExists("C:\\Valasztott"));
}

TEST_F(DirectoryPageTest, ADirectoryThatCannotBeMadeForAnotherReasonIsAWrongDirectory) {
  machine_->files().SetDriveFull('d', true);
  ExpectRefused("D:\\DEMO", "Hibás könyvtár (D:\\DEMO)");
}

}  // namespace
}  // namespace qz::test
