// wbtrv32.dll: the stand-in record manager for Windows. BTRCALL is exported
// by name and as ordinal 1 (wbtrv32.def); files are opened with Win32 calls,
// by paths in the system's ANSI code page, as a genuine engine takes them.

#include <windows.h>

#include "wbtrv/Engine.h"
#include "wbtrv/Status.h"

namespace qz::wbtrv {
namespace {

class Win32File : public EngineFile {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}
  ~Win32File() override { CloseHandle(handle_); }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size, std::size_t& got) override {
    got = 0;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(handle_, position, nullptr, FILE_BEGIN)) return false;
    auto* out = static_cast<char*>(buffer);
    while (got < size) {
      DWORD read = 0;
      if (!ReadFile(handle_, out + got, static_cast<DWORD>(size - got), &read, nullptr)) return false;
      if (read == 0) break;
      got += read;
    }
    return true;
  }

 private:
  HANDLE handle_;
};

class Win32FileOpener : public FileOpener {
 public:
  std::uint16_t Open(const char* path, bool exclusive, std::unique_ptr<EngineFile>& file) override {
    // Others may go on reading and writing a file opened in a shared mode;
    // an exclusive open shares nothing, and Windows refuses it while the
    // file is open elsewhere (sharing violation, status 85).
    DWORD share = exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    // An engine receives its callers' paths in the system's ANSI code page
    // and opens them so, whatever letters they hold: the ANSI call on purpose.
    HANDLE handle =
        CreateFileA(path, GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);  // ANSI path
    if (handle == INVALID_HANDLE_VALUE) return StatusFromWin32Error(GetLastError());
    file = std::make_unique<Win32File>(handle);
    return kStatusOk;
  }
};

Engine& TheEngine() {
  static Win32FileOpener opener;
  static Engine engine(opener);
  return engine;
}

}  // namespace
}  // namespace qz::wbtrv

// The entry point as wbtrv/Btrcall.h declares it, but defined with a 32-bit
// result: the stdcall frame is the same, and EAX then reaches the caller
// with its upper half clear, as callers of the 16-bit status may expect.
extern "C" std::int32_t __stdcall BTRCALL(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                                          std::uint32_t* dataLength, void* keyBuffer, std::uint8_t keyLength,
                                          std::int8_t keyNumber) {
  return qz::wbtrv::TheEngine().Call(operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength,
                                     keyNumber);
}
