#pragma once
// The pieces the lines of DBSTAT.QRT and DBCHANGE.QRT are made of: a
// keyword that begins the line, tokens (runs of non-blank characters after
// optional blanks) and unsigned decimal numbers after optional blanks.
// Blanks are the white space of the C runtime: space, tab, line ends,
// vertical tab and form feed.

#include <cstdint>
#include <string_view>

namespace qz::lineforms {

// The rest of the line when it begins with `keyword`.
bool AfterKeyword(std::string_view line, std::string_view keyword, std::string_view& rest);
// Takes a token off the front of `rest`; false when only blanks are left.
bool TakeToken(std::string_view& rest, std::string_view& token);
// Takes a number off the front of `rest`: at least one digit. A number too
// large for 32 bits keeps its low-order bits.
bool TakeNumber(std::string_view& rest, std::uint32_t& value);
// Takes `c` when it is the next character (no blanks skipped).
bool TakeChar(std::string_view& rest, char c);

}  // namespace qz::lineforms
