// The user interface on the real machine: modal dialogs from the program's
// resources with a dialog procedure that hands every message to the
// handler, message boxes, the shell's folder browser, the maximised main
// window with its GDI painting, and bitmaps loaded from files. Every text
// goes to the system and comes back through its wide calls (WideText.h).

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <map>
#include <string>
#include <vector>

#include "platform/sim/SimList.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WideText.h"

namespace qz::platform::win32 {
namespace {

constexpr const wchar_t* kMainWindowClass = L"QZSetupMainFrame";
constexpr int kProgramIcon = 31234;

class Win32Bitmap : public Bitmap {
 public:
  explicit Win32Bitmap(HBITMAP handle) : handle_(handle) {
    BITMAP info{};
    if (GetObjectW(handle_, sizeof info, &info)) {
      width_ = info.bmWidth;
      height_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    }
  }
  ~Win32Bitmap() override { DeleteObject(handle_); }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  HBITMAP handle() const { return handle_; }

 private:
  HBITMAP handle_;
  int width_ = 0, height_ = 0;
};

// One painting's device context. Brushes are made once per colour and
// fonts as asked; all are deleted, and the first font put back, at the end.
class Win32Canvas : public Canvas {
 public:
  Win32Canvas(HWND window, HDC dc) : window_(window), dc_(dc) {}
  ~Win32Canvas() override {
    if (firstFont_) SelectObject(dc_, firstFont_);
    for (HFONT font : fonts_) DeleteObject(font);
    for (auto& [color, brush] : brushes_) DeleteObject(brush);
  }
  Win32Canvas(const Win32Canvas&) = delete;
  Win32Canvas& operator=(const Win32Canvas&) = delete;

  Rect ClientRect() override {
    RECT r{};
    GetClientRect(window_, &r);
    return {r.left, r.top, r.right, r.bottom};
  }
  int DpiY() override { return GetDeviceCaps(dc_, LOGPIXELSY); }
  void FillRect(const Rect& rect, Color color) override {
    COLORREF ref = RGB(color.red, color.green, color.blue);
    HBRUSH& brush = brushes_[ref];
    if (!brush) brush = CreateSolidBrush(ref);
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    ::FillRect(dc_, &r, brush);
  }
  int MakeFont(const FontSpec& s) override {
    fonts_.push_back(CreateFontW(s.height, s.width, s.escapement, s.orientation, s.weight, s.italic, s.underline,
                                 s.strikeOut, static_cast<DWORD>(s.charSet), static_cast<DWORD>(s.outPrecision),
                                 static_cast<DWORD>(s.clipPrecision), static_cast<DWORD>(s.quality),
                                 static_cast<DWORD>(s.pitchAndFamily), Wide(s.face.view()).c_str()));
    return static_cast<int>(fonts_.size()) - 1;
  }
  void SelectFont(int font) override {
    if (font < 0 || font >= static_cast<int>(fonts_.size()) || !fonts_[static_cast<std::size_t>(font)]) return;
    HGDIOBJ previous = SelectObject(dc_, fonts_[static_cast<std::size_t>(font)]);
    if (!firstFont_) firstFont_ = previous;
  }
  void SetTransparentBackground() override { SetBkMode(dc_, TRANSPARENT); }
  void SetTextColor(Color color) override { ::SetTextColor(dc_, RGB(color.red, color.green, color.blue)); }
  void WriteText(const char* text, const Rect& rect, unsigned format) override {
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    DrawTextW(dc_, Wide(text).c_str(), -1, &r, format);
  }
  void DrawBitmap(const Bitmap& bitmap, int x, int y) override {
    const auto* image = dynamic_cast<const Win32Bitmap*>(&bitmap);
    if (!image) return;
    HDC memory = CreateCompatibleDC(dc_);
    HGDIOBJ previous = SelectObject(memory, image->handle());
    BitBlt(dc_, x, y, image->Width(), image->Height(), memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
  }

 private:
  HWND window_;
  HDC dc_;
  HGDIOBJ firstFont_ = nullptr;
  std::vector<HFONT> fonts_;
  std::map<COLORREF, HBRUSH> brushes_;
};

// A dialog's list box. The progress lists add a line and select it for
// every file: two costs grow with that under Win32, and both are cut here
// without changing what the list holds or shows.
// - Drawing. Each line added and scrolled into view has the list and its
//   scroll bar redrawn at once; that was nearly all of a file's cost under
//   Wine (15 ms a line), and a drawing of the whole list still costs some
//   8 ms. The list draws at most four times a second while lines come in
//   (ten times cost a file a sixth more than the unattended run), and
//   always before anything else can be seen or done:
//   when the handler returns to the dialog, and before a message box, a
//   nested dialog or the folder browser opens (ReleaseDrawing). Wine's list
//   box keeps WM_SETREDRAW to itself and goes on drawing its scroll bar;
//   the standard handling (DefWindowProc), which Windows' list box passes it
//   on to, holds that back too.
// - Searching. LB_SELECTSTRING compares the prefix with every line, so a
//   list of n lines costs n*n/2 comparisons. The list also keeps its lines'
//   index (SimList): when no other line begins with the prefix even with
//   letter case folded as Windows folds Windows-1250, which the system's
//   search never goes beyond, the search can only find the one line that
//   does (as a rule the line just added), and LB_SETCURSEL selects it
//   directly. Otherwise the system's own search decides.
class Win32List : public ListControl {
 public:
  explicit Win32List(HWND list) : list_(list) {}
  void AddString(const char* text) override {
    HoldDrawing();
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    index_.AddString(text);
  }
  void SelectString(int start, const char* prefix) override {
    HoldDrawing();
    std::vector<int> matches = index_.Matches(prefix);
    if (matches.size() == 1 && index_.items()[static_cast<std::size_t>(matches[0])].starts_with(prefix)) {
      SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(matches[0]), 0);
    } else {
      SendMessageW(list_, LB_SELECTSTRING, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(Wide(prefix).c_str()));
    }
    if (GetTickCount() - heldSince_ >= kDrawingIntervalMs) {
      ReleaseDrawing();
      UpdateWindow(list_);
    }
  }
  // Draws what was held back.
  void ReleaseDrawing() {
    if (!held_) return;
    held_ = false;
    DefWindowProcW(list_, WM_SETREDRAW, TRUE, 0);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  }

 private:
  static constexpr DWORD kDrawingIntervalMs = 250;

  void HoldDrawing() {
    if (held_) return;
    held_ = true;
    heldSince_ = GetTickCount();
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    DefWindowProcW(list_, WM_SETREDRAW, FALSE, 0);
  }

  HWND list_;
  sim::SimList index_;
  bool held_ = false;
  DWORD heldSince_ = 0;
};

int MessageFlags(Buttons buttons, Icon icon) {
  UINT flags = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
  switch (icon) {
    case Icon::Exclamation: flags |= MB_ICONEXCLAMATION; break;
    case Icon::Stop: flags |= MB_ICONSTOP; break;
    case Icon::Question: flags |= MB_ICONQUESTION; break;
    case Icon::Information: flags |= MB_ICONINFORMATION; break;
    case Icon::None: break;
  }
  return static_cast<int>(flags);
}

// A window's whole text.
std::wstring WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(window, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

void CenterOver(HWND window, HWND owner) {
  RECT area{};
  if (!owner || !IsWindowVisible(owner) || !GetWindowRect(owner, &area)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT self{};
  GetWindowRect(window, &self);
  int width = self.right - self.left, height = self.bottom - self.top;
  int x = area.left + ((area.right - area.left) - width) / 2;
  int y = area.top + ((area.bottom - area.top) - height) / 2;
  SetWindowPos(window, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

struct Win32UserInterface::State {
  HWND main = nullptr;
  MainWindowHandler* mainHandler = nullptr;
  std::vector<HWND> dialogs;  // open dialogs, the top one last
  std::string programName;

  HWND Owner() const { return dialogs.empty() ? main : dialogs.back(); }
};

namespace {

// Every open dialog's lists draw what they held back (Win32List), before
// something of their own can cover or stop them.
void ReleaseAllDrawing(const Win32UserInterface::State& state);

class Win32Dialog : public Dialog {
 public:
  Win32Dialog(DialogHandler& handler, Win32UserInterface::State& state) : handler_(handler), state_(state) {}
  DialogHandler& handler() { return handler_; }
  Win32UserInterface::State& state() { return state_; }
  HWND window = nullptr;

  int ShowMessage(const char* text, const char* caption, Buttons buttons, Icon icon) override {
    ReleaseAllDrawing(state_);
    return MessageBoxW(window, Wide(text).c_str(), Wide(caption).c_str(),
                       static_cast<UINT>(MessageFlags(buttons, icon)));
  }
  void ReleaseDrawing() {
    for (auto& [id, list] : lists_) list.ReleaseDrawing();
  }
  void SetItemText(int id, const char* text) override { SetDlgItemTextW(window, id, Wide(text).c_str()); }
  std::size_t GetItemText(int id, TextBuffer& text) override {
    text.Clear();
    HWND item = GetDlgItem(window, id);
    if (!item) return 0;
    std::wstring wide = WindowText(item);
    std::string narrow;
    bool whole = Narrow(wide, narrow);
    text.Assign(narrow);
    return whole ? narrow.size() : kTextNotConvertible;
  }
  void EnableItem(int id, bool enabled) override { EnableWindow(GetDlgItem(window, id), enabled); }
  bool IsItemEnabled(int id) override {
    HWND item = GetDlgItem(window, id);
    return item && IsWindowEnabled(item);
  }
  void SetCaption(const char* text) override { SetWindowTextW(window, Wide(text).c_str()); }
  void GetCaption(TextBuffer& text) override { NarrowShown(WindowText(window), text); }
  ListControl& ListBox(int id) override {
    auto found = lists_.find(id);
    if (found == lists_.end()) found = lists_.emplace(id, Win32List(GetDlgItem(window, id))).first;
    return found->second;
  }
  int ListCount(int id) override {
    HWND list = GetDlgItem(window, id);
    return list ? static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)) : -1;
  }
  void ListLine(int id, int index, TextBuffer& text) override {
    text.Clear();
    HWND list = GetDlgItem(window, id);
    if (!list) return;
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return;
    std::wstring line(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line.data()));
    NarrowShown(UpToNul(line.data(), line.size()), text);
  }
  int ListSelection(int id) override {
    HWND list = GetDlgItem(window, id);
    return list ? static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)) : -1;
  }
  void PostCommand(int id) override { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  void End(int result) override { EndDialog(window, result); }
  void SetFocus(int id) override {
    HWND item = GetDlgItem(window, id);
    if (!item) return;
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
    focusSet_ = true;
  }
  void ShowNow() override {
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
  }
  // Whether the handler placed the focus itself while it was initialised.
  bool focusSet() const { return focusSet_; }
  // The folder browser rooted at the desktop, file-system folders only; the
  // item list is freed with the shell's allocator. A chosen item that has no
  // file-system path counts as cancelled, and so does one whose path holds a
  // character Windows-1250 lacks: the programs could not name it.
  bool BrowseForFolder(const char* title, TextBuffer& path) override {
    wchar_t displayName[MAX_PATH] = {};
    std::wstring wideTitle = Wide(title);
    BROWSEINFOW info{};
    info.hwndOwner = window;
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    ReleaseAllDrawing(state_);
    LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
    if (!chosen) return false;
    wchar_t full[MAX_PATH] = {};
    bool ok = SHGetPathFromIDListW(chosen, full) != FALSE;
    IMalloc* shellMalloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&shellMalloc)) && shellMalloc) {
      shellMalloc->Free(chosen);
      shellMalloc->Release();
    }
    PathText folder;
    if (!ok || NarrowStrict(UpToNul(full, MAX_PATH), folder) != kOk) return false;
    path.Assign(folder.view());
    return true;
  }

 private:
  DialogHandler& handler_;
  Win32UserInterface::State& state_;
  std::map<int, Win32List> lists_;
  bool focusSet_ = false;
};

void ReleaseAllDrawing(const Win32UserInterface::State& state) {
  for (HWND window : state.dialogs) {
    if (auto* dialog = reinterpret_cast<Win32Dialog*>(GetWindowLongPtrW(window, DWLP_USER))) dialog->ReleaseDrawing();
  }
}

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = reinterpret_cast<Win32Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      dialog = reinterpret_cast<Win32Dialog*>(lParam);
      SetWindowLongPtrW(window, DWLP_USER, lParam);
      dialog->window = window;
      dialog->state().dialogs.push_back(window);
      CenterOver(window, GetWindow(window, GW_OWNER));
      dialog->handler().OnInit(*dialog);
      dialog->ReleaseDrawing();
      // TRUE lets the dialog manager put the focus on the first tab stop.
      return dialog->focusSet() ? FALSE : TRUE;
    case WM_SHOWWINDOW:
      if (!dialog) return FALSE;
      dialog->handler().OnShow(*dialog);
      dialog->ReleaseDrawing();
      return FALSE;
    case WM_COMMAND:
      if (!dialog) return FALSE;
      dialog->handler().Dispatch(*dialog, LOWORD(wParam));
      dialog->ReleaseDrawing();
      return TRUE;
    case WM_PAINT: {
      if (!dialog) return FALSE;
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      {
        Win32Canvas canvas(window, dc);
        dialog->handler().OnPaint(*dialog, canvas);
      }
      EndPaint(window, &paint);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

Win32UserInterface::State* g_mainState = nullptr;

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32UserInterface::State* state = g_mainState;
  MainWindowHandler* handler = state ? state->mainHandler : nullptr;
  switch (message) {
    case WM_ACTIVATE: {
      LRESULT result = DefWindowProcW(window, message, wParam, lParam);
      if (handler && LOWORD(wParam) != WA_INACTIVE) handler->OnActivate();
      return result;
    }
    case WM_ERASEBKGND: {
      if (!handler) break;
      Win32Canvas canvas(window, reinterpret_cast<HDC>(wParam));
      handler->OnEraseBackground(canvas);
      return 1;
    }
    case WM_PAINT: {
      if (!handler) break;
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      {
        Win32Canvas canvas(window, dc);
        handler->OnPaint(canvas);
      }
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

// The programs' manifest asks for Common Controls 6: the library registers
// its themed versions of the standard controls when it is initialised.
Win32UserInterface::Win32UserInterface() : state_(std::make_unique<State>()) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
}
Win32UserInterface::~Win32UserInterface() = default;

int Win32UserInterface::RunDialog(DialogHandler& handler) {
  Win32Dialog dialog(handler, *state_);
  ReleaseAllDrawing(*state_);
  HWND owner = state_->Owner();
  INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(handler.TemplateId()), owner,
                                   DialogProcedure, reinterpret_cast<LPARAM>(&dialog));
  if (!state_->dialogs.empty() && state_->dialogs.back() == dialog.window) state_->dialogs.pop_back();
  // -1, or 0 for a dialog that never existed: it could not be created.
  if (result == -1 || !dialog.window) return -1;
  return static_cast<int>(result);
}

int Win32UserInterface::ShowMessage(const char* text, const char* caption, Buttons buttons, Icon icon) {
  ReleaseAllDrawing(*state_);
  return MessageBoxW(state_->Owner(), Wide(text).c_str(), Wide(caption).c_str(),
                     static_cast<UINT>(MessageFlags(buttons, icon)));
}

std::unique_ptr<Bitmap> Win32UserInterface::LoadBitmapFile(const char* path) {
  HANDLE image = LoadImageW(nullptr, Wide(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  if (!image) return nullptr;
  return std::make_unique<Win32Bitmap>(static_cast<HBITMAP>(image));
}

void Win32UserInterface::RunMainWindow(const char* caption, MainWindowHandler& handler) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kProgramIcon));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.lpszClassName = kMainWindowClass;
  RegisterClassW(&windowClass);

  state_->mainHandler = &handler;
  g_mainState = state_.get();
  state_->main = CreateWindowExW(0, kMainWindowClass, Wide(caption).c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (state_->main) {
    ShowWindow(state_->main, SW_SHOWMAXIMIZED);
    UpdateWindow(state_->main);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  state_->main = nullptr;
  state_->mainHandler = nullptr;
  g_mainState = nullptr;
}

void Win32UserInterface::CloseMainWindow() {
  if (state_->main) PostMessageW(state_->main, WM_CLOSE, 0, 0);
}

const char* Win32UserInterface::ProgramName() {
  if (state_->programName.empty()) {
    // Only shown (the caption of the program's boxes): a character
    // Windows-1250 lacks comes as '?'.
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::string name;
    Narrow(UpToNul(path, MAX_PATH), name);
    std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    state_->programName = name;
  }
  return state_->programName.c_str();
}

}  // namespace qz::platform::win32
