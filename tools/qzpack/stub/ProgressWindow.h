#pragma once
// The stub's progress window: a line saying what is being done and a
// progress bar, centred on the screen, without a close box. The work runs on
// the same thread, which lets the window draw between two steps.

#include <windows.h>

#include <string>

namespace qz::pack::win32 {

class ProgressWindow {
 public:
  explicit ProgressWindow(std::wstring caption) : caption_(std::move(caption)) {}
  ~ProgressWindow() { Hide(); }
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // Shows the window at the first call; `permille` from 0 to 1000.
  void Show(const wchar_t* what, int permille);
  void Hide();

 private:
  bool Create();
  void Pump();

  std::wstring caption_;
  HWND window_ = nullptr;
  HWND label_ = nullptr;
  HWND bar_ = nullptr;
  HFONT font_ = nullptr;
  const wchar_t* what_ = nullptr;
  int permille_ = -1;
  bool failed_ = false;
};

}  // namespace qz::pack::win32
