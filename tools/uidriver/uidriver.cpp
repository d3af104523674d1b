// uidriver: drives another program's dialogs from outside, as a person
// would, for the end-to-end runs under Wine.
//
//   uidriver SCRIPT
//
// SCRIPT holds one command a line (UTF-8); '#' starts a comment line. The
// commands act on the window found by the last "wait":
//
//   wait CAPTION          wait (60 s) for a visible top-level window with this caption
//   waitgone              wait until that window is gone
//   text ID               print a control's text
//   list ID               print a list box's lines
//   enabled ID            print whether a control is enabled
//   waitenabled ID        wait until a control is enabled
//   set ID TEXT           set a control's text, as typing would
//   click ID              click a button (refused when it is disabled)
//   enter | esc           press Enter or Esc in the window
//   close                 the window's close box
//   message               print a message box's text
//   answer ok|yes|no      press a message box's button
//   hide | show           hide or show the window (for a picture of what lies behind)
//   shot FILE             save the screen as a bitmap file
//   sleep MS              wait
//   desktop NAME          work on the named desktop (Wine's explorer /desktop=NAME)
//   waitbox CAPTION       wait for a message box and print its text
//   reg KEY|VALUE         print a string value below HKEY_LOCAL_MACHINE or
//                         HKEY_CURRENT_USER (KEY starts with the root's name)
//
// Each command prints what it saw in UTF-8; a command that cannot be done
// prints "ERROR ..." and ends the run with status 1. Texts are read with the
// W messages, which the system carries across processes.

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kTimeoutMs = 60000;
constexpr int kMessageTextId = 0xFFFF;

std::wstring Wide(const std::string& utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, out.data(), n);
  out.resize(wcslen(out.c_str()));
  return out;
}

std::string Utf8(const std::wstring& wide) {
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(strlen(out.c_str()));
  return out;
}

// Control characters are shown escaped, so each printed line stays a line.
std::string Shown(const std::wstring& text) {
  std::string out;
  for (char c : Utf8(text)) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return L"";
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                      &got);
  text.resize(wcslen(text.c_str()));
  return text;
}

struct Search {
  std::wstring caption;
  HWND found = nullptr;
};

BOOL CALLBACK FindByCaption(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (!IsWindowVisible(window)) return TRUE;
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  if (search->caption == text) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindTopLevel(const std::wstring& caption) {
  Search search{caption};
  EnumWindows(FindByCaption, reinterpret_cast<LPARAM>(&search));
  if (!search.found) {
    // Under Wine's virtual desktop the programs' windows are the desktop's children.
    HWND desktop = GetDesktopWindow();
    for (HWND child = GetWindow(desktop, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (!FindByCaption(child, reinterpret_cast<LPARAM>(&search))) break;
    }
  }
  return search.found;
}

bool SaveScreen(const std::string& path) {
  HDC screen = GetDC(nullptr);
  int width = GetDeviceCaps(screen, HORZRES), height = GetDeviceCaps(screen, VERTRES);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  GdiFlush();
  DWORD rowSize = static_cast<DWORD>(((width * 24 + 31) / 32) * 4);
  DWORD imageSize = rowSize * static_cast<DWORD>(height);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageSize;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), imageSize);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return static_cast<bool>(out);
}

class Driver {
 public:
  bool Run(const std::string& line) {
    std::istringstream in(line);
    std::string command, rest;
    in >> command;
    std::getline(in, rest);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    if (command.empty() || command[0] == '#') return true;
    if (command == "wait") return Wait(rest, true);
    if (command == "waitbox") {
      if (!Wait(rest, false)) return false;
      Print("Message box \"" + Shown(WindowText(window_)) + "\": " + Shown(WindowText(Item(kMessageTextId))));
      return true;
    }
    if (command == "reg") return Registry(rest);
    if (command == "sleep") {
      Sleep(static_cast<DWORD>(std::stoi(rest)));
      return true;
    }
    if (command == "shot") return SaveScreen(rest) || Fail("cannot save " + rest);
    if (command == "desktop") {
      HDESK desktop = nullptr;
      for (int waited = 0; !(desktop = OpenDesktopW(Wide(rest).c_str(), 0, FALSE, GENERIC_ALL)); waited += 100) {
        if (waited > kTimeoutMs) return Fail("no desktop " + rest);
        Sleep(100);
      }
      if (!SetThreadDesktop(desktop)) return Fail("cannot work on desktop " + rest);
      return true;
    }
    if (!window_ || !IsWindow(window_)) return Fail("no window for " + command);
    if (command == "waitgone") return WaitGone();
    if (command == "enter") return Key(VK_RETURN);
    if (command == "esc") return Key(VK_ESCAPE);
    if (command == "close") {
      Print("> Close");
      return PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
    }
    if (command == "hide" || command == "show") {
      ShowWindow(window_, command == "hide" ? SW_HIDE : SW_SHOW);
      Sleep(300);
      return true;
    }
    if (command == "message") {
      Print("Message box \"" + Shown(WindowText(window_)) + "\": " + Shown(WindowText(Item(kMessageTextId))));
      return true;
    }
    if (command == "answer") {
      int id = rest == "yes" ? IDYES : rest == "no" ? IDNO : IDOK;
      Print("> " + rest);
      return Click(id, false);
    }
    std::istringstream args(rest);
    int id = 0;
    if (!(args >> id)) return Fail("a control id is missing in: " + line);
    std::string text;
    std::getline(args, text);
    if (!text.empty() && text[0] == ' ') text.erase(0, 1);
    HWND item = Item(id);
    if (!item) return Fail("no control " + std::to_string(id));
    if (command == "text") {
      Print("Text " + std::to_string(id) + " \"" + Shown(WindowText(item)) + "\"");
    } else if (command == "enabled") {
      Print("Enabled " + std::to_string(id) + " " + (IsWindowEnabled(item) ? "yes" : "no"));
    } else if (command == "waitenabled") {
      for (int waited = 0; !IsWindowEnabled(item); waited += 100) {
        if (waited > kTimeoutMs) return Fail("control " + std::to_string(id) + " stays disabled");
        Sleep(100);
      }
      Print("Enabled " + std::to_string(id) + " \"" + Shown(WindowText(item)) + "\"");
    } else if (command == "list") {
      LRESULT count = SendMessageW(item, LB_GETCOUNT, 0, 0);
      for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(item, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring lineText(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
        SendMessageW(item, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(lineText.data()));
        lineText.resize(wcslen(lineText.c_str()));
        Print("List " + std::to_string(id) + ": " + Shown(lineText));
      }
      Print("Selected " + std::to_string(SendMessageW(item, LB_GETCURSEL, 0, 0)));
    } else if (command == "set") {
      Print("> Type " + std::to_string(id) + " \"" + text + "\"");
      std::wstring wide = Wide(text);
      SendMessageW(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    } else if (command == "click") {
      Print("> Click " + std::to_string(id) + " \"" + Shown(WindowText(item)) + "\"");
      return Click(id, true);
    } else {
      return Fail("unknown command: " + command);
    }
    return true;
  }

 private:
  static void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  }

  static bool Fail(const std::string& text) {
    Print("ERROR " + text);
    return false;
  }

  HWND Item(int id) const { return GetDlgItem(window_, id); }

  bool Registry(const std::string& spec) {
    std::size_t bar = spec.find('|');
    std::size_t slash = spec.find('\\');
    if (bar == std::string::npos || slash == std::string::npos || slash > bar) return Fail("reg KEY|VALUE: " + spec);
    std::string rootName = spec.substr(0, slash);
    HKEY root = rootName == "HKEY_LOCAL_MACHINE" ? HKEY_LOCAL_MACHINE
                : rootName == "HKEY_CURRENT_USER" ? HKEY_CURRENT_USER
                                                  : nullptr;
    if (!root) return Fail("unknown root " + rootName);
    std::wstring key = Wide(spec.substr(slash + 1, bar - slash - 1));
    std::wstring name = Wide(spec.substr(bar + 1));
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    LONG status = RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data, &size);
    Print("Registry " + spec + " = " + (status == ERROR_SUCCESS ? "\"" + Shown(data) + "\"" : std::string("<none>")));
    return true;
  }

  bool Wait(const std::string& caption, bool print) {
    std::wstring wide = Wide(caption);
    for (int waited = 0;; waited += 100) {
      HWND found = FindTopLevel(wide);
      if (found && found != gone_) {
        window_ = found;
        Sleep(300);  // let the page finish its showing
        // A window found again (a page after its message box) is no new dialog.
        if (print && seen_.insert(found).second) Print("Dialog \"" + caption + "\"");
        return true;
      }
      if (waited > kTimeoutMs) return Fail("no window \"" + caption + "\"");
      Sleep(100);
    }
  }

  bool WaitGone() {
    for (int waited = 0; IsWindow(window_) && IsWindowVisible(window_); waited += 100) {
      if (waited > kTimeoutMs) return Fail("the window stays");
      Sleep(100);
    }
    gone_ = window_;
    return true;
  }

  bool Key(UINT key) {
    Print(key == VK_RETURN ? "> Enter" : "> Esc");
    // The modal loop's IsDialogMessage turns the key into the dialog's command.
    return PostMessageW(window_, WM_KEYDOWN, key, 1) != FALSE &&
           PostMessageW(window_, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001)) != FALSE;
  }

  bool Click(int id, bool checked) {
    HWND item = Item(id);
    if (!item) return Fail("no button " + std::to_string(id));
    if (checked && !IsWindowEnabled(item)) return Fail("button " + std::to_string(id) + " is disabled");
    return PostMessageW(item, BM_CLICK, 0, 0) != FALSE;
  }

  HWND window_ = nullptr;
  HWND gone_ = nullptr;
  std::set<HWND> seen_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: uidriver SCRIPT\n");
    return 64;
  }
  std::ifstream script(argv[1], std::ios::binary);
  if (!script) {
    std::fprintf(stderr, "uidriver: cannot read %s\n", argv[1]);
    return 64;
  }
  Driver driver;
  std::string line;
  while (std::getline(script, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!driver.Run(line)) return 1;
  }
  return 0;
}
