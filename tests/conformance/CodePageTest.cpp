// Windows-1250 and UTF-16, as the programs hand their texts to the system's
// wide calls: every byte means what Windows' own table says (checked
// against MultiByteToWideChar under Wine), and a character the code page
// lacks is never carried as another letter.

#include <gtest/gtest.h>

#include <string>

#include "text/CodePage.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace qz::test {
namespace {

TEST(CodePageTest, EveryByteRoundTripsAsWindowsMapsIt) {
  for (int value = 1; value < 256; ++value) {
    std::string byte(1, static_cast<char>(value));
    std::u16string wide = Utf16FromCp1250(byte);
    ASSERT_EQ(wide.size(), 1u) << value;
    std::string back;
    EXPECT_TRUE(Cp1250FromUtf16(wide, back)) << value;
    EXPECT_EQ(back, byte) << value;
#if defined(_WIN32)
    wchar_t system = 0;
    ASSERT_EQ(MultiByteToWideChar(1250, 0, byte.data(), 1, &system, 1), 1) << value;
    EXPECT_EQ(static_cast<char16_t>(system), wide[0]) << "byte " << value;
#endif
  }
  EXPECT_EQ(Utf16FromCp1250("Őrző űrlap"), u"Őrző űrlap");
}

TEST(CodePageTest, CharactersTheCodePageLacksBecomeAVisibleStandIn) {
  struct Case {
    std::u16string wide;
    const char* shown;
  };
  const Case cases[] = {
      {u"C:\\Αθήνα", "C:\\?????"},          // Greek
      {u"Иван", "????"},                    // Cyrillic
      {u"õ~ő", "?~\xF5"},                   // õ is 1252's, ő is 1250's
      {u"a\U0001F600b", "a?b"},             // beyond the first plane: one stand-in
      {std::u16string(u"x") + char16_t(0xD800) + u"y", "x?y"},  // a lone surrogate
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_FALSE(Cp1250FromUtf16(c.wide, out)) << c.shown;
    EXPECT_EQ(out, c.shown);
  }
}

// The native programs' arguments and the host's file names come in UTF-8:
// the same stand-in, one for a character the code page lacks and one for
// each byte that begins none.
TEST(CodePageTest, Utf8ThatWindows1250CannotCarryShowsTheStandInToo) {
  struct Case {
    const char* utf8;
    const char* shown;
    bool whole;
  };
  const Case cases[] = {
      {"\xC5\x90rz\xC5\x91", "Őrző", true},
      {"C:\\\xD0\x9F\xD1\x80\xD0\xB8", "C:\\???", false},  // Cyrillic
      {"a\xF0\x9F\x98\x80" "b", "a?b", false},                   // beyond the first plane
      {"a\xC3", "a?", false},                                      // cut short
      {"\x80x\xC3(", "?x?(", false},                               // no lead byte, no follower
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(Cp1250FromUtf8(c.utf8, out), c.whole) << c.shown;
    EXPECT_EQ(out, c.shown);
  }
}

}  // namespace
}  // namespace qz::test
