// The application manifest each program carries, read back as the loader
// reads it: resource 1 of type RT_MANIFEST.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/ManifestOf.h"

namespace {

using qz::test::ManifestOf;

TEST(ManifestTest, BothProgramsAskForElevationAndDeclareTheSystemsTheyKnow) {
  for (const char* program : {"QZSetup.exe", "qzuninst.exe"}) {
    SCOPED_TRACE(program);
    std::string manifest = ManifestOf(std::string(QZ_PROGRAMS_DIR) + "/" + program);
    auto has = [&manifest](const std::string& part) {
      EXPECT_NE(manifest.find(part), std::string::npos) << part << "\nin\n" << manifest;
    };
    has("<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>");
    // Vista, 7, 8, 8.1, 10 and 11.
    for (const char* id : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                           "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                           "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) {
      has(std::string("<supportedOS Id=\"{") + id + "}\"/>");
    }
    has("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>");
    has("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">system</dpiAwareness>");
    has("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"");
    // One manifest, whole: the loader refuses a program whose manifest it
    // cannot read.
    EXPECT_EQ(manifest.rfind("</assembly>"), manifest.find_last_not_of("\r\n") - 10);
  }
}

}  // namespace
