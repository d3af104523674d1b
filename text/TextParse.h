#pragma once
// Small pieces for reading the system's text files.

#include <string_view>

namespace qz {

// Removes white space as the C runtime counts it (space, tab, CR, LF,
// vertical tab, form feed) from both ends.
std::string_view TrimWhiteSpace(std::string_view text);

// A line of a script or settings file as it is read: text ends at a NUL
// byte, and white space around it does not count.
std::string_view TextLine(std::string_view line);

// The value of a hexadecimal digit, or -1.
int HexDigit(char c);

}  // namespace qz
