// The directory page in the wizard. The check of the text on both machines
// (the default shown, every refused letter, ú accepted, a missing parent, an
// empty text, the trailing backslash, the overwrite question) is the
// conformance suite's DirectoryCheckTest.

#include "tests/wizard/WizardFixture.h"

namespace qz::test {
namespace {

class DirectoryPageTest : public WizardTest {
 protected:
  // Types `text` and presses Enter. A refused text keeps the page with its
  // text after the message; an accepted one ends the page without a
  // message. Either way the setup is then left.
  void Expect(const std::string& text, const std::string& message) {
    SCOPED_TRACE(text);
    std::size_t before = ui().Transcript().size();
    op_ = ScriptedOperator();
    ToDirectoryPage().TypeAndEnter(kDirectoryDialog, kTextBox, text);
    if (message.empty()) {
      op_.Escape(kProgressDialog);
    } else {
      op_.Answer(platform::kIdOk).On(kDirectoryDialog, [text](SimDialog& d) {
        EXPECT_EQ(d.Text(kTextBox), text) << "the page keeps its text";
        d.Escape();
      });
    }
    op_.Escape(kExitConfirmDialog);
    EXPECT_EQ(Run(), RunOutcome::Left);
    std::string boxes;
    for (std::size_t i = before; i < ui().Transcript().size(); ++i) {
      if (ui().Transcript()[i].rfind("Message box", 0) == 0) boxes += ui().Transcript()[i] + "\n";
    }
    EXPECT_EQ(boxes, message.empty() ? "" : "Message box \"QZSetup\" (OK, exclamation): " + message + "\n");
  }
};

// Installing into a drive's root or a system directory would later back it
// up into itself or remove it whole; a text longer than a path is refused
// rather than cut; a directory that cannot be made is a wrong one.
TEST_F(DirectoryPageTest, ADriveRootASystemDirectoryAndWhatCannotBeMadeAreRefused) {
  for (const char* dir : {"C:\\", "C:", "c:\\", "D:\\", "C:\\windows", "C:\\WINDOWS\\", "C:\\windows\\system32",
                          "C:\\windows\\Vormex", "C:\\windows\\..", "\\"}) {
    std::string shown(dir);
    if (!shown.empty() && shown.back() == '\\') shown.pop_back();
    Expect(dir, "Hibás könyvtár (" + shown + ")");
  }
  Expect("C:\\windows\\Demo", "");
  std::string longName = "C:";
  while (longName.size() < 300) longName += "\\abcdefghi";
  Expect(longName, "Hibás könyvtár (" + longName.substr(0, 259) + ")");
  EXPECT_FALSE(Exists("C:\\abcdefghi"));
  machine_.files().SetDriveFull('d', true);
  Expect("D:\\DEMO", "Hibás könyvtár (D:\\DEMO)");
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
  EXPECT_TRUE(Exists("C:\\Valasztott"));
}

}  // namespace
}  // namespace qz::test
