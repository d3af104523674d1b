// The engine as QZSetup.exe calls it: the paths of the programs'
// Windows-1250 texts reach wbtrv32.dll in the system's ANSI code page, as
// every Btrieve caller passes them. ő, which code page 1252 lacks, goes by
// the file's short name there; é goes as it is in both.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/win32/WideText.h"
#include "tests/btrieve/EngineHarness.h"

namespace qz::test {
namespace {

using platform::win32::Narrow;
using platform::win32::Wide;

class Win32BtrieveTest : public ::testing::Test {
 protected:
  Win32BtrieveTest() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    scratch_ = std::wstring(temp) + L"qzbtr-names-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(scratch_.c_str(), nullptr);
  }
  ~Win32BtrieveTest() override {
    for (const std::wstring& file : made_) DeleteFileW(file.c_str());
    RemoveDirectoryW(scratch_.c_str());
  }
  // A Btrieve file made at build time, under a Windows-1250 name; returns
  // its path in Windows-1250.
  std::string Place(const std::string& name) {
    std::wstring target = scratch_ + L"\\" + Wide(name);
    EXPECT_TRUE(CopyFileW(Wide(std::string(QZ_MADE_DIR) + "\\CIKK.DAT").c_str(), target.c_str(), FALSE));
    made_.push_back(target);
    return PathOf(name);
  }
  std::string PathOf(const std::string& name) {
    std::string dir;
    Narrow(scratch_, dir);
    return dir + "\\" + name;
  }

  EngineHarness harness_;
  platform::BtrieveEngine& engine_ = harness_.engine();
  std::wstring scratch_;
  std::vector<std::wstring> made_;
  std::uint8_t block_[128] = {};
};

TEST_F(Win32BtrieveTest, NamesWithHungarianLettersOpenUnderAnyCodePage) {
  SCOPED_TRACE("ANSI code page " + std::to_string(GetACP()));
  for (const char* name : {"ÉRTÉK.DAT", "ŐRZŐ.DAT", "Őrzőűrlapadatai.DAT"}) {
    std::string path = Place(name);
    EXPECT_EQ(OpenFile(engine_, block_, path), 0) << name;
    EXPECT_EQ(StatFile(engine_, block_).status, 0) << name;
    EXPECT_EQ(CloseFile(engine_, block_), 0) << name;
  }
  // No file by that name, and none by a short name either: as any file the
  // engine cannot find.
  EXPECT_EQ(OpenFile(engine_, block_, PathOf("HIÁNYZÓ ŐRZŐ.DAT")), 12);
}

}  // namespace
}  // namespace qz::test
