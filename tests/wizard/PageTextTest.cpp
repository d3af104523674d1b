// The welcome and licence texts as the pages load them.

#include "setup/WizardPages.h"
#include "tests/wizard/WizardFixture.h"

namespace qz::test {
namespace {

class PageTextTest : public WizardTest {
 protected:
  std::string Load(const std::string& bytes) {
    WriteMedium("udvozles.txt", bytes);
    return LoadPageText(machine_->files(), "udvozles.txt");
  }
};

TEST_F(PageTextTest, TextsAreReadWholeUpToAndAcrossTheChunkSize) {
  EXPECT_EQ(Load(""), "");
  std::string bytes;
  for (int i = 0; i < 600; ++i) bytes += static_cast<char>('a' + i % 26);
  for (std::size_t size : {1u, 254u, 255u, 256u, 510u, 511u, 600u}) {
    EXPECT_EQ(Load(bytes.substr(0, size)), bytes.substr(0, size)) << size;
  }
  EXPECT_EQ(LoadPageText(machine_->files(), "nincs.txt"), "");
}

TEST_F(PageTextTest, ANulByteEndsItsChunkOnly) {
  std::string first(100, 'a');
  std::string rest(154, 'b');  // the first chunk: 100 a, NUL, 154 b
  std::string next = "CCC";
  EXPECT_EQ(Load(first + '\0' + rest + next), first + next);
}

TEST_F(PageTextTest, ThePagesShowTheirTextsUnchanged) {
  WriteMedium("udvozles.txt", "Üdvözöljük!\r\nŐrült tűz\r\n");
  WriteMedium("licensz.txt", std::string(256, 'L'));
  op_.On(kWelcomeDialog,
         [](SimDialog& d) {
           EXPECT_EQ(d.Text(kTextBox), "Üdvözöljük!\r\nŐrült tűz\r\n");
           d.Enter();
         })
      .On(kLicenceDialog,
          [](SimDialog& d) {
            EXPECT_EQ(d.Text(kTextBox), std::string(256, 'L'));
            EXPECT_EQ(d.Caption(), "Szoftver licensz");
            EXPECT_EQ(d.Text(1), "Elfogad");
            d.Escape();
          })
      .Escape(kExitConfirmDialog);
  EXPECT_EQ(Run(), RunOutcome::Left);
}

TEST_F(PageTextTest, MissingTextsLeaveTheBoxesEmptyWithoutAMessage) {
  op_.On(kWelcomeDialog,
         [](SimDialog& d) {
           EXPECT_EQ(d.Text(kTextBox), "");
           d.Enter();
         })
      .On(kLicenceDialog,
          [](SimDialog& d) {
            EXPECT_EQ(d.Text(kTextBox), "");
            d.Escape();
          })
      .Escape(kExitConfirmDialog);
  EXPECT_EQ(Run(), RunOutcome::Left);
  EXPECT_THAT(Transcript(), ::testing::Not(::testing::HasSubstr("Message box")));
}

}  // namespace
}  // namespace qz::test
