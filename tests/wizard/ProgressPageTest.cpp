// The progress page and the sequence table's mechanism, with steps of the
// test's own. (The setup program's own rows, their texts, the kinds of run
// each belongs to and their order are held against the expected list lines
// and boxes of the end-to-end scenarios, one failing in each row.)

#include "tests/wizard/WizardFixture.h"

namespace qz::test {
namespace {

// Enter while a step runs must not end the page, nor enable "Befejezés";
// hiding and showing the page again (its owner minimised and restored) must
// not install a second time; Esc after the sequence goes through the exit
// confirmation.
TEST_F(WizardTest, NothingButBefejezesEndsTheProgressPageAndTheInstallationRunsOnce) {
  int runs = 0;
  sequence_ = {{kRunsOnInstall, {"lépés"}, [this, &runs](StepContext&) {
                  ++runs;
                  ui().CurrentDialog()->Enter();
                  EXPECT_EQ(ui().CurrentDialog()->TemplateId(), kProgressDialog);
                  EXPECT_FALSE(ui().CurrentDialog()->IsEnabled(1)) << "Befejezés while the step runs";
                  return true;
                },
                {"x"}}};
  ToDirectoryPage().Enter(kDirectoryDialog).On(kProgressDialog, [](SimDialog& d) { d.HideAndShow(); });
  op_.Escape(kProgressDialog).Enter(kExitConfirmDialog).On(kProgressDialog, [](SimDialog& d) {
    EXPECT_TRUE(d.IsEnabled(1));
    d.Click(1);
  });
  EXPECT_EQ(Run(), RunOutcome::Finished);
  EXPECT_EQ(runs, 1);
}

TEST(InstallSequenceTest, ValuesAreNeverReadAsFormats) {
  SetupSettings s;
  s.appName.Assign("%s%n%d 100%");
  MessageText text;
  RowText("A %s telepítése %d%%", {RowText::Value::AppName}).Compose(s, text);
  EXPECT_EQ(text.view(), "A %s%n%d 100% telepítése %d%%");
  s.appName.Assign(std::string(255, 'x'));
  RowText("%s %s %s", {RowText::Value::AppName, RowText::Value::AppName, RowText::Value::AppName}).Compose(s, text);
  EXPECT_EQ(text.length(), 511u) << "cut to the shared text";
}

}  // namespace
}  // namespace qz::test
