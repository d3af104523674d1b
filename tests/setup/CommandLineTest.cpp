// QZSetup.exe's command line as the system hands it over.

#include <gtest/gtest.h>

#include <tuple>

#include "setup/CommandLine.h"

namespace qz::test {
namespace {

struct Case {
  const char* line;
  bool ok, silent, noOverwrite;
  const char* dir;  // nullptr: no /D=
};

// What follows /D= is the directory, to the end of the line as written:
// blanks, options and quotes included. Options in either case; /D= and
// /NOOVERWRITE are answers for an unattended run only (the wizard asks its
// own); what is not understood is refused, and /S after it seen all the same.
TEST(CommandLineTest, OptionsAndTheDirectoryToTheEndOfTheLine) {
  const Case cases[] = {
      {"\"D:\\Telepítő lemez\\QZSetup.exe\" /S /D=C:\\Program Files\\QZ Raktár", true, true, false,
       "C:\\Program Files\\QZ Raktár"},
      {"QZSetup.exe /s /D=C:\\QZ /NOOVERWRITE", true, true, false, "C:\\QZ /NOOVERWRITE"},
      {"QZSetup.exe /S /d=\"C:\\QZ\"", true, true, false, "\"C:\\QZ\""},
      {"QZSetup.exe", true, false, false, nullptr},
      {"\"C:\\a b\\QZSetup.exe\"   ", true, false, false, nullptr},
      {"QZSetup.exe\t/noOverwrite   /s", true, true, true, nullptr},
      {"QZSetup.exe /Q /S", false, true, false, nullptr},
      {"QZSetup.exe /SILENT", false, false, false, nullptr},
      {"QZSetup.exe /S /D=", false, true, false, ""},
      {"QZSetup.exe /D=C:\\QZ", false, false, false, "C:\\QZ"},
      {"QZSetup.exe /NOOVERWRITE", false, false, true, nullptr},
  };
  for (const Case& c : cases) {
    SetupCommandLine options;
    std::string problem;
    EXPECT_EQ(ParseSetupCommandLine(c.line, options, problem), c.ok) << c.line << ": " << problem;
    EXPECT_EQ(std::tuple(options.silent, options.noOverwrite, options.hasDir),
              std::tuple(c.silent, c.noOverwrite, c.dir != nullptr))
        << c.line;
    EXPECT_EQ(options.dir, c.dir ? c.dir : "") << c.line;
  }
  SetupCommandLine options;
  std::string problem;
  ParseSetupCommandLine("QZSetup.exe /Q /S", options, problem);
  EXPECT_EQ(SetupUsage(problem),
            "Hibás parancssor: ismeretlen kapcsoló: /Q\n\nHasználat: QZSetup.exe [/S [/NOOVERWRITE] [/D=könyvtár]]");
}

}  // namespace
}  // namespace qz::test
