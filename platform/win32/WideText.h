#pragma once
// Texts across the system's wide ("W") calls. The programs hold their texts
// in Windows-1250 whatever code page the system runs with: every text they
// hand to the system is widened here, and every text the system hands back
// is narrowed here, strictly where the programs act on it or store it, and
// with a visible '?' where it is only read or shown.

#include <string>
#include <string_view>

#include "platform/Errors.h"
#include "text/Text.h"

namespace qz::platform::win32 {

// A Windows-1250 text as the wide calls take it (NUL-terminated by c_str()).
std::wstring Wide(std::string_view text);

// A text from the system as Windows-1250: true when it came over whole;
// otherwise `out` holds a '?' in place of each character Windows-1250 lacks.
bool Narrow(std::wstring_view text, std::string& out);

// A text the programs act on or store, into a fixed buffer: 0, or 1113
// (ERROR_NO_UNICODE_TRANSLATION) when it holds a character Windows-1250
// lacks, or 206 when it does not fit. On 1113 `out` still holds the text
// with '?' in place of what is missing, good for showing only; on 206 it is
// empty.
ErrorCode NarrowStrict(std::wstring_view text, TextBuffer& out);

// A text only read or shown: '?' in place of what Windows-1250 lacks, cut
// to the buffer.
void NarrowShown(std::wstring_view text, TextBuffer& out);

// The wide text up to its first NUL, within `capacity` characters.
std::wstring_view UpToNul(const wchar_t* text, std::size_t capacity);

}  // namespace qz::platform::win32
