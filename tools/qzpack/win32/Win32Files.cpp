#include "tools/qzpack/win32/Win32Files.h"


namespace qz::pack::win32 {
namespace {

constexpr UINT kCodePage1250 = 1250;

std::wstring Wide(UINT codePage, std::string_view text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

bool TransferAt(HANDLE file, std::uint64_t offset, void* buffer, std::size_t size, bool write) {
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (size > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD part = static_cast<DWORD>(size > (1u << 30) ? 1u << 30 : size);
    DWORD done = 0;
    const BOOL ok = write ? WriteFile(file, bytes, part, &done, &at) : ReadFile(file, bytes, part, &done, &at);
    if (!ok || done == 0) return false;
    bytes += done;
    offset += done;
    size -= done;
  }
  return true;
}

namespace {

class Win32File : public ByteSource {
 public:
  Win32File(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}
  ~Win32File() override { CloseHandle(file_); }
  Win32File(const Win32File&) = delete;
  Win32File& operator=(const Win32File&) = delete;

  std::uint64_t Size() override { return size_; }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    return offset <= size_ && size <= size_ - offset && TransferAt(file_, offset, buffer, size, false);
  }

 private:
  HANDLE file_;
  std::uint64_t size_;
};

}  // namespace

std::wstring WideFromUtf8(std::string_view text) { return Wide(CP_UTF8, text); }
std::wstring WideFromCp1250(std::string_view text) { return Wide(kCodePage1250, text); }

std::string Utf8FromWide(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), length, nullptr, nullptr);
  return out;
}

bool Cp1250FromWide(std::wstring_view text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  const int size = static_cast<int>(text.size());
  BOOL lossy = FALSE;
  const int length =
      WideCharToMultiByte(kCodePage1250, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, nullptr, &lossy);
  if (length <= 0 || lossy) return false;
  out.resize(static_cast<std::size_t>(length));
  WideCharToMultiByte(kCodePage1250, WC_NO_BEST_FIT_CHARS, text.data(), size, out.data(), length, nullptr, &lossy);
  return !lossy;
}

std::uint64_t Ticks(const FILETIME& time) {
  return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

FILETIME FileTimeOf(std::uint64_t ticks) {
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(ticks);
  time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return time;
}

std::unique_ptr<ByteSource> OpenForReading(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size)) {
    const DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    return nullptr;
  }
  return std::make_unique<Win32File>(file, static_cast<std::uint64_t>(size.QuadPart));
}

}  // namespace qz::pack::win32
