// The wizard driver: which pages a run shows, how it moves between them,
// how it stops, what it writes to the log, and the pages' texts.

#include <algorithm>
#include <tuple>

#include "setup/WizardPages.h"
#include "tests/wizard/WizardFixture.h"

namespace qz::test {
namespace {

using ::testing::StartsWith;

constexpr int kIdCancelButton = 2;

const char* kBanner =
    "*******************QZSetup***************************\r\n* Dátum : 2024-03-05 Tuesday 14:07:09\r\n\r\n";

TEST_F(WizardTest, FirstInstallationWalksFourPagesAndLogsItsBanner) {
  ToDirectoryPage().Enter(kDirectoryDialog).Click(kProgressDialog, 1);
  EXPECT_EQ(Run(), RunOutcome::Finished);
  EXPECT_EQ(ui().DialogsShown(), (std::vector<int>{101, 102, 103, 105}));
  // (The lines between: the end-to-end installation's log.)
  EXPECT_THAT(Log(), StartsWith(std::string(kBanner) + "---> GetDefaults\r\n"));
  EXPECT_THAT(Log(), EndsWith("InstallType : INSTALL\r\n\r\n\r\n---> Teszt\r\n\r\n\r\n\r\n"));
  EXPECT_THAT(Transcript(), EndsWith("Main window closed\n"));
  EXPECT_TRUE(Exists("C:\\DEMO"));
  // Every closed dialog activates the main window again, which must not
  // start the wizard again.
  EXPECT_EQ(ui().MainWindowPaintCount(), 1 + 4);
}

// The texts are shown as their bytes stand (Windows-1250), the licence read
// again on the way back. (Missing texts, as in the other runs, show no message.)
TEST_F(WizardTest, BackFromTheDirectoryPageReloadsTheLicenceAndKeepsTheTypedText) {
  WriteMedium("udvozles.txt", "Üdvözöljük!\r\n");
  WriteMedium("licensz.txt", "first\r\n");
  ToDirectoryPage()
      .TypeAndEnter(kDirectoryDialog, kTextBox, "C:\\NINCS\\MASIK")
      .Answer(platform::kIdOk)
      .On(kDirectoryDialog,
          [this](SimDialog& d) {
            WriteMedium("licensz.txt", "Őrült tűz\r\n");
            d.Click(kBackButton);
          })
      .On(kLicenceDialog,
          [](SimDialog& d) {
            EXPECT_EQ(d.Text(kTextBox), "Őrült tűz\r\n");
            EXPECT_EQ(d.Text(1), "Elfogad");
            d.Click(kBackButton);
          })
      .On(kWelcomeDialog,
          [](SimDialog& d) {
            EXPECT_EQ(d.Text(kTextBox), "Üdvözöljük!\r\n");
            d.Enter();
          })
      .Enter(kLicenceDialog)
      .On(kDirectoryDialog,
          [](SimDialog& d) {
            EXPECT_EQ(d.Text(kTextBox), "C:\\NINCS\\MASIK");
            d.Type(kTextBox, "C:\\DEMO");
            d.Enter();
          })
      .Click(kProgressDialog, 1);
  EXPECT_EQ(Run(), RunOutcome::Finished);
  EXPECT_EQ(ui().DialogsShown(), (std::vector<int>{101, 102, 103, 102, 101, 102, 103, 105}));
}

// Leaving through the exit confirmation, on every page and every way.
struct LeaveCase {
  int page;
  const char* how;  // "esc", "buttons", "close"
};

class LeaveTest : public WizardTest, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(LeaveTest, EndsTheWizardAndClosesTheLog) {
  const LeaveCase& c = GetParam();
  std::vector<int> before;
  for (int page : {kWelcomeDialog, kLicenceDialog, kDirectoryDialog, kProgressDialog}) {
    if (page == c.page) break;
    before.push_back(page);
    op_.Enter(page);
  }
  std::string how = c.how;
  if (how == "buttons" && c.page != kProgressDialog) {
    op_.Click(c.page, kIdCancelButton);
  } else {
    op_.Escape(c.page);
  }
  if (how == "esc") op_.Escape(kExitConfirmDialog);
  if (how == "buttons") op_.Click(kExitConfirmDialog, 2);
  if (how == "close") op_.Close(kExitConfirmDialog);
  EXPECT_EQ(Run(), RunOutcome::Left);
  before.push_back(c.page);
  before.push_back(kExitConfirmDialog);
  EXPECT_EQ(ui().DialogsShown(), before);
  EXPECT_THAT(Log(), EndsWith("\r\n\r\n\r\n"));
  EXPECT_THAT(Transcript(), EndsWith("Dialog " + std::to_string(c.page) + " ends with 2\nMain window closed\n"));
}

INSTANTIATE_TEST_SUITE_P(EveryPage, LeaveTest,
                         ::testing::Values(LeaveCase{101, "esc"}, LeaveCase{101, "buttons"}, LeaveCase{101, "close"},
                                           LeaveCase{102, "esc"}, LeaveCase{102, "buttons"}, LeaveCase{103, "esc"},
                                           LeaveCase{103, "buttons"}, LeaveCase{103, "close"}, LeaveCase{105, "esc"},
                                           LeaveCase{105, "close"}));

TEST_F(WizardTest, EnterOrFolytatOnTheExitConfirmationContinuesTheSetup) {
  op_.Escape(kWelcomeDialog).Enter(kExitConfirmDialog).Click(kWelcomeDialog, kIdCancelButton);
  op_.Click(kExitConfirmDialog, 1);
  ToDirectoryPage().Enter(kDirectoryDialog).Click(kProgressDialog, 1);
  EXPECT_EQ(Run(), RunOutcome::Finished);
  // Pages have no close box: the operator cannot close one.
  op_.On(kWelcomeDialog, [](SimDialog& d) { d.Close(); });
  EXPECT_THROW(Run(), platform::sim::OperatorStuck);
}

// (A script that is missing or lacks a setting stops before any page with
// its message, shown and logged: the end-to-end runs missing-script and
// update-not-installed; which setting gives which message: the setup
// script's tests.)

TEST_F(WizardTest, AStartUpFailureShowsItsMessageAndEndsWithoutTheMainWindow) {
  machine_.files().SetDriveFull('c', true);
  op_.Answer(platform::kIdOk);
  EXPECT_EQ(Run(), RunOutcome::Stopped);
  EXPECT_EQ(Transcript(),
            "Message box \"QZSetup\" (OK, exclamation): Nem hozható létre a C:\\windows\\Vormex könyvtár!\n    \n"
            "    Engedélyezze a könyvtár létrehozásátaz installáció megkezdéséhez!\n> OK\n");
  EXPECT_EQ(Log(), "<missing>");
}

TEST_F(WizardTest, ALogoIsDrawnAtTheTopLeftOfEveryPage) {
  WriteMedium("logo.bmp", BitmapFile(40, 30));
  for (int page : {kWelcomeDialog, kLicenceDialog, kDirectoryDialog, kProgressDialog}) {
    op_.On(page, [page](SimDialog& d) {
      auto images = d.LastPainting().Of(platform::sim::DrawOp::Image);
      EXPECT_EQ(images.size(), 1u) << "page " << page;
      for (const auto* i : images) EXPECT_EQ(std::tuple(i->x, i->y, i->width, i->height), std::tuple(8, 8, 40, 30));
      page == kProgressDialog ? d.Click(1) : d.Enter();
    });
  }
  EXPECT_EQ(Run(), RunOutcome::Finished);
}

TEST_F(WizardTest, ALogoThatCannotBeLoadedShowsNoLogoAndNoMessage) {
  WriteMedium("logo.bmp", BitmapFile(40, 30).substr(0, 100));
  op_.On(kWelcomeDialog, [](SimDialog& d) {
       EXPECT_TRUE(d.LastPainting().Of(platform::sim::DrawOp::Image).empty());
       d.Escape();
     }).Escape(kExitConfirmDialog);
  EXPECT_EQ(Run(), RunOutcome::Left);
  EXPECT_THAT(Transcript(), Not(HasSubstr("Message box")));
}

TEST_F(WizardTest, APageThatCannotBeCreatedEndsTheWizardInsteadOfLooping) {
  // The setup program's dialogs without the licence page.
  const auto& all = qz::templates::kQZSetupDialogs;
  std::vector<platform::sim::DialogTemplate> some;
  std::copy_if(all.dialogs, all.dialogs + all.count, std::back_inserter(some),
               [](const auto& d) { return d.id != kLicenceDialog; });
  platform::sim::DialogTemplateSet set{some.data(), some.size()};
  ui().SetTemplates(set);
  op_.Enter(kWelcomeDialog).Answer(platform::kIdOk);
  EXPECT_EQ(Run(), RunOutcome::Failed);
  EXPECT_EQ(ui().DialogsShown(), (std::vector<int>{101}));
  EXPECT_THAT(Transcript(), HasSubstr("Dialog 102 cannot be created\n"
                                      "Message box \"QZSetup\" (OK, exclamation): A telepítő 102. ablaka nem "
                                      "jeleníthető meg!\n"));
  EXPECT_THAT(Log(), EndsWith("\r\n\r\n---> Wizard\r\nA telepítő 102. ablaka nem jeleníthető meg!\r\n\r\n\r\n\r\n"));
}

// The welcome and licence texts as the pages load them.
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

}  // namespace
}  // namespace qz::test
