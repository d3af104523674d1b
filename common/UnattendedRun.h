#pragma once
// A run of a Windows program without a window: QZSetup.exe /S and
// qzuninst.exe /S.
//
// How the dialog handlers run when nothing may be shown: the program keeps
// the real machine's files, registry, shell and clock, and swaps only its
// user interface for the dialog engine that the native programs use (the
// dialogs built in memory from the resource scripts' templates, acted on
// by an operator object). The handlers are the same objects and see the
// same controls, texts and default buttons as on the screen; the operator
// is the native programs' unattended one. Hidden real dialogs were not
// taken: they would need a second operator written against Win32 windows,
// a message loop for each page, and message boxes caught before they show;
// and a window made hidden can still appear (a modal dialog box is shown
// when its loop goes idle, whatever its template says).
//
// A message box that would have appeared is answered by the operator and
// written to the log in its place: one line, the caption and the text (its
// line ends written as "\n"), and the answer of a Yes/No question.

#include "common/LogFile.h"
#include "platform/sim/SimUserInterface.h"

namespace qz {

// Writes the line that stands for a message box.
void LogMessageBox(LogFile& log, const platform::sim::MessageBoxView& box, int answer);

// Passes everything to the operator it wraps, and records in the log given
// (none until one is given) each message box it answers and a dialog it
// could not get past.
class BoxLoggingOperator : public platform::sim::SimOperator {
 public:
  explicit BoxLoggingOperator(platform::sim::SimOperator& person) : person_(person) {}
  void RecordTo(LogFile* log) { log_ = log; }

  // A dialog on which the operator has nothing to do ends the run; the log
  // says which it was.
  bool Act(platform::sim::SimDialog& dialog) override;
  int Answer(const platform::sim::MessageBoxView& box) override;
  bool Browse(const std::string& title, std::string& folder) override { return person_.Browse(title, folder); }

 private:
  platform::sim::SimOperator& person_;
  LogFile* log_ = nullptr;
};

}  // namespace qz
