#pragma once
// The confirmation (dialog 129): "Eltávolít" goes on, "Kilép" (the default
// button), Enter, Esc or the close box cancel. The focus is put on "Kilép":
// left to the dialog manager it would fall on "Eltávolít", the first tab
// stop, and Enter would then remove the application.

#include <string_view>

#include "platform/UserInterface.h"
#include "text/Text.h"
#include "uninst/UninstallMessages.h"

namespace qz {

inline constexpr int kConfirmDialogId = 129;
inline constexpr int kConfirmTextId = 1001;

class ConfirmDialog : public platform::DialogHandler {
 public:
  explicit ConfirmDialog(std::string_view appName) { appName_.Assign(appName); }
  int TemplateId() const override { return kConfirmDialogId; }
  void OnInit(platform::Dialog& dialog) override {
    MessageText text;
    uninst_msg::Confirmation(text, appName_.c_str());
    dialog.SetItemText(kConfirmTextId, text.c_str());
    dialog.SetFocus(platform::kIdCancel);
  }

 private:
  NameText appName_;
};

}  // namespace qz
