#include "tools/qzpack/stub/ProgressWindow.h"

#include <commctrl.h>

#include "tools/qzpack/win32/SystemLibrary.h"

namespace qz::pack::win32 {
namespace {

constexpr wchar_t kClassName[] = L"QZStubProgress";
constexpr int kWidth = 420, kHeight = 130, kMargin = 16, kBarHeight = 20, kLabelHeight = 20;

// Common controls are loaded when the bar is first needed, from the system
// (through the manifest, version 6): the stub imports no comctl32.dll.
bool LoadProgressControl() {
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto init = ProcOf<InitFunction>(LoadSystemLibrary(L"comctl32.dll"), "InitCommonControlsEx");
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  return init && init(&controls);
}

int Scaled(int size, int dpi) { return MulDiv(size, dpi, 96); }

}  // namespace

bool ProgressWindow::Create() {
  if (!LoadProgressControl()) return false;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(128));
  RegisterClassW(&windowClass);

  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  const int width = Scaled(kWidth, dpi), height = Scaled(kHeight, dpi);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, caption_.c_str(), WS_POPUP | WS_CAPTION, x, y, width,
                            height, nullptr, nullptr, instance, nullptr);
  if (!window_) return false;
  RECT client;
  GetClientRect(window_, &client);
  const int margin = Scaled(kMargin, dpi), inner = client.right - 2 * margin;
  label_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, margin, margin, inner,
                           Scaled(kLabelHeight, dpi), window_, nullptr, instance, nullptr);
  bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, margin,
                         margin + Scaled(kLabelHeight, dpi) + margin / 2, inner, Scaled(kBarHeight, dpi), window_,
                         nullptr, instance, nullptr);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);
    if (font_ && label_) SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  if (bar_) SendMessageW(bar_, PBM_SETRANGE32, 0, 1000);
  ShowWindow(window_, SW_SHOWNORMAL);
  return true;
}

void ProgressWindow::Show(const wchar_t* what, int permille) {
  if (failed_) return;
  if (!window_ && !Create()) {
    failed_ = true;
    Hide();
    return;
  }
  if (what != what_) {
    what_ = what;
    SetWindowTextW(label_, what);
  }
  if (permille != permille_) {
    permille_ = permille;
    SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(permille), 0);
  }
  Pump();
}

void ProgressWindow::Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void ProgressWindow::Hide() {
  if (window_) DestroyWindow(window_);
  window_ = label_ = bar_ = nullptr;
  if (font_) DeleteObject(font_);
  font_ = nullptr;
}

}  // namespace qz::pack::win32
