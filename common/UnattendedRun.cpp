#include "common/UnattendedRun.h"

namespace qz {

void LogMessageBox(LogFile& log, const platform::sim::MessageBoxView& box, int answer) {
  std::string line = "\n[Üzenetablak: " + box.caption + "] ";
  for (char c : box.text) {
    if (c == '\n') line += "\\n";
    else if (c != '\r') line += c;
  }
  if (box.buttons == platform::Buttons::YesNo) line += answer == platform::kIdYes ? " => Igen" : " => Nem";
  line += '\n';
  log.Write(line);
}

bool BoxLoggingOperator::Act(platform::sim::SimDialog& dialog) {
  if (person_.Act(dialog)) return true;
  if (log_) {
    log_->Print("\n[A futás felügyelet nélkül nem folytatható: %d. ablak (%s)]\n", dialog.TemplateId(),
                dialog.Caption().c_str());
  }
  return false;
}

int BoxLoggingOperator::Answer(const platform::sim::MessageBoxView& box) {
  int answer = person_.Answer(box);
  if (log_) LogMessageBox(*log_, box, answer);
  return answer;
}

}  // namespace qz
