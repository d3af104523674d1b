#include "tools/qzpack/stub/ExtractionFolder.h"

#include <sddl.h>

#include <cwchar>
#include <vector>

#include "tools/qzpack/win32/BcryptSha256.h"

namespace qz::pack::win32 {
namespace {

constexpr int kNameAttempts = 16;
// Another program (a virus scanner) may hold a file a moment longer.
constexpr int kRemoveAttempts = 20;
constexpr DWORD kRemoveWaitMs = 100;

class LocalMemory {
 public:
  explicit LocalMemory(void* memory) : memory_(memory) {}
  ~LocalMemory() {
    if (memory_) LocalFree(memory_);
  }
  LocalMemory(const LocalMemory&) = delete;
  LocalMemory& operator=(const LocalMemory&) = delete;

 private:
  void* memory_;
};

std::wstring RandomName() {
  unsigned char random[8];
  if (!SystemRandom(random, sizeof random)) return std::wstring();
  wchar_t name[32];
  std::swprintf(name, 32, L"qzsetup-%02x%02x%02x%02x%02x%02x%02x%02x", random[0], random[1], random[2], random[3],
                random[4], random[5], random[6], random[7]);
  return name;
}

bool RemoveOnce(const std::wstring& folder) {
  bool removed = true;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (std::wcscmp(found.cFileName, L".") == 0 || std::wcscmp(found.cFileName, L"..") == 0) continue;
      const std::wstring path = folder + L"\\" + found.cFileName;
      const DWORD attributes = found.dwFileAttributes;
      if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
      if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        removed = DeleteFileW(path.c_str()) && removed;
      } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        removed = RemoveDirectoryW(path.c_str()) && removed;  // the link, not what it points to
      } else {
        removed = RemoveOnce(path) && removed;
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  return RemoveDirectoryW(folder.c_str()) && removed;
}

}  // namespace

std::wstring ExtractionFolderSddl(const std::wstring& userSid) {
  return L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + userSid + L")";
}

bool CurrentUserSid(std::wstring& sid) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  const bool got = size != 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
  CloseHandle(token);
  if (!got) return false;
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return false;
  LocalMemory owned(text);
  sid = text;
  return true;
}

DWORD MakeExtractionFolder(const std::wstring& parent, std::wstring& folder) {
  std::wstring sid;
  if (!CurrentUserSid(sid)) return GetLastError();
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(ExtractionFolderSddl(sid).c_str(), SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    return GetLastError();
  }
  LocalMemory owned(descriptor);
  SECURITY_ATTRIBUTES security{sizeof security, descriptor, FALSE};
  std::wstring base = parent;
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::wstring name = RandomName();
    if (name.empty()) return ERROR_GEN_FAILURE;
    folder = base + L"\\" + name;
    if (CreateDirectoryW(folder.c_str(), &security)) {
      // Made just now: a link in its place would mean a race lost.
      const DWORD attributes = GetFileAttributesW(folder.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return 0;
      RemoveDirectoryW(folder.c_str());
      return ERROR_CANT_ACCESS_FILE;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) return error;
  }
  return ERROR_ALREADY_EXISTS;
}

bool RemoveTree(const std::wstring& folder) {
  for (int attempt = 0; attempt < kRemoveAttempts; ++attempt) {
    if (RemoveOnce(folder) || GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    Sleep(kRemoveWaitMs);
  }
  return false;
}

}  // namespace qz::pack::win32
