// The uninstaller's dialogs as its code and its operator meet them, on both
// machines: the simulated one with the tables made from qzuninst.rc, and
// Win32 with the script compiled in.

#include <gtest/gtest.h>

#include <string>

#include "tests/support/SelfCheckingDialog.h"
#include "tests/support/TestMachine.h"
#include "uninst/ConfirmDialog.h"
#include "uninst/UninstallDialog.h"

#ifndef _WIN32
#include "platform/sim/DialogTemplate.h"
#include "platform/sim/SimUserInterface.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQzuninstDialogs;
}
#endif

namespace qz::test {
namespace {

using namespace platform;

std::string Text(Dialog& dialog, int id) {
  FixedText<512> text;
  dialog.GetItemText(id, text);
  return text.c_str();
}

std::string Caption(Dialog& dialog) {
  FixedText<256> caption;
  dialog.GetCaption(caption);
  return caption.c_str();
}

TEST(UninstallDialogsTest, ConfirmationAndProgressPageHaveTheirCaptionsTextsAndStates) {
  auto machine = TestMachine::Create();
  UserInterface& ui = machine->platform().ui;
#ifndef _WIN32
  dynamic_cast<sim::SimUserInterface&>(ui).SetTemplates(qz::templates::kQzuninstDialogs);
#endif
  // How the platform's dialogs keep long texts, captions and list lines,
  // DialogTest proves; here, that the ids and states are the script's.
  SelfCheckingDialog confirm(kConfirmDialogId, [](Dialog& d) {
    EXPECT_EQ(Caption(d), "Eltávolító program");
    EXPECT_EQ(Text(d, kIdOk), "Eltávolít");
    EXPECT_EQ(Text(d, kIdCancel), "Kilép");
    EXPECT_TRUE(d.IsItemEnabled(kIdOk));
    d.SetItemText(kConfirmTextId, "Ez a program eltávolít minden 'Számla' programcsoporttal");
    EXPECT_EQ(Text(d, kConfirmTextId), "Ez a program eltávolít minden 'Számla' programcsoporttal");
  });
  EXPECT_EQ(ui.RunDialog(confirm), 77);

  SelfCheckingDialog progress(kUninstallDialogId, [](Dialog& d) {
    EXPECT_EQ(Caption(d), "Eltávolító program");
    EXPECT_EQ(Text(d, kIdOk), "Befejezés");
    EXPECT_FALSE(d.IsItemEnabled(kIdOk)) << "disabled until the removal has ended";
    d.ListBox(kUninstallListId).AddString("Fileok törlése...");
    EXPECT_EQ(d.ListCount(kUninstallListId), 1);
  });
  EXPECT_EQ(ui.RunDialog(progress), 77);
}

}  // namespace
}  // namespace qz::test
