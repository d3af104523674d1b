#include <windows.h>
#include <shlobj.h>

#include <utility>

#include "platform/TextOutput.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WideText.h"

namespace qz::platform::win32 {
namespace {

ErrorCode Result(BOOL ok) { return ok ? kOk : GetLastError(); }

DWORD ShareFlags(ShareMode share) {
  return (share.read ? FILE_SHARE_READ : 0) | (share.write ? FILE_SHARE_WRITE : 0);
}

// A file handle owned by one scope: closed when the scope ends, or before
// by Close(), whose result a writer looks at.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // Closes the handle now: 0, or CloseHandle's error.
  ErrorCode Close() {
    HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    return Result(CloseHandle(handle));
  }

 private:
  HANDLE handle_;
};

class Win32DirectorySearch : public DirectorySearch {
 public:
  Win32DirectorySearch(HANDLE handle, const WIN32_FIND_DATAW& first) : handle_(handle), data_(first) {}
  ~Win32DirectorySearch() override { FindClose(handle_); }
  // A name met while listing is only read: a character Windows-1250 lacks
  // comes as '?', which names nothing the programs can act on.
  bool Next(FindEntry& entry) override {
    if (!pending_ && !FindNextFileW(handle_, &data_)) return false;
    pending_ = false;
    NarrowShown(UpToNul(data_.cFileName, MAX_PATH), entry.name);
    entry.attributes = data_.dwFileAttributes;
    return true;
  }

 private:
  HANDLE handle_;
  WIN32_FIND_DATAW data_;
  bool pending_ = true;
};

class Win32InputFile : public InputFile {
 public:
  explicit Win32InputFile(HANDLE handle) : handle_(handle) {}
  ~Win32InputFile() override { CloseHandle(handle_); }
  bool Read(void* buffer, std::size_t size, std::size_t& got) override {
    DWORD read = 0;
    BOOL ok = ReadFile(handle_, buffer, static_cast<DWORD>(size), &read, nullptr);
    got = read;
    return ok != FALSE;
  }
  bool Rewind() override { return SetFilePointer(handle_, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER; }

 private:
  HANDLE handle_;
};

class Win32OutputFile : public TextOutput {
 public:
  explicit Win32OutputFile(HANDLE handle) : handle_(handle) {}
  ~Win32OutputFile() override {
    Flush();
    CloseHandle(handle_);
  }

 private:
  bool WriteRaw(const char* bytes, std::size_t size) override {
    DWORD written = 0;
    return WriteFile(handle_, bytes, static_cast<DWORD>(size), &written, nullptr) && written == size;
  }

  HANDLE handle_;
};

// Reads until a read returns nothing: a read may come back short before
// the end (a network share, a device). The source is open without write
// sharing, so it keeps the size it had when it was opened; a different
// count means the copy ended early (38).
ErrorCode CopyBytes(HANDLE from, HANDLE to, std::uint64_t size, char* buffer, std::size_t bufferSize,
                    CopyReads& reads) {
  std::uint64_t copied = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(from, buffer, static_cast<DWORD>(reads.Next(bufferSize)), &got, nullptr)) {
      return GetLastError();
    }
    if (got == 0) break;
    for (DWORD done = 0; done < got;) {
      DWORD written = 0;
      if (!WriteFile(to, buffer + done, got - done, &written, nullptr)) return GetLastError();
      // A write that succeeds without writing sets no error of its own.
      if (written == 0) return kErrorWriteFault;
      done += written;
    }
    copied += got;
  }
  return copied == size ? kOk : kErrorHandleEof;
}

// The source's last-write time and the attributes CopyFile carries.
ErrorCode CarryBasicInfo(HANDLE to, const FILE_BASIC_INFO& source, std::uint32_t* copiedAttributes) {
  FILE_BASIC_INFO copied{};
  copied.LastWriteTime = source.LastWriteTime;
  copied.FileAttributes = source.FileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                   FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  if (!SetFileInformationByHandle(to, FileBasicInfo, &copied, sizeof copied)) return GetLastError();
  if (copiedAttributes) *copiedAttributes = copied.FileAttributes ? copied.FileAttributes : FILE_ATTRIBUTE_NORMAL;
  return kOk;
}

// A directory the system names, which the programs write in: empty when
// it does not fit or holds a character Windows-1250 lacks.
PathText SystemPath(UINT(WINAPI* get)(LPWSTR, UINT)) {
  wchar_t wide[MAX_PATH] = {};
  UINT n = get(wide, MAX_PATH);
  PathText dir;
  if (n == 0 || n >= MAX_PATH || NarrowStrict(std::wstring_view(wide, n), dir) != kOk) dir.Clear();
  return dir;
}

// A folder the system names that stays protected: a character
// Windows-1250 lacks as '?', never dropped.
void AddShown(std::vector<std::string>& folders, std::wstring_view wide) {
  std::string folder;
  Narrow(wide, folder);
  folders.push_back(std::move(folder));
}

}  // namespace

PathText Win32FileSystem::WindowsDir() { return SystemPath(GetWindowsDirectoryW); }

PathText Win32FileSystem::SystemDir() { return SystemPath(GetSystemDirectoryW); }

std::vector<std::string> Win32FileSystem::SystemFolders() {
  std::vector<std::string> folders;
  wchar_t path[MAX_PATH];
  for (int csidl : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON,
                    CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_COMMON_APPDATA, CSIDL_PROFILE, CSIDL_COMMON_DOCUMENTS,
                    CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS}) {
    if (SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) {
      AddShown(folders, UpToNul(path, MAX_PATH));
    }
  }
  // A 32-bit program on 64-bit Windows is told of the x86 folders alone;
  // the native ones are named by these variables (set by the system).
  for (const wchar_t* name : {L"ProgramW6432", L"CommonProgramW6432"}) {
    DWORD n = GetEnvironmentVariableW(name, path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) AddShown(folders, std::wstring_view(path, n));
  }
  UINT n = GetSystemWow64DirectoryW(path, MAX_PATH);
  if (n > 0 && n < MAX_PATH) AddShown(folders, std::wstring_view(path, n));
  return folders;
}

ErrorCode Win32FileSystem::FinalPath(const char* path, PathText& finalPath) {
  // No access is asked for: the handle only names what the path reaches.
  FileHandle handle(CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle.valid()) return GetLastError();
  constexpr DWORD kCapacity = 1024;
  wchar_t name[kCapacity];
  DWORD n = GetFinalPathNameByHandleW(handle.get(), name, kCapacity, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (n == 0) return GetLastError();
  if (n >= kCapacity) return kErrorFilenameTooLong;
  std::wstring_view text(name, n);
  // "\\?\C:\..." is a path on a drive letter; any other "\\?\" form stays.
  if (text.size() >= 7 && text.substr(0, 4) == L"\\\\?\\" && text[5] == L':' && text[6] == L'\\') text.remove_prefix(4);
  // Where a directory leads is acted on: a character Windows-1250 lacks
  // fails it (1113), which the protected-folder check refuses.
  return NarrowStrict(text, finalPath);
}

ErrorCode Win32FileSystem::MakeDirectory(const char* path) {
  return Result(CreateDirectoryW(Wide(path).c_str(), nullptr));
}

// What CopyFileA does for the files a medium holds: the bytes, the
// attributes and the last-write time, with its errors (80 for an existing
// target that must not be replaced, 5 for a directory, and on Windows for a
// read-only or hidden target, which Wine replaces; 2, 3 and 32 as the
// files stand). A loop of our own, with one call for each thing it learns
// or sets: under Wine CopyFileA costs more than the copying itself, and an
// installation is thousands of small copies. The copy is whole or is not
// there: a target that did not receive every byte never gets the source's
// time, and is deleted, as is one that could not be closed.
ErrorCode Win32FileSystem::CopyFileTo(const char* source, const char* target, bool failIfExists,
                                      std::uint32_t* copiedAttributes) {
  FileHandle from(
      CreateFileW(Wide(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!from.valid()) return GetLastError();
  FILE_BASIC_INFO basic{};
  FILE_STANDARD_INFO standard{};
  if (!GetFileInformationByHandleEx(from.get(), FileBasicInfo, &basic, sizeof basic) ||
      !GetFileInformationByHandleEx(from.get(), FileStandardInfo, &standard, sizeof standard)) {
    return GetLastError();
  }
  ErrorCode error = kOk;
  {
    // Without sharing: nobody reads a half-written copy or writes beside it.
    FileHandle to(CreateFileW(Wide(target).c_str(), GENERIC_WRITE, 0, nullptr,
                              failIfExists ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!to.valid()) return GetLastError();
    if (!copyBuffer_) copyBuffer_ = std::make_unique<char[]>(kCopyBufferSize);
    error = CopyBytes(from.get(), to.get(), standard.EndOfFile.QuadPart, copyBuffer_.get(), kCopyBufferSize,
                      copyReads_);
    if (error == kOk) error = CarryBasicInfo(to.get(), basic, copiedAttributes);
    ErrorCode closed = to.Close();
    if (error == kOk) error = closed;
  }
  if (error != kOk) {
    SetFileAttributesW(Wide(target).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(Wide(target).c_str());
  }
  return error;
}

ErrorCode Win32FileSystem::GetAttributes(const char* path, std::uint32_t& attributes) {
  DWORD found = GetFileAttributesW(Wide(path).c_str());
  if (found == INVALID_FILE_ATTRIBUTES) return GetLastError();
  attributes = found;
  return kOk;
}

ErrorCode Win32FileSystem::SetAttributes(const char* path, std::uint32_t attributes) {
  return Result(SetFileAttributesW(Wide(path).c_str(), attributes));
}

ErrorCode Win32FileSystem::RemoveFile(const char* path) { return Result(DeleteFileW(Wide(path).c_str())); }

ErrorCode Win32FileSystem::RemoveDir(const char* path) { return Result(RemoveDirectoryW(Wide(path).c_str())); }

std::unique_ptr<DirectorySearch> Win32FileSystem::FindFiles(const char* pattern, ErrorCode& error) {
  WIN32_FIND_DATAW data;
  HANDLE handle = FindFirstFileW(Wide(pattern).c_str(), &data);
  if (handle == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return nullptr;
  }
  error = kOk;
  return std::make_unique<Win32DirectorySearch>(handle, data);
}

std::unique_ptr<InputFile> Win32FileSystem::OpenForReading(const char* path, ShareMode share, ErrorCode& error) {
  HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_READ, ShareFlags(share), nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return nullptr;
  }
  error = kOk;
  return std::make_unique<Win32InputFile>(handle);
}

std::unique_ptr<OutputFile> Win32FileSystem::OpenForAppending(const char* path, ShareMode share, ErrorCode& error) {
  HANDLE handle = CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA, ShareFlags(share), nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return nullptr;
  }
  error = kOk;
  return std::make_unique<Win32OutputFile>(handle);
}

void Win32FileSystem::ErrorMessage(ErrorCode code, TextBuffer& text) {
  // Inserts are ignored: a message with "%1" has nothing to fill it with.
  // The text is only shown: a character Windows-1250 lacks comes as '?'.
  std::wstring wide(text.capacity(), L'\0');
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, wide.data(),
                           static_cast<DWORD>(wide.size()), nullptr);
  NarrowShown(std::wstring_view(wide.data(), n < wide.size() ? n : 0), text);
}

LocalTime Win32Clock::Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wDayOfWeek, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace qz::platform::win32
