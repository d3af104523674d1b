// Shell links on both platforms: what the shortcut step relies on.

#include <gtest/gtest.h>

#include <string>

#include "common/CodePage.h"
#include "tests/support/TestMachine.h"

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>
#endif

namespace qz::test {
namespace {

using namespace platform;

constexpr HResult kPathNotFound = static_cast<HResult>(0x80070003);
constexpr HResult kAccessDenied = static_cast<HResult>(0x80070005);

class ShellLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Succeeded(shell_.Initialize())); }
  void TearDown() override { shell_.Uninitialize(); }

  std::string Path(const std::string& name) { return machine_->scratchDir() + "\\" + name; }

  // A link to a file of the scratch directory, saved at `linkPath`.
  HResult MakeLink(const std::string& linkPath, const std::string& target, const char* arguments,
                   const char* description) {
    HResult result = 0;
    std::unique_ptr<ShellLink> link = shell_.CreateLink(result);
    if (!link) return result;
    result = shell_.QueryPersistFile(*link);
    if (!Succeeded(result)) return result;
    EXPECT_TRUE(Succeeded(link->SetPath(target.c_str())));
    EXPECT_TRUE(Succeeded(link->SetArguments(arguments)));
    EXPECT_TRUE(Succeeded(link->SetWorkingDirectory(machine_->scratchDir().c_str())));
    EXPECT_TRUE(Succeeded(link->SetDescription(description)));
    return link->Save(linkPath.c_str());
  }

  std::unique_ptr<TestMachine> machine_ = TestMachine::Create();
  Shell& shell_ = machine_->platform().shell;
  FileSystem& files_ = machine_->platform().files;
};

TEST_F(ShellLinkTest, SavesALinkFileInTheShellLinkFormat) {
  machine_->WriteFile(Path("PROG.EXE"), "MZ");
  std::string linkPath = Path("Program.lnk");
  HResult result = MakeLink(linkPath, Path("PROG.EXE"), "\"Az én programom\"", "Program");
  ASSERT_TRUE(Succeeded(result)) << std::hex << result;

  std::uint32_t attributes = 0;
  ASSERT_EQ(files_.GetAttributes(linkPath.c_str(), attributes), kOk);
  EXPECT_FALSE(attributes & kAttributeDirectory);
  // The header size and the shell-link class id open every link file.
  std::string bytes = machine_->ReadFile(linkPath);
  ASSERT_GE(bytes.size(), 76u);
  const std::string header("\x4c\0\0\0\x01\x14\x02\0\0\0\0\0\xc0\0\0\0\0\0\0\x46", 20);
  EXPECT_EQ(bytes.substr(0, 20), header);

#ifdef _WIN32
  // Read back through the shell itself.
  IShellLinkA* link = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                             reinterpret_cast<void**>(&link)),
            S_OK);
  IPersistFile* persist = nullptr;
  ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)), S_OK);
  WCHAR wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
  EXPECT_EQ(persist->Load(wide, STGM_READ), S_OK);
  char text[INFOTIPSIZE];
  EXPECT_EQ(link->GetPath(text, MAX_PATH, nullptr, 0), S_OK);
  EXPECT_TRUE(EqualsNoCase(text, Path("PROG.EXE"))) << text;
  EXPECT_EQ(link->GetArguments(text, sizeof text), S_OK);
  EXPECT_STREQ(text, "\"Az én programom\"");
  EXPECT_EQ(link->GetWorkingDirectory(text, MAX_PATH), S_OK);
  EXPECT_TRUE(EqualsNoCase(text, machine_->scratchDir())) << text;
  EXPECT_EQ(link->GetDescription(text, sizeof text), S_OK);
  EXPECT_STREQ(text, "Program");
  persist->Release();
  link->Release();
#endif
}

TEST_F(ShellLinkTest, SavingAgainReplacesTheLink) {
  machine_->WriteFile(Path("A.EXE"), "MZ");
  machine_->WriteFile(Path("B.EXE"), "MZ");
  ASSERT_TRUE(Succeeded(MakeLink(Path("x.lnk"), Path("A.EXE"), "", "first")));
  std::string first = machine_->ReadFile(Path("x.lnk"));
  ASSERT_TRUE(Succeeded(MakeLink(Path("X.LNK"), Path("B.EXE"), "", "second")));
  std::string second = machine_->ReadFile(Path("x.lnk"));
  EXPECT_NE(first, second);
  EXPECT_NE(second.find("B.EXE"), std::string::npos);
}

TEST_F(ShellLinkTest, SaveFailsWhereNoFileCanBeWritten) {
  machine_->WriteFile(Path("PROG.EXE"), "MZ");
  EXPECT_EQ(MakeLink(Path("missing\\x.lnk"), Path("PROG.EXE"), "", "x"), kPathNotFound);

  machine_->WriteFile(Path("ro.lnk"), "old");
  ASSERT_EQ(files_.SetAttributes(Path("ro.lnk").c_str(), kAttributeReadOnly), kOk);
  HResult result = MakeLink(Path("ro.lnk"), Path("PROG.EXE"), "", "x");
  if (machine_->IsWin32()) {
    // Wine saves over a read-only file, as its CopyFile copies over one;
    // Windows refuses, as the simulated machine does.
    EXPECT_TRUE(result == 0 || result == kAccessDenied) << std::hex << result;
  } else {
    EXPECT_EQ(result, kAccessDenied);
    EXPECT_EQ(machine_->ReadFile(Path("ro.lnk")), "old");
  }
  files_.SetAttributes(Path("ro.lnk").c_str(), kAttributeNormal);
}

TEST_F(ShellLinkTest, ALinkPathLongerThanMaxPathIsNotSavedShortened) {
  machine_->WriteFile(Path("PROG.EXE"), "MZ");
  std::string longPath = Path(std::string(300, 'x') + ".lnk");
  EXPECT_FALSE(Succeeded(MakeLink(longPath, Path("PROG.EXE"), "", "x")));
  // Nothing was saved under the first 259 characters of the name.
  std::string cut = longPath.substr(0, 259);
  std::uint32_t attributes = 0;
  EXPECT_NE(files_.GetAttributes(cut.c_str(), attributes), kOk);
}

}  // namespace
}  // namespace qz::test
