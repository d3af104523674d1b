#pragma once
// Windows-1250: letter case as Windows compares names, and conversion to and
// from UTF-8 (for host file names and the terminal) and UTF-16 (for the
// system's wide calls: the programs' texts are Windows-1250 inside,
// whatever code page the system runs with).

#include <string>
#include <string_view>

namespace qz {

unsigned char UpperCp1250(unsigned char c);
// Compares byte by byte after upper-casing both sides; <0, 0 or >0.
int CompareNoCase(std::string_view a, std::string_view b);
inline bool EqualsNoCase(std::string_view a, std::string_view b) { return CompareNoCase(a, b) == 0; }
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

std::string Utf8FromCp1250(std::string_view text);
// False when the UTF-8 text is malformed or holds a character that
// Windows-1250 lacks: `out` then holds a '?' in place of each such
// character (and of each byte that begins no character), as
// Cp1250FromUtf16 does.
bool Cp1250FromUtf8(std::string_view text, std::string& out);

// Every Windows-1250 text has its UTF-16 form.
std::u16string Utf16FromCp1250(std::string_view text);
// False when the UTF-16 text holds a character that Windows-1250 lacks (or
// a lone surrogate): `out` then holds a visible '?' in its place, good for
// showing and for comparing (no path from outside may hold a '?'), never
// for acting on as if it were the text.
bool Cp1250FromUtf16(std::u16string_view text, std::string& out);
// The character Cp1250FromUtf16 puts in place of one it cannot carry.
inline constexpr char kUnconvertedCharacter = '?';

}  // namespace qz
