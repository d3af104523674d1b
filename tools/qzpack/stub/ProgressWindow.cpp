#include "tools/qzpack/stub/ProgressWindow.h"

#include "tools/qzpack/stub/UserFunctions.h"

namespace qz::pack::win32 {
namespace {

constexpr wchar_t kClassName[] = L"QZStubProgress";
constexpr int kWidth = 420, kHeight = 130, kMargin = 16, kBarHeight = 20, kLabelHeight = 20;

bool LoadProgressControl() {
  const UserFunctions& user = User();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  return user.controls && user.initCommonControls(&controls);
}

int Scaled(int size, int dpi) { return MulDiv(size, dpi, 96); }

}  // namespace

bool ProgressWindow::Create() {
  if (!LoadProgressControl()) return false;
  const UserFunctions& user = User();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = user.defaultWindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = user.loadCursor(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  windowClass.hIcon = user.loadIcon(instance, MAKEINTRESOURCEW(128));
  user.registerClass(&windowClass);

  HDC screen = user.getDc(nullptr);
  const int dpi = screen ? user.getDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) user.releaseDc(nullptr, screen);
  const int width = Scaled(kWidth, dpi), height = Scaled(kHeight, dpi);
  const int x = (user.getSystemMetrics(SM_CXSCREEN) - width) / 2, y = (user.getSystemMetrics(SM_CYSCREEN) - height) / 2;
  window_ = user.createWindow(WS_EX_DLGMODALFRAME, kClassName, caption_.c_str(), WS_POPUP | WS_CAPTION, x, y, width,
                            height, nullptr, nullptr, instance, nullptr);
  if (!window_) return false;
  RECT client;
  user.getClientRect(window_, &client);
  const int margin = Scaled(kMargin, dpi), inner = client.right - 2 * margin;
  label_ = user.createWindow(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, margin, margin, inner,
                           Scaled(kLabelHeight, dpi), window_, nullptr, instance, nullptr);
  bar_ = user.createWindow(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, margin,
                         margin + Scaled(kLabelHeight, dpi) + margin / 2, inner, Scaled(kBarHeight, dpi), window_,
                         nullptr, instance, nullptr);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (user.systemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font_ = user.createFont(&metrics.lfMessageFont);
    if (font_ && label_) user.sendMessage(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  if (bar_) user.sendMessage(bar_, PBM_SETRANGE32, 0, 1000);
  user.showWindow(window_, SW_SHOWNORMAL);
  return true;
}

void ProgressWindow::Show(const wchar_t* what, int permille) {
  if (failed_) return;
  const UserFunctions& user = User();
  if (!window_ && !Create()) {
    failed_ = true;
    Hide();
    return;
  }
  if (what != what_) {
    what_ = what;
    user.setWindowText(label_, what);
  }
  if (permille != permille_) {
    permille_ = permille;
    user.sendMessage(bar_, PBM_SETPOS, static_cast<WPARAM>(permille), 0);
  }
  Pump();
}

void ProgressWindow::Pump() {
  const UserFunctions& user = User();
  MSG message;
  while (user.peekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
    user.translateMessage(&message);
    user.dispatchMessage(&message);
  }
}

void ProgressWindow::Hide() {
  if (!window_ && !font_) return;
  const UserFunctions& user = User();
  if (window_) user.destroyWindow(window_);
  window_ = label_ = bar_ = nullptr;
  if (font_) user.deleteObject(font_);
  font_ = nullptr;
}

}  // namespace qz::pack::win32
