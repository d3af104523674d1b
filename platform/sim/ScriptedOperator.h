#pragma once
// An operator that follows a script written by a test: what to do on each
// dialog, in order, and how to answer each message box and folder browser.
// Anything the script did not foresee ends the run (OperatorStuck).

#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "platform/sim/SimUserInterface.h"

namespace qz::platform::sim {

class ScriptedOperator : public SimOperator {
 public:
  using Action = std::function<void(SimDialog&)>;

  // On the next dialog to wait for the user, which must be `templateId`.
  ScriptedOperator& On(int templateId, Action action);
  ScriptedOperator& Enter(int templateId);
  ScriptedOperator& Escape(int templateId);
  ScriptedOperator& Click(int templateId, int id);
  ScriptedOperator& Close(int templateId);
  // Types the text into the control, then presses Enter.
  ScriptedOperator& TypeAndEnter(int templateId, int id, std::string text);
  // The next message box is answered with the button (kIdOk, kIdYes, kIdNo).
  ScriptedOperator& Answer(int button);
  // The next folder browser chooses the folder, or is cancelled.
  ScriptedOperator& Browse(std::optional<std::string> folder);

  bool Done() const { return steps_.empty(); }
  std::size_t Left() const { return steps_.size(); }

  bool Act(SimDialog& dialog) override;
  int Answer(const MessageBoxView& box) override;
  bool Browse(const std::string& title, std::string& folder) override;

 private:
  struct Step {
    enum Kind { OnDialog, OnMessage, OnBrowser } kind;
    int templateId = 0;
    Action action;
    int answer = 0;
    std::optional<std::string> folder;
  };
  std::string Expected() const;

  std::deque<Step> steps_;
};

}  // namespace qz::platform::sim
