// The progress page and the sequence table's mechanism, with steps of the
// test's own. (The setup program's own rows, their texts, the kinds of run
// each belongs to and their order are held against the expected list lines
// and boxes of the end-to-end scenarios, one failing in each row.)

#include "tests/wizard/WizardFixture.h"

namespace qz::test {
namespace {

using V = RowText::Value;

class ProgressPageTest : public WizardTest {
 protected:
  // A step that notes that it ran and that "Befejezés" was disabled meanwhile.
  InstallStep Step(const std::string& name, bool result) {
    return [this, name, result](StepContext& ctx) {
      ran_ += name + " ";
      auto* dialog = ui().CurrentDialog();
      EXPECT_EQ(dialog->TemplateId(), kProgressDialog);
      EXPECT_FALSE(dialog->IsEnabled(1)) << "Befejezés while " << name << " runs";
      ctx.log.Print("\n\n---> %s\n", name.c_str());
      return result;
    };
  }

  void RunToTheEnd(RunOutcome expected) {
    op_.On(kProgressDialog, [](SimDialog& d) {
      EXPECT_TRUE(d.IsEnabled(1));
      d.Click(1);
    });
    EXPECT_EQ(Run(), expected);
  }

  std::string ran_;
};

TEST_F(ProgressPageTest, TheFirstFailureStopsTheSequenceAndIsShownAndLogged) {
  sequence_ = {
      {kRunsOnInstall, {"A %s telepítése", {V::AppName}}, Step("jó", true), {"x"}},
      {kRunsOnInstall, {"Adatbázis konverzió : v%s -> v%s", {V::OldVersion, V::AppVersion}}, Step("rossz", false),
       {"Hiba történt a %s telepítése közben", {V::AppName}}},
      {kRunsOnInstall, {"soha"}, Step("soha", true), {"x"}},
  };
  ToDirectoryPage().Enter(kDirectoryDialog).Answer(platform::kIdOk);
  RunToTheEnd(RunOutcome::Failed);
  EXPECT_EQ(ran_, "jó rossz ");
  EXPECT_THAT(Transcript(), HasSubstr("List 1017: A Demo telepítése\nList 1017: Adatbázis konverzió : v -> v2.0\n"
                                      "Message box \"Demo\" (OK, stop): Hiba történt a Demo telepítése közben\n> OK\n"
                                      "List 1017: --- !!! Hiba a telepítés közben !!! ---\n"
                                      "Enabled 1 \"Befejezés\"\n"));
  EXPECT_THAT(Log(), EndsWith("\r\n\r\n---> rossz\r\nShowError : \r\nHiba történt a Demo telepítése közben\r\n\r\n"
                              "A telepítés nem sikerült!!!\r\n\r\n\r\n"));
}

// Enter while a step runs must not end the page; hiding and showing the
// page again (its owner minimised and restored) must not install a second
// time; Esc after the sequence goes through the exit confirmation.
TEST_F(ProgressPageTest, NothingButBefejezesEndsThePageAndTheInstallationRunsOnce) {
  sequence_ = {{kRunsOnInstall, {"lépés"}, [this](StepContext& ctx) {
                  ui().CurrentDialog()->Enter();
                  return Step("a", true)(ctx);
                },
                {"x"}}};
  ToDirectoryPage().Enter(kDirectoryDialog).On(kProgressDialog, [](SimDialog& d) { d.HideAndShow(); });
  op_.Escape(kProgressDialog).Enter(kExitConfirmDialog);
  RunToTheEnd(RunOutcome::Finished);
  EXPECT_EQ(ran_, "a ");
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
