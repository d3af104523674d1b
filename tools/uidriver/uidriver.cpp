// uidriver: drives another program's dialogs from outside, as a person
// would, for the end-to-end runs under Wine.
//
//   uidriver SCRIPT
//
// SCRIPT holds one command a line (UTF-8); '#' starts a comment line. The
// commands act on the window found by the last "wait":
//
//   wait CAPTION          wait (60 s) for a visible top-level window with this caption
//   waitgone              wait until that window is gone (at once when it is already)
//   text ID               print a control's text
//   list ID               print a list box's lines
//   enabled ID            print whether a control is enabled
//   waitenabled ID        wait until a control is enabled (at once when it is already)
//   set ID TEXT           set a control's text, as typing would
//   click ID              click a button (refused when it is disabled)
//   enter | esc           press Enter or Esc in the window
//   close                 the window's close box
//   message               print a message box's text
//   answer ok|yes|no      press a message box's button and wait until the box is gone
//   hide | show           hide or show the window (for a picture of what lies behind)
//   shot FILE             save the screen as a bitmap file
//   sleep MS              wait
//   timeout S             let the waits below last S seconds (default 60)
//   desktop NAME          work on the named desktop (Wine's explorer /desktop=NAME)
//   waitbox CAPTION       wait for a message box and print its text (and, first,
//                         its owner dialog when that has not been seen shown)
//   reg KEY|VALUE         print a string value below HKEY_LOCAL_MACHINE or
//                         HKEY_CURRENT_USER (KEY starts with the root's name)
//   export FILE|KEY       append the key with everything below it to FILE, as
//                         REGEDIT4 text in UTF-8 (nothing when the key is missing);
//                         the key is named as given, its subkeys as stored
//   volatile KEY          make the key volatile (made anew; it must have no
//                         subkeys, its values are lost): creating a lasting key
//                         below it then fails with 1021, as a denied write does
//   lock PATH             hold the file open without sharing until the driver
//                         ends: opening, copying or deleting it fails with 32
//   launch DESKTOP KEY|VALUE
//                         run the command line a string value holds, unchanged,
//                         on the virtual desktop DESKTOP (explorer /desktop=...);
//                         the driver waits (60 s) for it to end after the script
//
// Each command prints what it saw in UTF-8; a command that cannot be done
// prints "ERROR ..." and ends the run with status 1. Texts are read with the
// W messages, which the system carries across processes.
//
// The programs run beside the driver and do not wait for it: a window can
// close between two commands, as soon as the command that closes it has
// been posted. Every wait therefore accepts what is already done (a window
// already gone, a control already enabled), and a command that reads a
// window that ended meanwhile fails, instead of printing what a window
// that is no more answers (nothing).

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// How long a wait lasts before it fails; "timeout" sets it.
int g_timeoutMs = 60000;
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

// A message to another program's window; false when the window did not
// answer it: it ended, or hangs. On a loaded machine a window that is only
// slow must not count as hung, hence the long limit.
bool Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
  return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 20000, &result) != 0;
}

// A window's text; false when the window did not answer.
bool ReadText(HWND window, std::wstring& text) {
  text.clear();
  DWORD_PTR length = 0, got = 0;
  if (!Ask(window, WM_GETTEXTLENGTH, 0, 0, length)) return false;
  std::wstring read(length + 1, L'\0');
  if (!Ask(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(read.data()), got)) return false;
  read.resize(wcslen(read.c_str()));
  text = read;
  return true;
}

// A list box's lines and selection; false when the list did not answer all
// the way through (its window ended while it was read).
bool ReadList(HWND list, std::vector<std::wstring>& lines, LRESULT& selection) {
  lines.clear();
  DWORD_PTR count = 0, length = 0, got = 0, selected = 0;
  if (!Ask(list, LB_GETCOUNT, 0, 0, count)) return false;
  for (DWORD_PTR i = 0; i < count; ++i) {
    if (!Ask(list, LB_GETTEXTLEN, i, 0, length) || static_cast<LRESULT>(length) == LB_ERR) return false;
    std::wstring line(length + 1, L'\0');
    if (!Ask(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()), got)) return false;
    line.resize(wcslen(line.c_str()));
    lines.push_back(line);
  }
  if (!Ask(list, LB_GETCURSEL, 0, 0, selected)) return false;
  selection = static_cast<LRESULT>(selected);
  return true;
}

// Waits until the window is gone: destroyed or hidden. One that went before
// the wait began is gone as well. False when it stays past the time limit.
bool WaitUntilGone(HWND window) {
  for (int waited = 0; IsWindow(window) && IsWindowVisible(window); waited += 100) {
    if (waited > g_timeoutMs) return false;
    Sleep(100);
  }
  return true;
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
      // A dialog that shows a box while it is still being opened (a command
      // it posted itself before its first showing) has not been seen yet.
      HWND owner = GetWindow(window_, GW_OWNER);
      wchar_t className[16] = {};
      std::wstring ownerCaption;
      if (owner && GetClassNameW(owner, className, 16) && std::wstring(className) == L"#32770" &&
          seen_.insert(owner).second) {
        if (!ReadText(owner, ownerCaption)) return Fail("the message box's dialog ended while it was read");
        Print("Dialog \"" + Shown(ownerCaption) + "\"");
      }
      return PrintMessage();
    }
    if (command == "reg") return Registry(rest);
    if (command == "export") return Export(rest);
    if (command == "volatile") return MakeVolatile(rest);
    if (command == "lock") return Lock(rest);
    if (command == "launch") return Launch(rest);
    if (command == "timeout") {
      g_timeoutMs = std::stoi(rest) * 1000;
      return true;
    }
    if (command == "sleep") {
      Sleep(static_cast<DWORD>(std::stoi(rest)));
      return true;
    }
    if (command == "shot") return SaveScreen(rest) || Fail("cannot save " + rest);
    if (command == "desktop") {
      HDESK desktop = nullptr;
      for (int waited = 0; !(desktop = OpenDesktopW(Wide(rest).c_str(), 0, FALSE, GENERIC_ALL)); waited += 100) {
        if (waited > g_timeoutMs) return Fail("no desktop " + rest);
        Sleep(100);
      }
      if (!original_desktop_) original_desktop_ = GetThreadDesktop(GetCurrentThreadId());
      if (!SetThreadDesktop(desktop)) return Fail("cannot work on desktop " + rest);
      if (desktop_) CloseDesktop(desktop_);
      desktop_ = desktop;
      return true;
    }
    // Before the window is looked at: the window may have gone already.
    if (command == "waitgone") return WaitGone();
    if (!window_ || !IsWindow(window_)) return Fail("no window for " + command);
    if (command == "enter") return Key(VK_RETURN);
    if (command == "esc") return Key(VK_ESCAPE);
    if (command == "close") {
      Print("> Close");
      return PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE || Fail("the window ended before its close");
    }
    if (command == "hide" || command == "show") {
      ShowWindow(window_, command == "hide" ? SW_HIDE : SW_SHOW);
      Sleep(300);
      return true;
    }
    if (command == "message") return PrintMessage();
    if (command == "answer") {
      int id = rest == "yes" ? IDYES : rest == "no" ? IDNO : IDOK;
      Print("> " + rest);
      if (!Click(id, false)) return false;
      // The box ends with the click. Waiting for that here keeps the next
      // "waitbox" from finding this box again while it closes, in place of
      // a second box with the same caption.
      if (!WaitUntilGone(window_)) return Fail("the message box stays");
      gone_ = window_;
      return true;
    }
    std::istringstream args(rest);
    int id = 0;
    if (!(args >> id)) return Fail("a control id is missing in: " + line);
    std::string text;
    std::getline(args, text);
    if (!text.empty() && text[0] == ' ') text.erase(0, 1);
    HWND item = Item(id);
    if (!item) return Fail("no control " + std::to_string(id));
    const std::string control = "control " + std::to_string(id);
    if (command == "text") {
      std::wstring read;
      if (!ReadText(item, read)) return Fail(control + " ended while its text was read");
      Print("Text " + std::to_string(id) + " \"" + Shown(read) + "\"");
    } else if (command == "enabled") {
      Print("Enabled " + std::to_string(id) + " " + (IsWindowEnabled(item) ? "yes" : "no"));
    } else if (command == "waitenabled") {
      // Already enabled: at once. A window that ends first never enables it.
      for (int waited = 0; !IsWindowEnabled(item); waited += 100) {
        if (!IsWindow(item)) return Fail("the window ended before " + control + " was enabled");
        if (waited > g_timeoutMs) return Fail(control + " stays disabled");
        Sleep(100);
      }
      std::wstring read;
      if (!ReadText(item, read)) return Fail(control + " ended while its text was read");
      Print("Enabled " + std::to_string(id) + " \"" + Shown(read) + "\"");
    } else if (command == "list") {
      // Read whole before anything is printed: a list whose window ends
      // meanwhile would answer with no lines at all.
      std::vector<std::wstring> lines;
      LRESULT selection = 0;
      if (!ReadList(item, lines, selection)) return Fail("list " + std::to_string(id) + " ended while it was read");
      for (const std::wstring& lineText : lines) Print("List " + std::to_string(id) + ": " + Shown(lineText));
      Print("Selected " + std::to_string(selection));
    } else if (command == "set") {
      Print("> Type " + std::to_string(id) + " \"" + text + "\"");
      std::wstring wide = Wide(text);
      DWORD_PTR done = 0;
      if (!Ask(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), done)) {
        return Fail(control + " ended before its text was set");
      }
    } else if (command == "click") {
      std::wstring label;
      if (!ReadText(item, label)) return Fail(control + " ended while its text was read");
      Print("> Click " + std::to_string(id) + " \"" + Shown(label) + "\"");
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

  // The message box's caption and text, as "waitbox" and "message" print them.
  bool PrintMessage() {
    std::wstring caption, text;
    if (!ReadText(window_, caption) || !ReadText(Item(kMessageTextId), text)) {
      return Fail("the message box ended while it was read");
    }
    Print("Message box \"" + Shown(caption) + "\": " + Shown(text));
    return true;
  }

  // "HKEY_LOCAL_MACHINE\\SOFTWARE\\..." into the root and the path below it.
  static bool SplitKey(const std::string& path, HKEY& root, std::wstring& subkey) {
    std::size_t slash = path.find('\\');
    std::string rootName = path.substr(0, slash);
    root = rootName == "HKEY_LOCAL_MACHINE" ? HKEY_LOCAL_MACHINE
           : rootName == "HKEY_CURRENT_USER" ? HKEY_CURRENT_USER
                                             : nullptr;
    subkey = slash == std::string::npos ? L"" : Wide(path.substr(slash + 1));
    return root != nullptr;
  }

  // KEY|VALUE into the key's path and the value's name.
  static bool SplitValue(const std::string& spec, std::string& key, std::string& name) {
    std::size_t bar = spec.find('|');
    if (bar == std::string::npos) return false;
    key = spec.substr(0, bar);
    name = spec.substr(bar + 1);
    return true;
  }

  static bool ReadString(const std::string& keyPath, const std::string& name, std::wstring& text) {
    HKEY root;
    std::wstring key;
    if (!SplitKey(keyPath, root, key)) return false;
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    if (RegGetValueW(root, key.c_str(), Wide(name).c_str(), RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
      return false;
    }
    text = data;
    return true;
  }

  bool Registry(const std::string& spec) {
    std::string key, name;
    HKEY root;
    std::wstring subkey;
    if (!SplitValue(spec, key, name) || key.find('\\') == std::string::npos) return Fail("reg KEY|VALUE: " + spec);
    if (!SplitKey(key, root, subkey)) return Fail("unknown root in " + key);
    std::wstring data;
    Print("Registry " + spec + " = " + (ReadString(key, name, data) ? "\"" + Shown(data) + "\"" : std::string("<none>")));
    return true;
  }

  // REGEDIT4's quoting of names and strings.
  static std::string Quoted(const std::wstring& text) {
    std::string out = "\"";
    for (char c : Utf8(text)) {
      if (c == '\\' || c == '"') out += '\\';
      out += c;
    }
    return out + "\"";
  }

  static void ExportKey(HKEY key, const std::string& path, std::string& out) {
    out += "[" + path + "]\n";
    for (DWORD i = 0;; ++i) {
      wchar_t name[16384];
      DWORD nameLength = 16384, type = 0, size = 0;
      if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
      std::vector<BYTE> data(size + sizeof(wchar_t));
      nameLength = 16384;
      if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
      out += nameLength == 0 ? std::string("@") : Quoted(name);
      out += "=";
      if (type == REG_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        out += Quoted(text);
      } else if (type == REG_DWORD && size == 4) {
        char number[16];
        std::snprintf(number, sizeof number, "dword:%08lx", static_cast<unsigned long>(*reinterpret_cast<DWORD*>(data.data())));
        out += number;
      } else {
        char prefix[16];
        if (type == REG_BINARY) std::snprintf(prefix, sizeof prefix, "hex:");
        else std::snprintf(prefix, sizeof prefix, "hex(%lx):", static_cast<unsigned long>(type));
        out += prefix;
        for (DWORD b = 0; b < size; ++b) {
          char hex[4];
          std::snprintf(hex, sizeof hex, b == 0 ? "%02x" : ",%02x", data[b]);
          out += hex;
        }
      }
      out += "\n";
    }
    out += "\n";
    for (DWORD i = 0;; ++i) {
      wchar_t name[256];
      DWORD nameLength = 256;
      if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      HKEY sub;
      if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
      ExportKey(sub, path + "\\" + Utf8(name), out);
      RegCloseKey(sub);
    }
  }

  bool Export(const std::string& spec) {
    std::string file, keyPath;
    HKEY root;
    std::wstring subkey;
    if (!SplitValue(spec, file, keyPath) || !SplitKey(keyPath, root, subkey)) return Fail("export FILE|KEY: " + spec);
    HKEY key;
    if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return true;
    std::string out;
    ExportKey(key, keyPath, out);
    RegCloseKey(key);
    std::ofstream output(file, std::ios::binary | std::ios::app);
    output << out;
    return static_cast<bool>(output) || Fail("cannot write " + file);
  }

  bool MakeVolatile(const std::string& keyPath) {
    HKEY root;
    std::wstring subkey;
    if (!SplitKey(keyPath, root, subkey) || subkey.empty()) return Fail("volatile KEY: " + keyPath);
    LONG deleted = RegDeleteKeyW(root, subkey.c_str());
    if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) return Fail("cannot replace " + keyPath);
    HKEY key;
    if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
      return Fail("cannot create " + keyPath);
    }
    RegCloseKey(key);
    Print("Volatile " + keyPath);
    return true;
  }

  bool Lock(const std::string& path) {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail("cannot open " + path);
    // Kept open until the driver ends.
    Print("Lock " + path);
    return true;
  }

  bool Launch(const std::string& spec) {
    std::size_t blank = spec.find(' ');
    std::string key, name;
    if (blank == std::string::npos || !SplitValue(spec.substr(blank + 1), key, name)) {
      return Fail("launch DESKTOP KEY|VALUE: " + spec);
    }
    std::wstring command;
    if (!ReadString(key, name, command)) return Fail("no value " + spec.substr(blank + 1));
    // explorer hands the rest of its command line to CreateProcess unchanged.
    std::wstring line = L"explorer.exe /desktop=" + Wide(spec.substr(0, blank)) + L",1024x768 " + command;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    Print("> Launch \"" + Shown(command) + "\"");
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      return Fail("cannot start " + Utf8(line));
    }
    CloseHandle(process.hThread);
    launched_.push_back(process.hProcess);
    return true;
  }

 public:
  // After the script: the programs it launched must end by themselves.
  bool WaitForLaunched() {
    // A virtual desktop stays while anyone works on it: the driver leaves it first.
    if (desktop_) {
      SetThreadDesktop(original_desktop_);
      CloseDesktop(desktop_);
      desktop_ = nullptr;
    }
    for (HANDLE process : launched_) {
      if (WaitForSingleObject(process, g_timeoutMs) != WAIT_OBJECT_0) return Fail("a launched program does not end");
      CloseHandle(process);
    }
    launched_.clear();
    return true;
  }

 private:

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
      if (waited > g_timeoutMs) return Fail("no window \"" + caption + "\"");
      Sleep(100);
    }
  }

  // The command that closes a window (a click, a key, an answer) is only
  // posted, and the program may have closed it before the driver comes
  // here: a window already gone is gone.
  bool WaitGone() {
    if (!window_) return Fail("no window waited for before waitgone");
    if (!WaitUntilGone(window_)) return Fail("the window stays");
    gone_ = window_;
    return true;
  }

  bool Key(UINT key) {
    Print(key == VK_RETURN ? "> Enter" : "> Esc");
    // The modal loop's IsDialogMessage turns the key into the dialog's command.
    if (!PostMessageW(window_, WM_KEYDOWN, key, 1)) return Fail("the window ended before the key reached it");
    // The key may end the window before its release is posted (a busy
    // machine lets the program run first): a release that finds no window
    // is no failure.
    PostMessageW(window_, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
    return true;
  }

  bool Click(int id, bool checked) {
    HWND item = Item(id);
    if (!item) return Fail("no button " + std::to_string(id));
    if (checked && !IsWindowEnabled(item)) return Fail("button " + std::to_string(id) + " is disabled");
    return PostMessageW(item, BM_CLICK, 0, 0) != FALSE || Fail("button " + std::to_string(id) + " ended before its click");
  }

  HWND window_ = nullptr;
  HWND gone_ = nullptr;
  std::vector<HANDLE> launched_;
  HDESK desktop_ = nullptr;
  HDESK original_desktop_ = nullptr;
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
  return driver.WaitForLaunched() ? 0 : 1;
}
