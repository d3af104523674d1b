// The simulated machine keeps directory listings for names that differ in
// case; whatever changes on the host must show at once.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/sim/SimMachine.h"
#include "tests/support/TempDir.h"

namespace qz::test {
namespace {

namespace fs = std::filesystem;

class SimPathsCacheTest : public ::testing::Test {
 protected:
  SimPathsCacheTest() { files_.MakeDirectory("C:\\D"); }
  bool Exists(const std::string& path) {
    std::uint32_t attributes = 0;
    return files_.GetAttributes(path.c_str(), attributes) == platform::kOk;
  }
  fs::path Host(const char* path) { return machine_.HostPath(path); }

  TempDir temp_;
  platform::sim::SimMachine machine_{temp_.path() / "machine", temp_.path()};
  platform::sim::SimFileSystem& files_ = machine_.files();
};

TEST_F(SimPathsCacheTest, HostChangesInAListedDirectoryShowAtOnce) {
  EXPECT_FALSE(Exists("C:\\D\\new.txt"));  // a missing name lists the directory
  std::ofstream(Host("C:\\D") / "New.TXT") << "x";
  EXPECT_EQ(Host("C:\\D\\NEW.txt").filename(), "New.TXT");
  fs::rename(Host("C:\\D") / "New.TXT", Host("C:\\D") / "Other.txt");
  EXPECT_FALSE(Exists("C:\\D\\new.txt"));
  EXPECT_TRUE(Exists("C:\\D\\OTHER.TXT"));
  fs::remove(Host("C:\\D") / "Other.txt");
  EXPECT_FALSE(Exists("C:\\D\\other.txt"));
  std::ofstream(Host("C:\\D") / "a.txt") << "lower";
  std::ofstream(Host("C:\\D") / "A.TXT") << "upper";
  EXPECT_EQ(Host("C:\\D\\A.TXT").filename(), "A.TXT") << "the exact name first";
}

TEST_F(SimPathsCacheTest, AListedDirectoryThatMovesOrGoesIsForgotten) {
  ASSERT_EQ(files_.MakeDirectory("C:\\D\\SUB"), platform::kOk);
  EXPECT_FALSE(Exists("C:\\D\\SUB\\x.txt"));
  fs::rename(Host("C:\\D\\SUB"), Host("C:\\D") / "MOVED");
  EXPECT_EQ(files_.MakeDirectory("C:\\D\\SUB\\y"), platform::kErrorPathNotFound);
  fs::create_directories(Host("C:\\D") / "SUB");
  std::ofstream(Host("C:\\D\\SUB") / "X.TXT") << "x";
  EXPECT_TRUE(Exists("C:\\D\\SUB\\x.txt"));
  // The directory above a listed one moves away, and the listed one goes.
  EXPECT_FALSE(Exists("C:\\D\\SUB\\z.txt"));
  fs::rename(Host("C:\\D"), Host("C:\\") / "E");
  EXPECT_EQ(files_.MakeDirectory("C:\\D\\SUB\\w"), platform::kErrorPathNotFound);
  EXPECT_TRUE(Exists("C:\\e\\sub\\X.TXT"));
  fs::remove_all(Host("C:\\E\\SUB"));
  EXPECT_EQ(files_.MakeDirectory("C:\\E\\SUB\\v"), platform::kErrorPathNotFound);

  // More directories than are listed at a time, visited twice over.
  for (int round = 0; round < 2; ++round) {
    for (int d = 0; d < 40; ++d) {
      std::string dir = "C:\\E\\DIR" + std::to_string(d), name = "\\FILE" + std::to_string(round) + ".TXT";
      files_.MakeDirectory(dir.c_str());
      EXPECT_FALSE(Exists(dir + name)) << dir + name;
      std::ofstream(machine_.HostPath(dir.c_str()).string() + "/file" + std::to_string(round) + ".txt") << "x";
      EXPECT_TRUE(Exists(dir + name)) << dir + name;
    }
  }
}

}  // namespace
}  // namespace qz::test
