#include "platform/win32/btrieve/Win32Btrieve.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/win32/WideText.h"
#include "wbtrv/Btrcall.h"
#include "wbtrv/Status.h"

namespace qz::platform::win32 {
namespace {

// The longest path an Open request carries: it ends at a NUL within the
// key buffer's 255 bytes.
constexpr std::size_t kMaxKeyLength = 255;

// A wide text in the system's ANSI code page, when every character comes
// over as itself: no default character put in, no look-alike letter (best
// fit), which a conversion back to UTF-16 proves. UTF-8 (65001) takes
// neither flag nor the question whether the default was used; there the
// conversion back alone tells.
bool AnsiFromWide(const std::wstring& wide, std::string& ansi) {
  bool utf8 = GetACP() == CP_UTF8;
  DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* askDefault = utf8 ? nullptr : &usedDefault;
  int length = static_cast<int>(wide.size());
  int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr, askDefault);
  if (n <= 0 || usedDefault) return false;
  ansi.assign(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), length, ansi.data(), n, nullptr, askDefault);
  if (usedDefault) return false;
  int back = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), n, nullptr, 0);
  std::wstring again(static_cast<std::size_t>(back > 0 ? back : 0), L'\0');
  if (back > 0) MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), n, again.data(), back);
  return again == wide;
}

// The path of an Open request as the engine takes it, in the system's ANSI
// code page: as it is, or by its short (8.3) name when the code page
// lacks one of its letters. 0, or the status the engine answers for a file
// it cannot open: not found, or a name it cannot be given.
std::uint16_t AnsiPath(std::string_view path, std::string& ansi) {
  if (std::all_of(path.begin(), path.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    ansi.assign(path);
    return wbtrv::kStatusOk;
  }
  std::wstring wide = Wide(path);
  if (AnsiFromWide(wide, ansi)) return wbtrv::kStatusOk;
  wchar_t shortPath[MAX_PATH] = {};
  DWORD n = GetShortPathNameW(wide.c_str(), shortPath, MAX_PATH);
  if (n == 0) {
    DWORD error = GetLastError();
    bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return missing ? wbtrv::kStatusFileNotFound : wbtrv::kStatusInvalidFileName;
  }
  if (n >= MAX_PATH || !AnsiFromWide(std::wstring(shortPath, n), ansi)) return wbtrv::kStatusInvalidFileName;
  return wbtrv::kStatusOk;
}

}  // namespace

std::uint16_t Win32Btrieve::Call(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                                 std::uint32_t* dataLength, void* keyBuffer, std::uint8_t keyLength,
                                 std::int8_t keyNumber) {
  // The engine takes the path of an Open request as every Btrieve caller on
  // this machine passes it, in the system's ANSI code page; the programs
  // hold it in Windows-1250.
  std::string ansi;
  if (operation == wbtrv::kOpOpen && keyBuffer) {
    const auto* key = static_cast<const char*>(keyBuffer);
    std::size_t length = 0;
    while (length < kMaxKeyLength && key[length] != '\0') ++length;
    if (std::uint16_t status = AnsiPath(std::string_view(key, length), ansi)) return status;
    // A buffer as long as the request says, NUL-filled past the path.
    ansi.resize(std::max<std::size_t>(ansi.size() + 1, keyLength), '\0');
    keyBuffer = ansi.data();
  }
  // Only the low 16 bits of the result are the status: an engine need not
  // clear the rest of EAX.
  return static_cast<std::uint16_t>(
      BTRCALL(operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber));
}

}  // namespace qz::platform::win32
