#include "tools/qzpack/stub/Win32StubSystem.h"

#include "tools/qzpack/PackFormat.h"
#include "tools/qzpack/stub/ExtractionFolder.h"
#include "tools/qzpack/stub/StubTexts.h"
#include "tools/qzpack/stub/UserFunctions.h"
#include "tools/qzpack/win32/BcryptSha256.h"
#include "tools/qzpack/win32/Win32Files.h"

namespace qz::pack::win32 {
namespace {

std::wstring CaptionOf(const std::wstring& path) {
  std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
  const std::size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

std::wstring TempFolder() {
  wchar_t path[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, path);
  return length == 0 || length > MAX_PATH ? std::wstring() : std::wstring(path, length);
}

std::wstring SystemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring message = length ? std::wstring(text, length) : std::wstring();
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
  return message;
}

class Win32FileSink : public FileSink {
 public:
  explicit Win32FileSink(HANDLE file) : file_(file) {}
  ~Win32FileSink() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  Win32FileSink(const Win32FileSink&) = delete;
  Win32FileSink& operator=(const Win32FileSink&) = delete;

  std::uint32_t Write(const void* data, std::size_t size) override {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
      DWORD written = 0;
      const DWORD part = static_cast<DWORD>(size > (1u << 30) ? 1u << 30 : size);
      if (!WriteFile(file_, bytes, part, &written, nullptr)) return GetLastError();
      bytes += written;
      size -= written;
    }
    return 0;
  }
  std::uint32_t Finish(std::uint64_t lastWrite) override {
    const FILETIME time = FileTimeOf(lastWrite);
    const DWORD error = SetFileTime(file_, nullptr, nullptr, &time) ? 0 : GetLastError();
    const bool closed = CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    return error != 0 ? error : closed ? 0 : GetLastError();
  }

 private:
  HANDLE file_;
};

}  // namespace

Win32StubSystem::Win32StubSystem(std::wstring self, std::wstring arguments)
    : selfPath_(std::move(self)),
      arguments_(std::move(arguments)),
      caption_(CaptionOf(selfPath_)),
      temp_(TempFolder()),
      progress_(caption_) {}

Win32StubSystem::~Win32StubSystem() { RemoveFolder(); }

DWORD Win32StubSystem::OpenSelf() {
  self_ = OpenForReading(selfPath_);
  return self_ ? 0 : GetLastError();
}

std::unique_ptr<Sha256> Win32StubSystem::NewSha256() { return NewBcryptSha256(); }

std::uint32_t Win32StubSystem::FreeSpace(std::uint64_t& bytes) {
  ULARGE_INTEGER available;
  if (temp_.empty() || !GetDiskFreeSpaceExW(temp_.c_str(), &available, nullptr, nullptr)) return GetLastError();
  bytes = available.QuadPart;
  return 0;
}

std::uint32_t Win32StubSystem::MakeFolder() {
  if (temp_.empty()) return ERROR_PATH_NOT_FOUND;
  return MakeExtractionFolder(temp_, folder_);
}

std::wstring Win32StubSystem::PathOf(const std::string& name) const {
  return folder_ + L"\\" + WideFromCp1250(name);
}

std::uint32_t Win32StubSystem::MakeDirectory(const std::string& name) {
  // It takes the folder's access list; one that exists already is refused.
  return CreateDirectoryW(PathOf(name).c_str(), nullptr) ? 0 : GetLastError();
}

std::uint32_t Win32StubSystem::CreateNewFile(const std::string& name, std::unique_ptr<FileSink>& file) {
  HANDLE handle = CreateFileW(PathOf(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return GetLastError();
  file = std::make_unique<Win32FileSink>(handle);
  return 0;
}

std::uint32_t Win32StubSystem::RunSetup(int& status) {
  const std::wstring program = PathOf(kSetupProgram);
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!arguments_.empty()) commandLine += L" " + arguments_;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                      &startup, &process)) {
    return GetLastError();
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 0;
  const DWORD error = GetExitCodeProcess(process.hProcess, &exitCode) ? 0 : GetLastError();
  CloseHandle(process.hProcess);
  status = static_cast<int>(exitCode);
  return error;
}

void Win32StubSystem::RemoveFolder() {
  if (folder_.empty()) return;
  RemoveTree(folder_);
  folder_.clear();
}

void Win32StubSystem::ShowMessage(StubMessage message, std::uint32_t error) {
  std::wstring text = StubMessageText(message);
  if (error != 0) text += L"\n\n" + SystemErrorText(error);
  const UserFunctions& user = User();
  if (user.windows) user.messageBox(nullptr, text.c_str(), caption_.c_str(), MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}

void Win32StubSystem::ShowProgress(ProgressPhase phase, std::uint64_t done, std::uint64_t total) {
  const int permille = total == 0 ? 1000 : static_cast<int>(std::min<std::uint64_t>(done, total) * 1000 / total);
  progress_.Show(ProgressText(phase), permille);
}

void Win32StubSystem::HideProgress() { progress_.Hide(); }

}  // namespace qz::pack::win32
