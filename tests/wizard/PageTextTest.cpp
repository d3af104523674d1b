// The welcome and licence texts as the pages load them.

#include "setup/WizardPages.h"
#include "tests/wizard/WizardFixture.h"

namespace qz::test {
namespace {

class PageTextTest : public WizardTest {
 protected:
  std::string Load(const std::string& bytes) {
    WriteMedium("udvozles.txt", bytes);
    return LoadPageText(machine_.files(), "udvozles.txt");
  }
};

TEST_F(PageTextTest, TextsAreReadWholeUpToAndAcrossTheChunkSize) {
  std::string bytes;
  for (int i = 0; i < 600; ++i) bytes += static_cast<char>('a' + i % 26);
  for (std::size_t size : {0u, 1u, 254u, 255u, 256u, 510u, 511u, 600u}) {
    EXPECT_EQ(Load(bytes.substr(0, size)), bytes.substr(0, size)) << size;
  }
  EXPECT_EQ(LoadPageText(machine_.files(), "nincs.txt"), "");
  // A NUL byte ends its chunk only: the first chunk is 100 a, NUL, 154 b.
  EXPECT_EQ(Load(std::string(100, 'a') + '\0' + std::string(154, 'b') + "CCC"), std::string(100, 'a') + "CCC");
}

TEST_F(PageTextTest, ThePagesShowTheirTextsUnchangedAndAMissingOneWithoutAMessage) {
  WriteMedium("udvozles.txt", "Üdvözöljük!\r\nŐrült tűz\r\n");
  op_.On(kWelcomeDialog,
         [](SimDialog& d) {
           EXPECT_EQ(d.Text(kTextBox), "Üdvözöljük!\r\nŐrült tűz\r\n");
           d.Enter();
         })
      .On(kLicenceDialog,
          [](SimDialog& d) {
            EXPECT_EQ(d.Text(kTextBox), "");
            EXPECT_EQ(d.Caption(), "Szoftver licensz");
            EXPECT_EQ(d.Text(1), "Elfogad");
            d.Escape();
          })
      .Escape(kExitConfirmDialog);
  EXPECT_EQ(Run(), RunOutcome::Left);
  EXPECT_THAT(Transcript(), Not(HasSubstr("Message box")));
}

}  // namespace
}  // namespace qz::test
