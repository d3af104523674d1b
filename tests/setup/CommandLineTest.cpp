// QZSetup.exe's command line as the system hands it over.

#include <gtest/gtest.h>

#include "setup/CommandLine.h"

namespace qz::test {
namespace {

struct Parsed {
  bool ok;
  SetupCommandLine options;
  std::string problem;
};

Parsed Parse(const char* line) {
  Parsed parsed;
  parsed.ok = ParseSetupCommandLine(line, parsed.options, parsed.problem);
  return parsed;
}

TEST(CommandLineTest, TheDirectoryRunsToTheEndOfTheLineBlanksAndAll) {
  Parsed p = Parse("\"D:\\Telepítő lemez\\QZSetup.exe\" /S /D=C:\\Program Files\\QZ Raktár");
  ASSERT_TRUE(p.ok) << p.problem;
  EXPECT_TRUE(p.options.silent);
  EXPECT_FALSE(p.options.noOverwrite);
  EXPECT_TRUE(p.options.hasDir);
  EXPECT_EQ(p.options.dir, "C:\\Program Files\\QZ Raktár");

  // Taken as written: what follows /D= is the directory, options included,
  // and quotes are not removed.
  p = Parse("QZSetup.exe /s /D=C:\\QZ /NOOVERWRITE");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.options.dir, "C:\\QZ /NOOVERWRITE");
  EXPECT_FALSE(p.options.noOverwrite);
  p = Parse("QZSetup.exe /S /d=\"C:\\QZ\"");
  EXPECT_EQ(p.options.dir, "\"C:\\QZ\"");
}

TEST(CommandLineTest, OptionsInEitherCaseAndWithoutThemTheWizard) {
  Parsed p = Parse("QZSetup.exe");
  ASSERT_TRUE(p.ok);
  EXPECT_FALSE(p.options.silent);
  p = Parse("\"C:\\a b\\QZSetup.exe\"   ");
  ASSERT_TRUE(p.ok);
  EXPECT_FALSE(p.options.silent);
  p = Parse("QZSetup.exe\t/noOverwrite   /s");
  ASSERT_TRUE(p.ok);
  EXPECT_TRUE(p.options.silent);
  EXPECT_TRUE(p.options.noOverwrite);
  EXPECT_FALSE(p.options.hasDir);
}

TEST(CommandLineTest, WhatIsNotUnderstoodIsRefusedAndTellsWhetherItWasSilent) {
  Parsed p = Parse("QZSetup.exe /Q /S");
  EXPECT_FALSE(p.ok);
  EXPECT_TRUE(p.options.silent) << "/S after the unknown option is seen all the same";
  EXPECT_EQ(p.problem, "ismeretlen kapcsoló: /Q");
  p = Parse("QZSetup.exe /SILENT");
  EXPECT_FALSE(p.ok);
  EXPECT_FALSE(p.options.silent);
  p = Parse("QZSetup.exe /S /D=");
  EXPECT_FALSE(p.ok);
  EXPECT_TRUE(p.options.silent);
  // The answers are for an unattended run only: the wizard asks its own.
  EXPECT_FALSE(Parse("QZSetup.exe /D=C:\\QZ").ok);
  EXPECT_FALSE(Parse("QZSetup.exe /NOOVERWRITE").ok);
  EXPECT_EQ(SetupUsage("x"), "Hibás parancssor: x\n\nHasználat: QZSetup.exe [/S [/NOOVERWRITE] [/D=könyvtár]]");
}

}  // namespace
}  // namespace qz::test
