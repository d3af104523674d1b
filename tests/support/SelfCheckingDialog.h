#pragma once
// A dialog for tests on both machines that does its own checks once shown,
// then ends itself with 77.

#include <functional>
#include <string>

#include "platform/UserInterface.h"

namespace qz::test {

class SelfCheckingDialog : public platform::DialogHandler {
 public:
  SelfCheckingDialog(int id, std::function<void(platform::Dialog&)> check) : id_(id), check_(std::move(check)) {}
  int TemplateId() const override { return id_; }
  void OnInit(platform::Dialog&) override { events += "init "; }
  void OnShow(platform::Dialog& dialog) override {
    if (shown_++) return;
    events += "show ";
    dialog.PostCommand(9999);
    dialog.PostCommand(9998);
  }
  void OnCommand(platform::Dialog& dialog, int id) override {
    events += std::to_string(id) + " ";
    if (id == 9999) check_(dialog);
    if (id == 9998) dialog.End(77);
  }
  std::string events;

 private:
  int id_;
  std::function<void(platform::Dialog&)> check_;
  int shown_ = 0;
};

}  // namespace qz::test
