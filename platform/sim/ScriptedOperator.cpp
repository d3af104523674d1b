#include "platform/sim/ScriptedOperator.h"

namespace qz::platform::sim {

ScriptedOperator& ScriptedOperator::On(int templateId, Action action) {
  steps_.push_back({Step::OnDialog, templateId, std::move(action), 0, std::nullopt});
  return *this;
}

ScriptedOperator& ScriptedOperator::Enter(int templateId) {
  return On(templateId, [](SimDialog& d) { d.Enter(); });
}

ScriptedOperator& ScriptedOperator::Escape(int templateId) {
  return On(templateId, [](SimDialog& d) { d.Escape(); });
}

ScriptedOperator& ScriptedOperator::Click(int templateId, int id) {
  return On(templateId, [id](SimDialog& d) { d.Click(id); });
}

ScriptedOperator& ScriptedOperator::Close(int templateId) {
  return On(templateId, [](SimDialog& d) { d.Close(); });
}

ScriptedOperator& ScriptedOperator::TypeAndEnter(int templateId, int id, std::string text) {
  return On(templateId, [id, text](SimDialog& d) {
    d.Type(id, text);
    d.Enter();
  });
}

ScriptedOperator& ScriptedOperator::Answer(int button) {
  steps_.push_back({Step::OnMessage, 0, nullptr, button, std::nullopt});
  return *this;
}

ScriptedOperator& ScriptedOperator::Browse(std::optional<std::string> folder) {
  steps_.push_back({Step::OnBrowser, 0, nullptr, 0, std::move(folder)});
  return *this;
}

std::string ScriptedOperator::Expected() const {
  if (steps_.empty()) return "nothing";
  const Step& s = steps_.front();
  switch (s.kind) {
    case Step::OnDialog: return "dialog " + std::to_string(s.templateId);
    case Step::OnMessage: return "a message box";
    case Step::OnBrowser: return "the folder browser";
  }
  return "?";
}

bool ScriptedOperator::Act(SimDialog& dialog) {
  if (steps_.empty()) return false;
  if (steps_.front().kind != Step::OnDialog || steps_.front().templateId != dialog.TemplateId()) {
    throw OperatorStuck("the script expected " + Expected() + ", but dialog " + std::to_string(dialog.TemplateId()) +
                        " waits");
  }
  Step step = std::move(steps_.front());
  steps_.pop_front();
  step.action(dialog);
  return true;
}

int ScriptedOperator::Answer(const MessageBoxView& box) {
  if (steps_.empty() || steps_.front().kind != Step::OnMessage) {
    throw OperatorStuck("the script expected " + Expected() + ", but a message box asks: " + box.text);
  }
  int answer = steps_.front().answer;
  steps_.pop_front();
  return answer;
}

bool ScriptedOperator::Browse(const std::string&, std::string& folder) {
  if (steps_.empty() || steps_.front().kind != Step::OnBrowser) {
    throw OperatorStuck("the script expected " + Expected() + ", but the folder browser opened");
  }
  std::optional<std::string> chosen = std::move(steps_.front().folder);
  steps_.pop_front();
  if (!chosen) return false;
  folder = *chosen;
  return true;
}

}  // namespace qz::platform::sim
