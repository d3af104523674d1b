#pragma once
// The user interface of the simulated machine. Dialogs are built from the
// program's templates (the resource script, turned into tables when it is
// built); an operator acts on them as a person would: reads texts, types,
// clicks, presses Enter or Esc, answers message boxes and the folder
// browser. Every dialog, caption, message box, list line and action is kept
// in a transcript (Windows-1250), and every painting is recorded.

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/UserInterface.h"
#include "platform/sim/DialogTemplate.h"

namespace qz::platform::sim {

// The run cannot go on: the operator has nothing left to do on the dialog
// shown, or tried what a person could not do. Ends the run rather than let
// it hang.
class OperatorStuck : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One recorded drawing call.
struct DrawOp {
  enum Kind { Fill, Text, Image } kind = Fill;
  Rect rect;
  Color color;  // Fill: the brush; Text: the text colour
  std::string text;
  unsigned format = 0;
  FontSpec font;  // Text: the font selected (default: height 0, no face)
  bool transparent = false;
  int x = 0, y = 0, width = 0, height = 0;  // Image
};

struct Painting {
  Rect client;
  int dpiY = 96;
  std::vector<DrawOp> ops;
  std::vector<FontSpec> fontsMade;
  bool fontsReleased = true;  // every font made was deselected and deleted

  // The calls of one kind, in order (pointers into this painting).
  std::vector<const DrawOp*> Of(DrawOp::Kind kind) const&;
  std::vector<const DrawOp*> Of(DrawOp::Kind kind) const&& = delete;
};

// A canvas that records what is drawn on it.
class RecordingCanvas : public Canvas {
 public:
  RecordingCanvas(Rect client, int dpiY) {
    painting_.client = client;
    painting_.dpiY = dpiY;
  }
  Rect ClientRect() override { return painting_.client; }
  int DpiY() override { return painting_.dpiY; }
  void FillRect(const Rect& rect, Color color) override;
  int MakeFont(const FontSpec& spec) override;
  void SelectFont(int font) override;
  void SetTransparentBackground() override { transparent_ = true; }
  void SetTextColor(Color color) override { textColor_ = color; }
  void WriteText(const char* text, const Rect& rect, unsigned format) override;
  void DrawBitmap(const Bitmap& bitmap, int x, int y) override;
  // Ends the painting: the first font back, the fonts made deleted.
  Painting Finish();

 private:
  Painting painting_;
  int selected_ = -1;
  bool transparent_ = false;
  Color textColor_;
};

struct MessageBoxView {
  std::string text;
  std::string caption;
  Buttons buttons;
  Icon icon;
};

class SimUserInterface;
class SimDialog;

// The person at the machine.
class SimOperator {
 public:
  virtual ~SimOperator() = default;
  // The dialog waits for the user: act on it. False when there is nothing
  // left to do, which ends the run (OperatorStuck).
  virtual bool Act(SimDialog& dialog) = 0;
  // The button pressed in a message box.
  virtual int Answer(const MessageBoxView& box) = 0;
  // The folder browser: true with the folder chosen, false to cancel.
  virtual bool Browse(const std::string& title, std::string& folder) = 0;
};

// A dialog on the simulated screen: the handler's side (Dialog) and what
// the operator sees and does.
class SimDialog : public Dialog {
 public:
  SimDialog(SimUserInterface& ui, const DialogTemplate& tpl, DialogHandler& handler);
  ~SimDialog() override;

  // --- the handler's side ---
  int ShowMessage(const char* text, const char* caption, Buttons buttons, Icon icon) override;
  void SetItemText(int id, const char* text) override;
  std::size_t GetItemText(int id, TextBuffer& text) override;
  void EnableItem(int id, bool enabled) override;
  bool IsItemEnabled(int id) override;
  void SetCaption(const char* text) override;
  void GetCaption(TextBuffer& text) override;
  ListControl& ListBox(int id) override;
  int ListCount(int id) override;
  void ListLine(int id, int index, TextBuffer& text) override;
  int ListSelection(int id) override;
  void PostCommand(int id) override;
  void End(int result) override;
  void SetFocus(int id) override;
  void ShowNow() override {}
  bool BrowseForFolder(const char* title, TextBuffer& path) override;

  // --- what the operator sees ---
  int TemplateId() const { return template_.id; }
  const std::string& Caption() const { return caption_; }
  bool HasControl(int id) const;
  std::string Text(int id) const;
  bool IsEnabled(int id) const;
  std::vector<std::string> ListLines(int id) const;
  // The default push button the template marks, or 0.
  int DefaultButton() const;
  // The control with the keyboard focus, or 0.
  int Focus() const { return focus_; }
  bool HasCloseBox() const { return (template_.style & kStyleSysMenu) != 0; }
  const Painting& LastPainting() const { return painting_; }
  bool Ended() const { return ended_; }
  int Result() const { return result_; }

  // --- what the operator does ---
  void Type(int id, std::string_view text);
  // Types a text that holds characters Windows-1250 lacks, as a person can
  // on a system with another code page; `shown` is it with a '?' in place
  // of each. GetItemText answers kTextNotConvertible for it.
  void TypeNotConvertible(int id, std::string_view shown);
  void Click(int id);
  void Enter();
  void Escape();
  void Close();
  // The dialog is hidden and shown again, as when its owner is minimised
  // and restored: two show-window notifications.
  void HideAndShow();

 private:
  friend class SimUserInterface;
  struct Control;
  class List;

  Control* Find(int id);
  const Control* Find(int id) const;
  Control& Require(int id, const char* action);
  void Type(int id, std::string_view text, bool convertible);
  void Act(std::string line);
  void Command(int id);
  // Where the dialog manager puts the focus when the handler did not: the
  // first enabled control with a tab stop.
  void FocusFirstTabStop();

  SimUserInterface& ui_;
  const DialogTemplate& template_;
  DialogHandler& handler_;
  std::string caption_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<int> posted_;
  int focus_ = 0;
  bool focusSet_ = false;
  bool shown_ = false;
  bool ended_ = false;
  int result_ = 0;
  int actions_ = 0;
  Painting painting_;
};

class SimUserInterface : public UserInterface {
 public:
  // Bitmaps are loaded through the machine's files.
  explicit SimUserInterface(FileSystem& files) : files_(files) {}

  int RunDialog(DialogHandler& handler) override;
  int ShowMessage(const char* text, const char* caption, Buttons buttons, Icon icon) override;
  std::unique_ptr<Bitmap> LoadBitmapFile(const char* path) override;
  void RunMainWindow(const char* caption, MainWindowHandler& handler) override;
  void CloseMainWindow() override;
  const char* ProgramName() override { return programName_.c_str(); }
  void SetProgramName(std::string name) { programName_ = std::move(name); }

  // The program's dialog templates; without them no dialog can be created.
  void SetTemplates(const DialogTemplateSet& templates) { templates_ = &templates; }
  void SetOperator(SimOperator* op) { operator_ = op; }
  // The main window's client area in pixels and the screen's dots per inch.
  void SetScreen(int width, int height, int dpiY);

  // Everything shown and done, in order; Windows-1250.
  const std::vector<std::string>& Transcript() const { return transcript_; }
  std::string TranscriptText() const;
  // Called with each transcript entry as it is made.
  void SetTranscriptEcho(std::function<void(const std::string&)> echo) { echo_ = std::move(echo); }
  // The template ids of the dialogs shown, in order.
  const std::vector<int>& DialogsShown() const { return shown_; }
  // The main window's last painting (background and painting), if shown.
  const Painting* MainWindowPainting() const { return mainPainting_ ? &*mainPainting_ : nullptr; }
  int MainWindowPaintCount() const { return mainPaintCount_; }
  // The dialog on top, or null when none is shown.
  SimDialog* CurrentDialog() const { return open_.empty() ? nullptr : open_.back(); }

 private:
  friend class SimDialog;
  void Record(std::string line);
  int Ask(const char* text, const char* caption, Buttons buttons, Icon icon);
  void BackToMainWindow();
  void PaintMainWindow();
  SimOperator& Operator(const std::string& what);

  FileSystem& files_;
  const DialogTemplateSet* templates_ = nullptr;
  SimOperator* operator_ = nullptr;
  std::string programName_ = "QZSetup";
  std::vector<std::string> transcript_;
  std::function<void(const std::string&)> echo_;
  std::vector<int> shown_;
  int width_ = 1024, height_ = 738, dpiY_ = 96;
  MainWindowHandler* main_ = nullptr;
  bool closeRequested_ = false;
  std::unique_ptr<Painting> mainPainting_;
  std::string mainTexts_;
  int mainPaintCount_ = 0;
  std::vector<SimDialog*> open_;
};

}  // namespace qz::platform::sim
