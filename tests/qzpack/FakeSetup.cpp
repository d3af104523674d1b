// fake_setup.exe: packed as QZSetup.exe by the stub's tests under Wine. It
// reports what the stub gave it (its arguments, its working directory and
// that folder's access list, the files there) to the file that
// QZ_FAKE_REPORT names, and ends with the status /EXIT=N asks for.

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), length, nullptr, nullptr);
  out.resize(std::strlen(out.c_str()));
  return out;
}

std::wstring Arguments() {
  std::wstring line = GetCommandLineW();
  std::size_t end = line[0] == L'"' ? line.find(L'"', 1) + 1 : line.find(L' ');
  if (end == std::wstring::npos || end > line.size()) return L"";
  while (end < line.size() && line[end] == L' ') ++end;
  return line.substr(end);
}

std::wstring FolderAccess(const std::wstring& folder) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                            nullptr, &descriptor) != ERROR_SUCCESS) {
    return L"<unreadable>";
  }
  wchar_t* text = nullptr;
  std::wstring sddl = L"<none>";
  if (ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                           &text, nullptr)) {
    sddl = text;
    LocalFree(text);
  }
  LocalFree(descriptor);
  return sddl;
}

std::wstring UserSid() {
  HANDLE token = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  unsigned char buffer[256];
  DWORD size = 0;
  wchar_t* text = nullptr;
  std::wstring sid = L"?";
  if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
      ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) {
    sid = text;
    LocalFree(text);
  }
  CloseHandle(token);
  return sid;
}

void ListFiles(const std::wstring& folder, const std::wstring& prefix, std::vector<std::wstring>& names) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!std::wcscmp(found.cFileName, L".") || !std::wcscmp(found.cFileName, L"..")) continue;
    names.push_back(prefix + found.cFileName);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ListFiles(folder + L"\\" + found.cFileName, prefix + found.cFileName + L"\\", names);
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::wstring arguments = Arguments();
  wchar_t directory[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, directory);
  std::vector<std::wstring> names;
  ListFiles(directory, L"", names);
  std::sort(names.begin(), names.end());
  wchar_t report[MAX_PATH];
  if (GetEnvironmentVariableW(L"QZ_FAKE_REPORT", report, MAX_PATH)) {
    FILE* out = _wfopen(report, L"wb");
    if (out) {
      std::fprintf(out, "arguments: %s\n", Utf8(arguments).c_str());
      std::fprintf(out, "directory: %s\n", Utf8(directory).c_str());
      std::fprintf(out, "access: %s\n", Utf8(FolderAccess(directory)).c_str());
      std::fprintf(out, "user: %s\n", Utf8(UserSid()).c_str());
      for (const std::wstring& name : names) std::fprintf(out, "file: %s\n", Utf8(name).c_str());
      std::fclose(out);
    }
  }
  const std::size_t exit = arguments.find(L"/EXIT=");
  return exit == std::wstring::npos ? 0 : _wtoi(arguments.c_str() + exit + 6);
}
