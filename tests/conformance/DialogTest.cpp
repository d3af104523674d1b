// What the setup program relies on from dialogs, list boxes and bitmaps, on
// both machines: the simulated one with the dialog tables made from the
// resource script, and Win32 with the script compiled in. (The main window
// under Wine is the end-to-end runs'.)

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ProgressList.h"
#include "tests/support/Bitmap.h"
#include "tests/support/SelfCheckingDialog.h"
#include "tests/support/TestMachine.h"

#ifndef _WIN32
#include "platform/sim/DialogTemplate.h"
#include "platform/sim/SimUserInterface.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQZSetupDialogs;
}
#endif

namespace qz::test {
namespace {

using namespace platform;

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() {
#ifndef _WIN32
    dynamic_cast<sim::SimUserInterface&>(ui_).SetTemplates(qz::templates::kQZSetupDialogs);
#endif
  }
  std::string Text(Dialog& dialog, int id) {
    FixedText<512> text;
    dialog.GetItemText(id, text);
    return text.c_str();
  }

  std::unique_ptr<TestMachine> machine_ = TestMachine::Create();
  UserInterface& ui_ = machine_->platform().ui;
};

TEST_F(DialogTest, TextsKeepTheirWindows1250LettersAndASmallBufferGetsTheirStart) {
  SelfCheckingDialog page(101, [this](Dialog& d) {
    // (Captions with these letters are the end-to-end runs'.)
    std::string text = "Árvíztűrő tükörfúrógép ŐŰ őű \"idézet\" 100%\r\n" + std::string(300, 'x');
    d.SetItemText(1005, text.c_str());
    EXPECT_EQ(Text(d, 1005), text);
    // A buffer too small gets the start of the text and learns its length.
    FixedText<5> small;
    EXPECT_EQ(d.GetItemText(1005, small), text.size());
    EXPECT_STREQ(small.c_str(), "Árví");
  });
  EXPECT_EQ(ui_.RunDialog(page), 77);
}

TEST_F(DialogTest, TheProgressListSelectsWhatItAddsAndFinishStartsDisabled) {
  bool win32 = machine_->IsWin32();
  SelfCheckingDialog page(105, [win32](Dialog& d) {
    EXPECT_FALSE(d.IsItemEnabled(1)) << "Befejezés is created disabled";
    EXPECT_EQ(d.ListCount(1017), 0);
    ProgressList list(d.ListBox(1017));
    list.AddLine("A Btrieve regisztrálás...");
    list.AddLine("   Fájl : C:\\A\\B.EXE");
    EXPECT_EQ(d.ListSelection(1017), 1);
    // An earlier line (not the first) that begins with the text is selected.
    list.AddLine("   fájl");
    EXPECT_EQ(d.ListSelection(1017), 1);
    // The first line is searched last: the new line is found before it.
    list.AddLine("A BTRIEVE");
    EXPECT_EQ(d.ListSelection(1017), 3);
    // Letter case is ignored, accented letters included, as Windows compares.
    list.AddLine("Árvíztűrő tükörfúrógép");
    list.AddLine("ÁRVÍZTŰRŐ");
    if (win32) {
      // Wine folds only the ASCII letters here and finds the new line itself.
      EXPECT_EQ(d.ListSelection(1017), 5);
    } else {
      EXPECT_EQ(d.ListSelection(1017), 4);
    }
    EXPECT_EQ(d.ListCount(1017), 6);
  });
  EXPECT_EQ(ui_.RunDialog(page), 77);
}

TEST_F(DialogTest, ADialogWithoutATemplateCannotBeCreated) {
  SelfCheckingDialog missing(4711, [](Dialog&) {});
  EXPECT_EQ(ui_.RunDialog(missing), -1);
  EXPECT_EQ(missing.events, "");
}

TEST_F(DialogTest, BitmapsLoadFromFilesOrNotAtAll) {
  std::string dir = machine_->scratchDir();
  machine_->WriteFile(dir + "\\logo.bmp", BitmapFile(3, 2));
  machine_->WriteFile(dir + "\\text.bmp", "this is no bitmap at all, only text");
  auto logo = ui_.LoadBitmapFile((dir + "\\logo.bmp").c_str());
  ASSERT_TRUE(logo);
  EXPECT_EQ(logo->Width(), 3);
  EXPECT_EQ(logo->Height(), 2);
  EXPECT_FALSE(ui_.LoadBitmapFile((dir + "\\missing.bmp").c_str()));
  EXPECT_FALSE(ui_.LoadBitmapFile((dir + "\\text.bmp").c_str()));
}

}  // namespace
}  // namespace qz::test
