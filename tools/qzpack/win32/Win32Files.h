#pragma once
// Files through the wide Win32 calls, for the stub and qzpack.exe, and the
// conversions between the texts they meet: UTF-16 (the system), UTF-8 (the
// tools' arguments and output) and Windows-1250 (the payload's names).

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "tools/qzcheck/WideUtf8.h"
#include "tools/qzpack/Bytes.h"

namespace qz::pack::win32 {

using check::Utf8FromWide;
using check::WideFromUtf8;
// Windows-1250 converts the same on every system, whatever its ANSI code page.
std::wstring WideFromCp1250(std::string_view text);
// False for a character Windows-1250 lacks.
bool Cp1250FromWide(std::wstring_view text, std::string& out);

std::uint64_t Ticks(const FILETIME& time);
FILETIME FileTimeOf(std::uint64_t ticks);

// A file opened for reading, which others may read but not change while it
// is open. Null with GetLastError() when it cannot be opened.
std::unique_ptr<ByteSource> OpenForReading(const std::wstring& path);

// One read or write of `size` bytes at a 64-bit offset, in parts.
bool TransferAt(HANDLE file, std::uint64_t offset, void* buffer, std::size_t size, bool write);

}  // namespace qz::pack::win32
