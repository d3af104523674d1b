// QZSetup.exe's command line as the system hands it over.

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "setup/CommandLine.h"
#include "text/CodePage.h"

namespace qz::test {
namespace {

struct Case {
  const char16_t* line;
  bool ok, silent, noOverwrite;
  const char* dir;  // nullptr: no /D=
};

// What follows /D= is the directory, to the end of the line as written:
// blanks, options and quotes included. Options in either case; /D= and
// /NOOVERWRITE are answers for an unattended run only (the wizard asks its
// own); what is not understood is refused, and /S after it seen all the same.
TEST(CommandLineTest, OptionsAndTheDirectoryToTheEndOfTheLine) {
  const Case cases[] = {
      {u"\"D:\\Telepítő lemez\\QZSetup.exe\" /S /D=C:\\Program Files\\QZ Raktár", true, true, false,
       "C:\\Program Files\\QZ Raktár"},
      {u"QZSetup.exe /s /D=C:\\QZ /NOOVERWRITE", true, true, false, "C:\\QZ /NOOVERWRITE"},
      {u"QZSetup.exe /S /d=\"C:\\QZ\"", true, true, false, "\"C:\\QZ\""},
      {u"QZSetup.exe", true, false, false, nullptr},
      {u"\"C:\\a b\\QZSetup.exe\"   ", true, false, false, nullptr},
      {u"QZSetup.exe\t/noOverwrite   /s", true, true, true, nullptr},
      {u"QZSetup.exe /Q /S", false, true, false, nullptr},
      {u"QZSetup.exe /SILENT", false, false, false, nullptr},
      {u"QZSetup.exe /S /D=", false, true, false, ""},
      {u"QZSetup.exe /D=C:\\QZ", false, false, false, "C:\\QZ"},
      {u"QZSetup.exe /NOOVERWRITE", false, false, true, nullptr},
      // Letters of any code page, in the program's path and the directory.
      {u"\"C:\\Пример\\QZSetup.exe\" /S /D=C:\\Őrző űrlap", true, true, false, "C:\\Őrző űrlap"},
  };
  for (const Case& c : cases) {
    SetupCommandLine options;
    std::string problem;
    std::string line;
    Cp1250FromUtf16(c.line, line);
    std::string shown = Utf8FromCp1250(line);
    EXPECT_EQ(ParseSetupCommandLine(c.line, options, problem), c.ok) << shown << ": " << problem;
    EXPECT_EQ(std::tuple(options.silent, options.noOverwrite, options.hasDir, options.dirConvertible),
              std::tuple(c.silent, c.noOverwrite, c.dir != nullptr, true))
        << shown;
    EXPECT_EQ(options.dir, c.dir ? c.dir : "") << shown;
  }
  SetupCommandLine options;
  std::string problem;
  ParseSetupCommandLine(u"QZSetup.exe /Q /S", options, problem);
  EXPECT_EQ(SetupUsage(problem),
            "Hibás parancssor: ismeretlen kapcsoló: /Q\n\nHasználat: QZSetup.exe [/S [/NOOVERWRITE] [/D=könyvtár]]");
}

// A directory with letters Windows-1250 lacks is taken, marked, with a '?'
// for each (the directory page refuses it); a word only shown in the usage
// message shows them so too.
TEST(CommandLineTest, LettersWindows1250LacksAreMarkedNeverReplacedByLookAlikes) {
  // (Texts outside Windows-1250 stay out of the test macros, which quote
  // their arguments in narrow literals.)
  const std::u16string greek = u"QZSetup.exe /S /D=C:\\Αθήνα\\Könyvelő õ";
  const std::u16string cyrillic = u"QZSetup.exe /Ж /S";
  SetupCommandLine options;
  std::string problem;
  ASSERT_TRUE(ParseSetupCommandLine(greek, options, problem));
  EXPECT_TRUE(options.hasDir);
  EXPECT_FALSE(options.dirConvertible);
  EXPECT_EQ(options.dir, "C:\\?????\\Könyvelő ?") << "the o with tilde of 1252 is no letter of 1250";

  EXPECT_FALSE(ParseSetupCommandLine(cyrillic, options, problem));
  EXPECT_TRUE(options.silent);
  EXPECT_EQ(problem, "ismeretlen kapcsoló: /?");
}

}  // namespace
}  // namespace qz::test
