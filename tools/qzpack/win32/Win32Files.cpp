#include "tools/qzpack/win32/Win32Files.h"

#include "text/CodePage.h"

namespace qz::pack::win32 {

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

std::wstring WideFromCp1250(std::string_view text) {
  std::u16string utf16 = Utf16FromCp1250(text);
  return std::wstring(utf16.begin(), utf16.end());
}

bool Cp1250FromWide(std::wstring_view text, std::string& out) {
  return Cp1250FromUtf16(std::u16string(text.begin(), text.end()), out);
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
