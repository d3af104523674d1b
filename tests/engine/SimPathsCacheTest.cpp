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
using namespace platform;

class SimPathsCacheTest : public ::testing::Test {
 protected:
  SimPathsCacheTest() { files_.MakeDirectory("C:\\D"); }

  bool Exists(const char* path) {
    std::uint32_t attributes = 0;
    return files_.GetAttributes(path, attributes) == kOk;
  }
  fs::path Host(const char* path) { return machine_.HostPath(path); }

  TempDir temp_;
  sim::SimMachine machine_{temp_.path() / "machine", temp_.path()};
  sim::SimFileSystem& files_ = machine_.files();
};

TEST_F(SimPathsCacheTest, HostChangesInAListedDirectoryShowAtOnce) {
  // A lookup of a missing name lists the directory.
  EXPECT_FALSE(Exists("C:\\D\\new.txt"));
  std::ofstream(Host("C:\\D") / "New.TXT") << "x";
  EXPECT_TRUE(Exists("C:\\D\\new.txt"));
  EXPECT_EQ(machine_.HostPath("C:\\D\\NEW.txt").filename(), "New.TXT");

  fs::rename(Host("C:\\D") / "New.TXT", Host("C:\\D") / "Other.txt");
  EXPECT_FALSE(Exists("C:\\D\\new.txt"));
  EXPECT_TRUE(Exists("C:\\D\\OTHER.TXT"));
  fs::remove(Host("C:\\D") / "Other.txt");
  EXPECT_FALSE(Exists("C:\\D\\other.txt"));

  // The exact name is chosen over another case of it.
  std::ofstream(Host("C:\\D") / "a.txt") << "lower";
  std::ofstream(Host("C:\\D") / "A.TXT") << "upper";
  EXPECT_EQ(machine_.HostPath("C:\\D\\A.TXT").filename(), "A.TXT");
  EXPECT_EQ(machine_.HostPath("C:\\D\\a.txt").filename(), "a.txt");
}

TEST_F(SimPathsCacheTest, AListedDirectoryThatMovesOrGoesIsForgotten) {
  ASSERT_EQ(files_.MakeDirectory("C:\\D\\SUB"), kOk);
  EXPECT_FALSE(Exists("C:\\D\\SUB\\x.txt"));  // lists SUB
  fs::rename(Host("C:\\D\\SUB"), Host("C:\\D") / "MOVED");
  EXPECT_FALSE(Exists("C:\\D\\SUB"));
  EXPECT_EQ(files_.MakeDirectory("C:\\D\\SUB\\y"), kErrorPathNotFound);

  // A new directory under the old name, with a file of its own.
  fs::create_directories(Host("C:\\D") / "SUB");
  std::ofstream(Host("C:\\D\\SUB") / "X.TXT") << "x";
  EXPECT_TRUE(Exists("C:\\D\\SUB\\x.txt"));

  // The directory above a listed one moves away.
  EXPECT_FALSE(Exists("C:\\D\\SUB\\z.txt"));
  fs::rename(Host("C:\\D"), Host("C:\\") / "E");
  EXPECT_FALSE(Exists("C:\\D\\SUB\\x.txt"));
  EXPECT_EQ(files_.MakeDirectory("C:\\D\\SUB\\w"), kErrorPathNotFound);
  EXPECT_TRUE(Exists("C:\\e\\sub\\X.TXT"));

  fs::remove_all(Host("C:\\E\\SUB"));
  EXPECT_FALSE(Exists("C:\\E\\SUB\\X.TXT"));
  EXPECT_EQ(files_.MakeDirectory("C:\\E\\SUB\\v"), kErrorPathNotFound);
}

TEST_F(SimPathsCacheTest, ManyDirectoriesStayExact) {
  // More directories than are listed at a time, visited twice over.
  for (int round = 0; round < 2; ++round) {
    for (int d = 0; d < 40; ++d) {
      std::string dir = "C:\\D\\DIR" + std::to_string(d);
      files_.MakeDirectory(dir.c_str());
      std::string name = dir + "\\file" + std::to_string(round) + ".txt";
      EXPECT_FALSE(Exists(name.c_str())) << name;
      std::ofstream(machine_.HostPath(dir.c_str()) / ("FILE" + std::to_string(round) + ".TXT")) << "x";
      EXPECT_TRUE(Exists(name.c_str())) << name;
    }
  }
}

}  // namespace
}  // namespace qz::test
