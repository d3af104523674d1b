// The copies of the programs for the runs under code page 65001
// (bin/acp-utf8): their manifest is the programs' own with the active code
// page UTF-8 added, and a program with that manifest runs with code page
// 65001, whatever code page the locale gives. This test program carries the
// same manifest and runs under the locale of code page 1250.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/ManifestOf.h"

namespace {

constexpr char kDpiAwarenessLine[] =
    "      <dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">system</dpiAwareness>\n";
constexpr char kActiveCodePageLine[] =
    "      <activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8</activeCodePage>\n";

using qz::test::ManifestOf;

TEST(AcpUtf8Test, TheCopiesCarryTheProgramsManifestWithCodePageUtf8) {
  for (const char* program : {"QZSetup.exe", "qzuninst.exe"}) {
    SCOPED_TRACE(program);
    std::string manifest = ManifestOf(std::string(QZ_PROGRAMS_DIR) + "/" + program);
    std::string copy = ManifestOf(std::string(QZ_PROGRAMS_DIR) + "/acp-utf8/" + program);
    std::size_t at = manifest.find(kDpiAwarenessLine);
    ASSERT_NE(at, std::string::npos) << manifest;
    std::string expected = manifest;
    expected.insert(at + sizeof kDpiAwarenessLine - 1, kActiveCodePageLine);
    EXPECT_EQ(copy, expected);
  }
}

TEST(AcpUtf8Test, AProgramWithTheCopiesManifestRunsWithCodePage65001) {
  EXPECT_EQ(ManifestOf(nullptr), ManifestOf(std::string(QZ_PROGRAMS_DIR) + "/acp-utf8/QZSetup.exe"));
  EXPECT_EQ(GetACP(), 65001u);
  // The A functions' code page: "ő" comes out as its two UTF-8 bytes.
  char bytes[8] = {};
  int length = WideCharToMultiByte(CP_ACP, 0, L"\u0151", 1, bytes, sizeof bytes, nullptr, nullptr);
  EXPECT_EQ(std::string(bytes, static_cast<std::size_t>(length > 0 ? length : 0)), "\xC5\x91");
}

}  // namespace
