#pragma once
// The user interface, shaped after the Win32 calls the programs make: modal
// dialogs from templates (the resource scripts) driven by handler objects,
// message boxes, the folder browser, the main window and its painting
// through a small drawing interface, and bitmaps loaded from files.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/ListControl.h"
#include "text/Text.h"

namespace qz::platform {

// Message box buttons and icons (MB_OK, MB_YESNO; MB_ICON...).
enum class Buttons { Ok, YesNo };
enum class Icon { None, Exclamation, Stop, Question, Information };

// Dialog and message box results (IDOK, IDCANCEL, IDYES, IDNO).
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Dialog::GetItemText's answer for a text that Windows-1250 cannot carry.
inline constexpr std::size_t kTextNotConvertible = static_cast<std::size_t>(-1);

// Anything that can own a message box.
class MessageOwner {
 public:
  virtual ~MessageOwner() = default;
  // Shows a modal message box and returns the button pressed.
  virtual int ShowMessage(const char* text, const char* caption, Buttons buttons, Icon icon) = 0;
};

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct Color {
  std::uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const Color&) const = default;
};

// CreateFont's arguments.
struct FontSpec {
  int height = 0;
  int width = 0;
  int escapement = 0;
  int orientation = 0;
  int weight = 0;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int charSet = 1;        // DEFAULT_CHARSET
  int outPrecision = 0;
  int clipPrecision = 0;
  int quality = 0;        // DEFAULT_QUALITY
  int pitchAndFamily = 0; // DEFAULT_PITCH | FF_DONTCARE
  FixedText<32> face;
};

// A bitmap loaded from a file.
class Bitmap {
 public:
  virtual ~Bitmap() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

// Text placements for WriteText (DrawText's DT_ flags).
inline constexpr unsigned kTextTop = 0x0;
inline constexpr unsigned kTextLeft = 0x0;
inline constexpr unsigned kTextBottom = 0x8;
inline constexpr unsigned kTextSingleLine = 0x20;

// A device context for one painting.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual Rect ClientRect() = 0;
  virtual int DpiY() = 0;  // LOGPIXELSY
  // Fills with a solid brush of the colour.
  virtual void FillRect(const Rect& rect, Color color) = 0;
  // Creates a font, selects it and returns an id for SelectFont; fonts are
  // deleted when the painting ends, after the previous font is back.
  virtual int MakeFont(const FontSpec& spec) = 0;
  virtual void SelectFont(int font) = 0;
  virtual void SetTransparentBackground() = 0;
  virtual void SetTextColor(Color color) = 0;
  virtual void WriteText(const char* text, const Rect& rect, unsigned format) = 0;
  // Copies the bitmap unscaled with its top-left corner at (x, y).
  virtual void DrawBitmap(const Bitmap& bitmap, int x, int y) = 0;
};

// A dialog on the screen, as its handler sees it.
class Dialog : public MessageOwner {
 public:
  virtual void SetItemText(int id, const char* text) = 0;
  // The control's text, cut to the buffer; returns the text's full length,
  // so a caller can tell a text that did not fit, or kTextNotConvertible
  // when the text holds a character that Windows-1250 lacks (typed or
  // pasted on a system with another code page): `text` then shows it with
  // a '?' in place of each such character and must not be acted on.
  virtual std::size_t GetItemText(int id, TextBuffer& text) = 0;
  virtual void EnableItem(int id, bool enabled) = 0;
  virtual bool IsItemEnabled(int id) = 0;
  virtual void SetCaption(const char* text) = 0;
  virtual void GetCaption(TextBuffer& text) = 0;
  virtual ListControl& ListBox(int id) = 0;
  // What a list box holds (LB_GETCOUNT, LB_GETTEXT, LB_GETCURSEL).
  virtual int ListCount(int id) = 0;
  virtual void ListLine(int id, int index, TextBuffer& text) = 0;
  virtual int ListSelection(int id) = 0;
  // Posts a command to the dialog itself; it arrives once the current
  // message has been handled.
  virtual void PostCommand(int id) = 0;
  // Ends the modal dialog with the result.
  virtual void End(int result) = 0;
  // Moves the keyboard focus to the control, as the dialog manager does
  // (WM_NEXTDLGCTL): a push button given the focus becomes the one Enter
  // presses. Without it the focus starts on the first tab stop, which on
  // Windows makes a first push button, default or not, the one Enter
  // presses.
  virtual void SetFocus(int id) = 0;
  // Shows and paints the dialog at once. A modal dialog appears only when
  // its queue is empty: work started from a posted command would otherwise
  // run, with its message boxes, before the dialog is on screen.
  virtual void ShowNow() = 0;
  // The folder browser owned by the dialog: true with the chosen folder's
  // full path, false when the user cancelled.
  virtual bool BrowseForFolder(const char* title, TextBuffer& path) = 0;
};

// What a dialog does; the defaults are the standard dialog's.
class DialogHandler {
 public:
  virtual ~DialogHandler() = default;
  virtual int TemplateId() const = 0;
  virtual void OnInit(Dialog&) {}
  // The show-window notification, after the default handling.
  virtual void OnShow(Dialog&) {}
  virtual void OnOk(Dialog& dialog) { dialog.End(kIdOk); }
  virtual void OnCancel(Dialog& dialog) { dialog.End(kIdCancel); }
  virtual void OnCommand(Dialog&, int /*id*/) {}
  // Painting before the standard dialog painting.
  virtual void OnPaint(Dialog&, Canvas&) {}
  // Commands 1 (IDOK) and 2 (IDCANCEL) go to OnOk and OnCancel, all others
  // to OnCommand: the dialog procedure of both machines dispatches so.
  void Dispatch(Dialog& dialog, int id) {
    if (id == kIdOk) {
      OnOk(dialog);
    } else if (id == kIdCancel) {
      OnCancel(dialog);
    } else {
      OnCommand(dialog, id);
    }
  }
};

// The setup program's full-screen main window.
class MainWindowHandler {
 public:
  virtual ~MainWindowHandler() = default;
  // Every activation, after the standard frame handling.
  virtual void OnActivate() {}
  virtual void OnEraseBackground(Canvas&) {}
  virtual void OnPaint(Canvas&) {}
};

class UserInterface : public MessageOwner {
 public:
  // Runs a dialog modally, owned by the main window when there is one.
  // Returns the result it ended with, or -1 when it could not be created.
  virtual int RunDialog(DialogHandler& handler) = 0;
  // A message box with no dialog to own it (owned by the main window when
  // there is one).
  int ShowMessage(const char* text, const char* caption, Buttons buttons, Icon icon) override = 0;
  // LoadImage of a device-independent bitmap file; null when it fails.
  virtual std::unique_ptr<Bitmap> LoadBitmapFile(const char* path) = 0;
  // Creates the main window, shows it maximised and paints it, then runs
  // the message loop until the window is closed.
  virtual void RunMainWindow(const char* caption, MainWindowHandler& handler) = 0;
  // Posts a close request to the main window.
  virtual void CloseMainWindow() = 0;
  // The program's file name without extension: the caption of its boxes.
  virtual const char* ProgramName() = 0;
};

}  // namespace qz::platform
