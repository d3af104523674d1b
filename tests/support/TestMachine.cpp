#include "tests/support/TestMachine.h"

#include <atomic>
#include <fstream>
#include <stdexcept>
#include <utility>

#include "common/Registry.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/WideText.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "platform/sim/SimMachine.h"
#include "tests/support/TempDir.h"
#endif

namespace qz::test {
namespace {

// The foreign name ("Пример"), and its UTF-8 spelling for host files.
[[maybe_unused]] constexpr const wchar_t* kForeignName = L"\u041f\u0440\u0438\u043c\u0435\u0440";
[[maybe_unused]] constexpr const char* kForeignNameUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xBC\xD0\xB5\xD1\x80";

std::string UniqueSuffix() {
  static std::atomic<int> counter{0};
#ifdef _WIN32
  unsigned long pid = GetCurrentProcessId();
#else
  unsigned long pid = static_cast<unsigned long>(getpid());
#endif
  return std::to_string(pid) + "_" + std::to_string(++counter);
}

#ifdef _WIN32
class Win32TestMachine : public TestMachine {
 public:
  Win32TestMachine() { CreateScratch(); }
  ~Win32TestMachine() override {
    RemoveScratch();
    // Under Wine a link whose target a test removed is listed no more: the
    // host removes what is left, links and all, without following them.
    if (UnixNameFunction()) RunHostProgram("Z:\\bin\\rm -rf \"" + HostPath(platform::win32::Wide(scratchDir_)) + "\"");
  }
  platform::Platform& platform() override { return machine_.platform(); }
  bool IsWin32() const override { return true; }
  bool IsWine() const override { return UnixNameFunction() != nullptr; }
  // Wine names the user as the host does.
  bool HostUserIsRoot() const override {
    char name[256] = {};
    DWORD size = sizeof name;
    return IsWine() && GetUserNameA(name, &size) && std::string(name) == "root";
  }
  std::uint64_t LastWriteTime(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
  }
  void SetLastWriteTime(const std::string& path, std::uint64_t time) override {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    FILETIME written{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    bool set = file != INVALID_HANDLE_VALUE && SetFileTime(file, nullptr, nullptr, &written);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!set) throw std::runtime_error("cannot set the time of " + path);
  }
  void ShapeCopyReads(std::vector<std::size_t> limits) override { machine_.files().ShapeCopyReads(std::move(limits)); }
  void WriteFile(const std::string& path, const std::string& bytes) override {
    std::wstring wide = platform::win32::Wide(path);
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
  bool MakeLink(const std::string& link, const std::string& target, bool directory) override {
    return MakeWideLink(platform::win32::Wide(link), platform::win32::Wide(target), directory);
  }
  bool MakeWideLink(const std::wstring& link, const std::wstring& target, bool directory) {
    if (!UnixNameFunction()) {
      DWORD flags = (directory ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | 0x2 /* ALLOW_UNPRIVILEGED_CREATE */;
      return CreateSymbolicLinkW(link.c_str(), target.c_str(), flags) != FALSE;
    }
    RunHostProgram("Z:\\bin\\ln -s \"" + HostPath(target) + "\" \"" + HostPath(link) + "\"");
    // Wine's wait for a host program may return before it has run.
    for (int waited = 0; waited < 5000; waited += 50) {
      WIN32_FIND_DATAW data;
      HANDLE found = FindFirstFileW(link.c_str(), &data);
      if (found != INVALID_HANDLE_VALUE) {
        FindClose(found);
        return true;
      }
      Sleep(50);
    }
    return false;
  }
  // Wine cannot remove a host link itself (it removes a file link's target,
  // and fails on a directory link): the host's rm does.
  void RemoveLink(const std::string& path, bool directory) override {
    if (!UnixNameFunction()) return TestMachine::RemoveLink(path, directory);
    RunHostProgram("Z:\\bin\\rm -f \"" + HostPath(platform::win32::Wide(path)) + "\"");
    std::wstring wide = platform::win32::Wide(path);
    for (int waited = 0; waited < 5000 && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES; waited += 50) {
      Sleep(50);
    }
  }
  std::string ShortPath(const std::string& path) override {
    wchar_t shortPath[MAX_PATH] = {};
    DWORD n = GetShortPathNameW(platform::win32::Wide(path).c_str(), shortPath, MAX_PATH);
    std::string narrow;
    return n > 0 && n < MAX_PATH && platform::win32::Narrow(shortPath, narrow) ? narrow : path;
  }
  std::string SetForeignString(const std::string& subkey, const char* valueName, const std::string& parent) override {
    HKEY key = nullptr;
    LONG made = RegCreateKeyExW(HKEY_CURRENT_USER, platform::win32::Wide(subkey).c_str(), 0, nullptr, 0, KEY_WRITE,
                                nullptr, &key, nullptr);
    if (made != ERROR_SUCCESS) throw std::runtime_error("cannot create " + subkey + ": " + std::to_string(made));
    std::wstring value = platform::win32::Wide(parent) + L"\\" + kForeignName;
    auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    RegSetValueExW(key, platform::win32::Wide(valueName).c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    RegCloseKey(key);
    return parent + "\\" + kForeignShown;
  }
  std::string MakeForeignDirectory(const std::string& dir, const std::string& link) override {
    std::wstring foreign = platform::win32::Wide(dir) + L"\\" + kForeignName;
    if (!CreateDirectoryW(foreign.c_str(), nullptr) || !MakeWideLink(platform::win32::Wide(link), foreign, true)) {
      throw std::runtime_error("cannot make a foreign directory in " + dir);
    }
    return dir + "\\" + kForeignShown;
  }

 private:
  using UnixName = char*(__cdecl*)(const wchar_t*);
  // Present under Wine only.
  static UnixName UnixNameFunction() {
    return reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  }
  // The host's path, in UTF-8.
  static std::string HostPath(const std::wstring& path) {
    char* name = UnixNameFunction()(path.c_str());
    std::string out = name ? name : "";
    if (name) HeapFree(GetProcessHeap(), 0, name);
    return out;
  }
  // Wine runs a host program started by its host path. (Its exit status
  // does not come through faithfully: callers look at the result.)
  static void RunHostProgram(const std::string& utf8Command) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8Command.c_str(), -1, nullptr, 0);
    std::wstring command(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8Command.c_str(), -1, command.data(), n);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      return;
    }
    // Wine starts a host program without a Windows process: no process
    // handle comes back, and the thread handle holds whatever was there
    // before (closing it closed one of this process's own, the registry's
    // cached HKEY_CURRENT_USER once). Nothing to wait for or close then.
    if (!process.hProcess) return;
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }

  platform::win32::Win32Machine machine_;
};
#else
class SimTestMachine : public TestMachine {
 public:
  SimTestMachine() : machine_(temp_.path() / "machine", temp_.path()) { CreateScratch(); }
  platform::Platform& platform() override { return machine_.platform(); }
  bool IsWin32() const override { return false; }
  bool IsWine() const override { return false; }
  bool HostUserIsRoot() const override { return geteuid() == 0; }
  std::uint64_t LastWriteTime(const std::string& path) override {
    struct stat st;
    if (stat(machine_.HostPath(path.c_str()).c_str(), &st) != 0) return 0;
    return (static_cast<std::uint64_t>(st.st_mtim.tv_sec) + kUnixEpochIn1601) * 10'000'000 +
           static_cast<std::uint64_t>(st.st_mtim.tv_nsec) / 100;
  }
  void SetLastWriteTime(const std::string& path, std::uint64_t time) override {
    struct timespec times[2];
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(time / 10'000'000 - kUnixEpochIn1601);
    times[1].tv_nsec = static_cast<long>(time % 10'000'000 * 100);
    if (utimensat(AT_FDCWD, machine_.HostPath(path.c_str()).c_str(), times, 0) != 0) {
      throw std::runtime_error("cannot set the time of " + path);
    }
  }
  void ShapeCopyReads(std::vector<std::size_t> limits) override { machine_.files().ShapeCopyReads(std::move(limits)); }
  void WriteFile(const std::string& path, const std::string& bytes) override {
    std::filesystem::path host = machine_.HostPath(path.c_str());
    std::error_code ignored;
    std::filesystem::permissions(host, std::filesystem::perms::owner_write, std::filesystem::perm_options::add,
                                 ignored);
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
  }
  bool MakeLink(const std::string& link, const std::string& target, bool) override {
    std::error_code error;
    std::filesystem::create_symlink(machine_.HostPath(target.c_str()), machine_.HostPath(link.c_str()), error);
    return !error;
  }
  std::string SetForeignString(const std::string& subkey, const char* valueName, const std::string& parent) override {
    platform::KeyHandle key = 0;
    if (machine_.registry().CreateKey(platform::RootKey::CurrentUser, subkey.c_str(), key) != platform::kOk) {
      throw std::runtime_error("cannot create " + subkey);
    }
    std::string shown = parent + "\\" + kForeignShown;
    machine_.registry().SetUnconvertibleString(key, valueName, shown.c_str());
    machine_.registry().CloseKey(key);
    return shown;
  }
  std::string MakeForeignDirectory(const std::string& dir, const std::string& link) override {
    std::filesystem::path host = machine_.HostPath(dir.c_str()) / kForeignNameUtf8;
    std::error_code error;
    std::filesystem::create_directory(host, error);
    if (!error) std::filesystem::create_directory_symlink(host, machine_.HostPath(link.c_str()), error);
    if (error) throw std::runtime_error("cannot make a foreign directory in " + dir);
    return dir + "\\" + kForeignShown;
  }
  std::string ShortPath(const std::string& path) override {
    std::string out, name;
    std::istringstream names(path);
    for (bool drive = true; std::getline(names, name, '\\'); drive = false) {
      bool isLong = !drive && (name.size() > 8 || name.find(' ') != std::string::npos);
      out += drive ? "" : "\\";
      out += isLong ? platform::sim::ShortNameOf(name) : name;
    }
    return out;
  }

 private:
  // Seconds from 1601-01-01 to 1970-01-01.
  static constexpr std::uint64_t kUnixEpochIn1601 = 11'644'473'600;

  TempDir temp_;
  platform::sim::SimMachine machine_;
};
#endif

}  // namespace

std::unique_ptr<TestMachine> TestMachine::Create() {
#ifdef _WIN32
  return std::make_unique<Win32TestMachine>();
#else
  return std::make_unique<SimTestMachine>();
#endif
}

void TestMachine::CreateScratch() {
  platform().files.MakeDirectory("C:\\qztest");
  // Wine gives out process ids again: a name an earlier run left is passed by.
  platform::ErrorCode error = platform::kErrorAlreadyExists;
  std::string suffix;
  for (int tries = 0; tries < 100 && error == platform::kErrorAlreadyExists; ++tries) {
    suffix = UniqueSuffix();
    scratchDir_ = "C:\\qztest\\t" + suffix;
    error = platform().files.MakeDirectory(scratchDir_.c_str());
  }
  if (error != platform::kOk) throw std::runtime_error("cannot create the scratch directory " + scratchDir_);
  scratchKey_ = "Software\\QZConformance\\t" + suffix;
}

// Removes a directory tree through the platform (test cleanup only).
void TestMachine::RemoveTreeQuietly(const std::string& dir) {
  platform::FileSystem& files = platform().files;
  platform::ErrorCode error;
  auto search = files.FindFiles((dir + "\\*.*").c_str(), error);
  if (search) {
    platform::FindEntry entry;
    while (search->Next(entry)) {
      if (entry.IsDots()) continue;
      std::string path = dir + "\\" + entry.name.c_str();
      if (entry.IsLink()) {
        // Never walked into: what a link points to is not the test's.
        RemoveLink(path, entry.IsDirectory());
      } else if (entry.IsDirectory()) {
        RemoveTreeQuietly(path);
      } else {
        files.SetAttributes(path.c_str(), platform::kAttributeNormal);
        files.RemoveFile(path.c_str());
      }
    }
  }
  search.reset();
  files.RemoveDir(dir.c_str());
}

void TestMachine::RemoveLink(const std::string& path, bool directory) {
  if (directory) platform().files.RemoveDir(path.c_str());
  else platform().files.RemoveFile(path.c_str());
}

void TestMachine::RemoveScratch() {
  RemoveTreeQuietly(scratchDir_);
  Registry(platform().registry).DeleteKey("HKEY_CURRENT_USER\\" + scratchKey_);
}

std::string TestMachine::ReadFile(const std::string& path) {
  platform::ErrorCode error;
  auto in = platform().files.OpenForReading(path.c_str(), platform::kShareReadWrite, error);
  if (!in) return "<missing>";
  std::string bytes;
  char buffer[4096];
  std::size_t got = 0;
  while (in->Read(buffer, sizeof buffer, got) && got > 0) bytes.append(buffer, got);
  return bytes;
}

}  // namespace qz::test
