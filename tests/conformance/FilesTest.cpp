// What the logic relies on from the file system, on both platforms.

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#endif

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/TestMachine.h"

namespace qz::test {
namespace {

using namespace platform;

// 2001-02-03 04:05:06 UTC, in Windows' units.
constexpr std::uint64_t kSomeTime = 126256467060000000;
constexpr std::uint32_t kNotNormal = kAttributeReadOnly | kAttributeHidden | kAttributeSystem;

// Bytes that differ from one position to the next, so that a chunk out of
// place shows.
std::string Bytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  return bytes;
}

class FilesTest : public ::testing::Test {
 protected:
  std::unique_ptr<TestMachine> machine_ = TestMachine::Create();
  FileSystem& files_ = machine_->platform().files;
  std::string Path(const std::string& name) { return machine_->scratchDir() + "\\" + name; }

  // What a finished copy looks like: the source's bytes and time.
  ::testing::AssertionResult LooksLikeCopy(const std::string& source, const std::string& target) {
    std::string bytes = machine_->ReadFile(target);
    std::string original = machine_->ReadFile(source);
    if (bytes == "<missing>") return ::testing::AssertionFailure() << "no " << target;
    if (bytes.size() != original.size()) {
      return ::testing::AssertionFailure() << bytes.size() << " bytes, the source " << original.size();
    }
    if (bytes != original) return ::testing::AssertionFailure() << "other bytes than the source's";
    std::uint64_t time = machine_->LastWriteTime(target);
    if (time != machine_->LastWriteTime(source)) return ::testing::AssertionFailure() << "another time: " << time;
    return ::testing::AssertionSuccess() << "a whole copy with the source's time";
  }

  std::vector<std::string> List(const std::string& pattern) {
    std::vector<std::string> names;
    ErrorCode error;
    auto search = files_.FindFiles(pattern.c_str(), error);
    FindEntry entry;
    while (search && search->Next(entry)) names.push_back(std::string(entry.name.c_str()) + (entry.IsDirectory() ? "/" : ""));
    return names;
  }
};

TEST_F(FilesTest, MakeDirectoryMakesOneLevelAndReportsWhatWentWrong) {
  EXPECT_EQ(files_.MakeDirectory(Path("a").c_str()), kOk);
  EXPECT_EQ(files_.MakeDirectory(Path("a").c_str()), kErrorAlreadyExists);
  EXPECT_EQ(files_.MakeDirectory(Path("A").c_str()), kErrorAlreadyExists) << "names match without regard to case";
  EXPECT_EQ(files_.MakeDirectory(Path("missing\\b").c_str()), kErrorPathNotFound);
  EXPECT_EQ(files_.MakeDirectory(Path("a|b").c_str()), kErrorInvalidName);
  EXPECT_EQ(files_.MakeDirectory(""), kErrorPathNotFound);
  EXPECT_EQ(files_.MakeDirectory("C:\\"), kErrorAlreadyExists);
  machine_->WriteFile(Path("file"), "x");
  EXPECT_EQ(files_.MakeDirectory(Path("file").c_str()), kErrorAlreadyExists);
  EXPECT_EQ(files_.MakeDirectory(Path("file\\sub").c_str()), kErrorPathNotFound);
}

TEST_F(FilesTest, CopyWithAndWithoutOverwrite) {
  machine_->WriteFile(Path("src.txt"), "new");
  machine_->WriteFile(Path("dst.txt"), "old");
  EXPECT_EQ(files_.CopyFileTo(Path("src.txt").c_str(), Path("dst.txt").c_str(), true), kErrorFileExists);
  EXPECT_EQ(machine_->ReadFile(Path("dst.txt")), "old");
  EXPECT_EQ(files_.CopyFileTo(Path("SRC.TXT").c_str(), Path("dst.txt").c_str(), false), kOk);
  EXPECT_EQ(machine_->ReadFile(Path("dst.txt")), "new");
  EXPECT_EQ(files_.CopyFileTo(Path("none").c_str(), Path("x").c_str(), false), kErrorFileNotFound);
  EXPECT_EQ(files_.CopyFileTo(Path("src.txt").c_str(), Path("nodir\\x").c_str(), false), kErrorPathNotFound);
  ASSERT_EQ(files_.MakeDirectory(Path("dir").c_str()), kOk);
  EXPECT_EQ(files_.CopyFileTo(Path("dir").c_str(), Path("y").c_str(), false), kErrorAccessDenied);
  EXPECT_EQ(files_.CopyFileTo(Path("src.txt").c_str(), Path("dir").c_str(), false), kErrorAccessDenied);
  machine_->WriteFile(Path("empty"), "");
  EXPECT_EQ(files_.CopyFileTo(Path("empty").c_str(), Path("empty copy").c_str(), true), kOk);
  EXPECT_EQ(machine_->ReadFile(Path("empty copy")), "");
}

TEST_F(FilesTest, CopyCarriesTheTimeAndTheAttributes) {
  machine_->WriteFile(Path("src"), Bytes(100000));
  machine_->SetLastWriteTime(Path("src"), kSomeTime);
  ASSERT_EQ(files_.SetAttributes(Path("src").c_str(), kAttributeReadOnly | kAttributeHidden), kOk);
  std::uint32_t copied = 0;
  ASSERT_EQ(files_.CopyFileTo(Path("src").c_str(), Path("dst").c_str(), false, &copied), kOk);
  EXPECT_TRUE(LooksLikeCopy(Path("src"), Path("dst")));
  EXPECT_EQ(machine_->LastWriteTime(Path("dst")), kSomeTime);
  std::uint32_t attributes = 0;
  ASSERT_EQ(files_.GetAttributes(Path("dst").c_str(), attributes), kOk);
  EXPECT_EQ(attributes & kNotNormal, kAttributeReadOnly | kAttributeHidden);
  EXPECT_EQ(copied & kNotNormal, kAttributeReadOnly | kAttributeHidden) << "what the copy says it carried";
}

// A read that comes back short is no end of the file: the copy reads on
// until a read returns nothing. A source that gives out before its size
// fails the copy with 38, and no target is left, neither a new one nor the
// one it replaced.
TEST_F(FilesTest, CopyReadsOnPastShortReadsAndFailsWhereTheSourceEndsEarly) {
  machine_->WriteFile(Path("src"), Bytes(150000));
  machine_->SetLastWriteTime(Path("src"), kSomeTime);
  machine_->ShapeCopyReads({1000, 1});
  ASSERT_EQ(files_.CopyFileTo(Path("src").c_str(), Path("dst").c_str(), false), kOk);
  EXPECT_TRUE(LooksLikeCopy(Path("src"), Path("dst")));
  machine_->ShapeCopyReads({1000, 0});
  EXPECT_EQ(files_.CopyFileTo(Path("src").c_str(), Path("new").c_str(), true), kErrorHandleEof);
  EXPECT_EQ(machine_->ReadFile(Path("new")), "<missing>");
  machine_->ShapeCopyReads({0});
  EXPECT_EQ(files_.CopyFileTo(Path("src").c_str(), Path("dst").c_str(), false), kErrorHandleEof);
  EXPECT_EQ(machine_->ReadFile(Path("dst")), "<missing>");
  // The reads are whole again afterwards.
  EXPECT_EQ(files_.CopyFileTo(Path("src").c_str(), Path("new").c_str(), true), kOk);
  EXPECT_TRUE(LooksLikeCopy(Path("src"), Path("new")));
}

// Windows refuses to replace a read-only or a hidden file (5), and so does
// the simulated machine. Wine replaces a hidden one, as it does not look at
// the attribute, and a read-only one when the host lets it write there: it
// keeps the attribute in the file's write bits, which do not stop root.
TEST_F(FilesTest, CopyOverAReadOnlyOrHiddenTarget) {
  machine_->WriteFile(Path("src"), "new");
  machine_->SetLastWriteTime(Path("src"), kSomeTime);
  struct Case {
    std::uint32_t attribute;
    bool wineReplaces;
  };
  for (Case c : {Case{kAttributeReadOnly, machine_->HostUserIsRoot()}, Case{kAttributeHidden, true}}) {
    SCOPED_TRACE(c.attribute);
    machine_->WriteFile(Path("dst"), "old");
    ASSERT_EQ(files_.SetAttributes(Path("dst").c_str(), c.attribute), kOk);
    bool replaced = machine_->IsWine() && c.wineReplaces;
    EXPECT_EQ(files_.CopyFileTo(Path("src").c_str(), Path("dst").c_str(), false), replaced ? kOk : kErrorAccessDenied);
    if (replaced) {
      EXPECT_TRUE(LooksLikeCopy(Path("src"), Path("dst")));
    } else {
      EXPECT_EQ(machine_->ReadFile(Path("dst")), "old");
    }
    ASSERT_EQ(files_.SetAttributes(Path("dst").c_str(), kAttributeNormal), kOk);
  }
}

TEST_F(FilesTest, CopyFailsWhileAnotherProgramHasTheTargetOrWritesTheSource) {
  machine_->WriteFile(Path("src"), "new");
  machine_->WriteFile(Path("dst"), "old");
  ErrorCode error;
  {
    // A reader that lets others read and write: the copy wants the target
    // to itself.
    auto reader = files_.OpenForReading(Path("dst").c_str(), kShareReadWrite, error);
    ASSERT_TRUE(reader);
    EXPECT_EQ(files_.CopyFileTo(Path("src").c_str(), Path("dst").c_str(), false), kErrorSharingViolation);
  }
  EXPECT_EQ(machine_->ReadFile(Path("dst")), "old");
  {
    auto writer = files_.OpenForAppending(Path("src").c_str(), kShareReadWrite, error);
    ASSERT_TRUE(writer);
    EXPECT_EQ(files_.CopyFileTo(Path("src").c_str(), Path("copy").c_str(), false), kErrorSharingViolation);
  }
  EXPECT_EQ(machine_->ReadFile(Path("copy")), "<missing>");
}

TEST_F(FilesTest, DeleteAndRemoveReportTheirCodesAndSpareAReadOnlyFile) {
  machine_->WriteFile(Path("ro.txt"), "x");
  std::uint32_t attributes = 0;
  ASSERT_EQ(files_.GetAttributes(Path("ro.txt").c_str(), attributes), kOk);
  EXPECT_EQ(attributes, kAttributeArchive);
  ASSERT_EQ(files_.SetAttributes(Path("ro.txt").c_str(), kAttributeReadOnly), kOk);
  ASSERT_EQ(files_.GetAttributes(Path("ro.txt").c_str(), attributes), kOk);
  EXPECT_EQ(attributes, kAttributeArchive | kAttributeReadOnly);
  EXPECT_EQ(files_.RemoveFile(Path("ro.txt").c_str()), kErrorAccessDenied);
  ASSERT_EQ(files_.SetAttributes(Path("ro.txt").c_str(), kAttributeNormal), kOk);
  EXPECT_EQ(files_.RemoveFile(Path("ro.txt").c_str()), kOk);
  EXPECT_EQ(files_.RemoveFile(Path("ro.txt").c_str()), kErrorFileNotFound);
  EXPECT_EQ(files_.RemoveFile(Path("nodir\\none").c_str()), kErrorPathNotFound);
  ASSERT_EQ(files_.MakeDirectory(Path("d").c_str()), kOk);
  EXPECT_EQ(files_.RemoveFile(Path("d").c_str()), kErrorAccessDenied);
  machine_->WriteFile(Path("d\\f"), "x");
  EXPECT_EQ(files_.RemoveDir(Path("d").c_str()), kErrorDirNotEmpty);
  EXPECT_EQ(files_.RemoveDir(Path("d\\f").c_str()), kErrorDirectory);
  EXPECT_EQ(files_.RemoveDir(Path("none").c_str()), kErrorFileNotFound);
  ASSERT_EQ(files_.RemoveFile(Path("D\\F").c_str()), kOk);
  EXPECT_EQ(files_.RemoveDir(Path("d").c_str()), kOk);
}

TEST_F(FilesTest, SearchListsDotsFirstThenNamesInUpperCaseOrder) {
  for (const char* name : {"b.txt", "A.txt", "alpha.DAT", "x.data", "_u", "1"}) machine_->WriteFile(Path(name), "");
  ASSERT_EQ(files_.MakeDirectory(Path("c").c_str()), kOk);
  ASSERT_EQ(files_.MakeDirectory(Path("Zeta").c_str()), kOk);
  EXPECT_EQ(List(Path("*.*")),
            (std::vector<std::string>{"./", "../", "1", "A.txt", "alpha.DAT", "b.txt", "c/", "x.data", "Zeta/", "_u"}));
  // "x.data" matches by its short name X~1.DAT, as on Windows.
  EXPECT_EQ(List(Path("*.DAT")), (std::vector<std::string>{"alpha.DAT", "x.data"}));
  EXPECT_EQ(List(Path("*.dat")), (std::vector<std::string>{"alpha.DAT", "x.data"}));
  ErrorCode error = kOk;
  EXPECT_EQ(files_.FindFiles(Path("nodir\\*.*").c_str(), error), nullptr);
  EXPECT_EQ(error, kErrorPathNotFound);
  EXPECT_EQ(files_.FindFiles(Path("*.zzz").c_str(), error), nullptr);
  EXPECT_EQ(error, kErrorFileNotFound);
}

// Windows-1250 names come and go as written whatever the system's code
// page: ő and ű, which code page 1252 lacks. A name with letters
// Windows-1250 lacks is listed with a '?' for each, names nothing the
// programs can act on, and a path that leads into it has no final path
// they can hold.
TEST_F(FilesTest, HungarianNamesAsWrittenAndForeignOnesMarked) {
  ASSERT_EQ(files_.MakeDirectory(Path("Őrző").c_str()), kOk);
  machine_->WriteFile(Path("Őrző\\űrlap.txt"), "ű");
  EXPECT_EQ(files_.CopyFileTo(Path("őrző\\ŰRLAP.TXT").c_str(), Path("Őrző\\Másolat ő.txt").c_str(), true), kOk);
  EXPECT_EQ(machine_->ReadFile(Path("ŐRZŐ\\másolat Ő.TXT")), "ű");
  EXPECT_EQ(List(Path("Őrző\\*")), (std::vector<std::string>{"./", "../", "Másolat ő.txt", "űrlap.txt"}));
  PathText finalPath;
  ASSERT_EQ(files_.FinalPath(Path("őrző\\ŰRLAP.TXT").c_str(), finalPath), kOk);
  EXPECT_EQ(finalPath, Path("Őrző\\űrlap.txt"));
  EXPECT_EQ(files_.RemoveFile(Path("Őrző\\űrlap.txt").c_str()), kOk);

  std::string foreign = machine_->MakeForeignDirectory(machine_->scratchDir(), Path("link"));
  EXPECT_EQ(foreign, Path(TestMachine::kForeignShown));
  std::vector<std::string> names = List(Path("*"));
  EXPECT_NE(std::find(names.begin(), names.end(), std::string(TestMachine::kForeignShown) + "/"), names.end());
  EXPECT_EQ(files_.RemoveDir(foreign.c_str()), kErrorInvalidName) << "a '?' is no letter of a name";
  EXPECT_EQ(files_.FinalPath(Path("link").c_str(), finalPath), kErrorNoUnicodeTranslation);
  EXPECT_EQ(finalPath, foreign) << "shown with its '?'";
}

TEST_F(FilesTest, ShareModesOfOpenFiles) {
  ErrorCode error;
  // A log is opened so that others may write but not read it.
  auto log = files_.OpenForAppending(Path("log.txt").c_str(), kShareWrite, error);
  ASSERT_TRUE(log);
  EXPECT_FALSE(files_.OpenForReading(Path("log.txt").c_str(), kShareReadWrite, error));
  EXPECT_EQ(error, kErrorSharingViolation);
  EXPECT_TRUE(files_.OpenForAppending(Path("log.txt").c_str(), kShareWrite, error));
  log.reset();
  EXPECT_FALSE(files_.OpenForAppending(Path("nodir\\x.txt").c_str(), kShareWrite, error));
  EXPECT_EQ(error, kErrorPathNotFound);
  // A script read with others allowed to read only: a writer is refused.
  machine_->WriteFile(Path("s.ini"), "x");
  auto reader = files_.OpenForReading(Path("s.ini").c_str(), kShareRead, error);
  ASSERT_TRUE(reader);
  EXPECT_TRUE(files_.OpenForReading(Path("s.ini").c_str(), kShareRead, error));
  EXPECT_FALSE(files_.OpenForAppending(Path("s.ini").c_str(), kShareReadWrite, error));
  EXPECT_EQ(error, kErrorSharingViolation);
}

// The system's text for "access denied", in the system's language: the
// simulated machine's is Hungarian, as Wine's under a Hungarian locale; a
// system of code page 1252 is English (LC_ALL=C.UTF-8) and says it so.
const char* AccessDeniedText() {
#if defined(_WIN32)
  if (PRIMARYLANGID(GetUserDefaultUILanguage()) != LANG_HUNGARIAN) return "Access denied.\r\n";
#endif
  return "Hozzáférés megtagadva.\r\n";
}

TEST_F(FilesTest, SystemMessageTexts) {
  FixedText<512> text;
  files_.ErrorMessage(kErrorAccessDenied, text);
  EXPECT_EQ(text, AccessDeniedText());
  files_.ErrorMessage(9999, text);
  EXPECT_EQ(text, "") << "a code without a text gives an empty message";
}

}  // namespace
}  // namespace qz::test
