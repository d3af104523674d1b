// btrmake: files made from DBSTAT.QRT sections give their description back
// as the engine's Stat reply; descriptions the layout cannot carry are
// refused.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "btrieve/DbStat.h"
#include "btrieve/MemoryInput.h"
#include "tests/btrieve/EngineHarness.h"
#include "tests/btrieve/SampleFiles.h"
#include "tools/btrmake/BtrMake.h"

namespace qz::test {
namespace {

TableMap Sections(const std::string& text) {
  platform::LineReader reader(std::make_unique<MemoryInput>(text));
  TableMap tables;
  ReadTablesFrom(reader, tables);
  return tables;
}

const char* const kStatistics =
    "START\r\n"
    "File name=CIKK.DAT\r\n"
    "Record length=120\r\n"
    "Page size=1024\r\n"
    "Nr. of segments=3\r\n"
    "File version=80\r\n"
    "Nr. of records=70000\r\n"
    "File flags=3\r\n"
    "Duplacted keys=2\r\n"
    "Idx=0,1,10,259,5,11,0,0\r\n"   // key 0: duplicates, modifiable, zstring
    "Idx=0,11,4,274,1000,1,0,0\r\n" // key 1: segmented ...
    "Idx=0,15,2,258,70000,14,0,0\r\n"
    "Idx=0,17,4,264,3,1,32,0\r\n"   // key 2: null key with null value 32
    "END\r\n"
    "\r\n"
    "START\r\n"
    "File name=VEVO.DAT\r\n"
    "Record length=50\r\n"
    "Page size=512\r\n"
    "Nr. of segments=1\r\n"
    "Idx=0,1,50,0,0,0,0,0\r\n"
    "END\r\n";

TEST(BtrMakeTest, MadeFilesGiveTheirDescriptionBack) {
  EngineHarness harness;
  TableMap tables = Sections(kStatistics);
  ASSERT_EQ(tables.size(), 2u);
  for (const auto& [name, description] : tables) {
    SCOPED_TRACE(name);
    std::vector<std::uint8_t> bytes;
    std::string problem;
    ASSERT_TRUE(btrmake::MakeVersion5File(*description, bytes, problem)) << problem;
    std::string path = harness.WriteFile(name, bytes);

    std::uint8_t block[128] = {};
    ASSERT_EQ(OpenFile(harness.engine(), block, path), 0);
    Request stat = StatFile(harness.engine(), block);
    ASSERT_EQ(stat.status, 0);
    std::vector<std::uint8_t> expected(description->block, description->block + stat.dataLength);
    expected[5] = 0;   // reserved unless the key number is -1
    expected[12] = 0;
    EXPECT_EQ(std::vector<std::uint8_t>(stat.data.begin(), stat.data.begin() + stat.dataLength), expected);
    for (std::size_t at = stat.dataLength; at < TableDescription::kBlockSize; ++at) {
      ASSERT_EQ(description->block[at], 0) << "the reply covers the whole description";
    }
    Request full = StatFile(harness.engine(), block, -1);
    EXPECT_EQ(full.data[5], description->block[5] ? description->block[5] : 0x50);
    EXPECT_EQ(full.data[12], description->block[12]);
    EXPECT_EQ(CloseFile(harness.engine(), block), 0);
  }
  const std::uint8_t* cikk = tables["CIKK.DAT"]->block;
  EXPECT_EQ(cikk[16 + 3 * 16 + 11], 32) << "the sections were read as meant";
}

TEST(BtrMakeTest, DescriptionsTheLayoutCannotCarryAreRefused) {
  struct Case {
    const char* lines;
    const char* reason;
  };
  const Case cases[] = {
      {"Page size=1000\nNr. of segments=1\nIdx=0,1,4,0,0,0,0,0", "page size"},
      {"Page size=8192\nNr. of segments=1\nIdx=0,1,4,0,0,0,0,0", "page size"},
      {"Page size=512\nFile version=6\nNr. of segments=1\nIdx=0,1,4,0,0,0,0,0", "file version"},
      {"Page size=512\nFile version=96\nNr. of segments=1\nIdx=0,1,4,0,0,0,0,0", "file version"},
      {"Page size=512\nUnused pages=3\nNr. of segments=1\nIdx=0,1,4,0,0,0,0,0", "unused pages"},
      {"Page size=512\nNr. of segments=1\nIdx=0,1,4,32,0,0,0,0", "collating sequence"},
      {"Page size=512\nNr. of segments=1\nIdx=1,1,4,0,0,0,0,0", "key number"},
      {"Page size=512\nNr. of segments=1\nIdx=0,1,4,0,0,0,0,0\nIdx=0,5,4,0,0,0,0,0", "more \"Idx=\""},
      {"Page size=512\nNr. of segments=1\nIdx=0,38,4,0,0,0,0,0", "within the record"},
      {"Page size=512\nNr. of segments=1\nIdx=0,0,4,0,0,0,0,0", "within the record"},
      {"Page size=512\nNr. of segments=1\nIdx=0,1,4,16,0,0,0,0", "within the record"},  // segmented, no next
      {"Page size=512\nNr. of segments=9", "segments"},
      {"Page size=512\nDuplacted keys=255\nRecord length=65000\nNr. of segments=0", "65535"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    TableMap tables = Sections(std::string("START\nFile name=T\nRecord length=40\n") + c.lines + "\nEND\n");
    std::vector<std::uint8_t> bytes;
    std::string problem;
    EXPECT_FALSE(btrmake::MakeVersion5File(*tables["T"], bytes, problem));
    EXPECT_NE(problem.find(c.reason), std::string::npos) << problem;
  }
}

#ifdef QZ_BTRMAKE_PROGRAM
}  // namespace
}  // namespace qz::test
#include <sys/wait.h>
namespace qz::test {
namespace {

int RunBtrmake(const std::string& arguments) {
  int status = std::system((std::string(QZ_BTRMAKE_PROGRAM) + " " + arguments + " 2>/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(BtrMakeTest, CommandLine) {
  EngineHarness harness;
  std::string qrt = harness.WriteFile("DBSTAT.QRT", std::vector<std::uint8_t>(kStatistics, kStatistics + std::strlen(kStatistics)));
  EXPECT_EQ(RunBtrmake(qrt + " VEVO.DAT " + harness.PathOf("one.dat")), 0);
  EXPECT_EQ(ReadHostFile(harness.PathOf("one.dat")).size(), 512u);
  EXPECT_EQ(RunBtrmake("--all " + qrt + " " + harness.PathOf("all")), 0);
  EXPECT_EQ(ReadHostFile(harness.PathOf("all") + "/CIKK.DAT").size(), 1024u);
  EXPECT_EQ(ReadHostFile(harness.PathOf("all") + "/VEVO.DAT").size(), 512u);
  EXPECT_EQ(RunBtrmake(qrt + " NINCS.DAT " + harness.PathOf("x.dat")), 1);
  EXPECT_EQ(RunBtrmake(harness.PathOf("missing.qrt") + " VEVO.DAT " + harness.PathOf("x.dat")), 1);
  EXPECT_EQ(RunBtrmake(qrt + " VEVO.DAT"), 64);

  std::string bad = "START\nFile name=../ESCAPE.DAT\nRecord length=4\nPage size=512\nEND\n";
  std::string badQrt = harness.WriteFile("BAD.QRT", std::vector<std::uint8_t>(bad.begin(), bad.end()));
  EXPECT_EQ(RunBtrmake("--all " + badQrt + " " + harness.PathOf("out")), 1) << "a table name may not lead out of the directory";
  EXPECT_TRUE(ReadHostFile(harness.PathOf("ESCAPE.DAT")).empty());
}
#endif

}  // namespace
}  // namespace qz::test

namespace qz::test {
namespace {

// The files qz_make_btrieve_files() made when the tests were built.
TEST(BtrMakeTest, FilesMadeAtBuildTime) {
  std::vector<std::uint8_t> text = ReadHostFile(QZ_MADE_QRT);
  TableMap tables = Sections(std::string(text.begin(), text.end()));
  ASSERT_EQ(tables.size(), 2u);
  EngineHarness harness;
  for (const auto& [name, description] : tables) {
    SCOPED_TRACE(name);
    std::string path = (std::filesystem::path(QZ_MADE_DIR) / name).string();
    std::uint8_t block[128] = {};
    ASSERT_EQ(OpenFile(harness.engine(), block, path), 0);
    Request stat = StatFile(harness.engine(), block, -1);
    ASSERT_EQ(stat.status, 0);
    std::vector<std::uint8_t> expected(description->block, description->block + stat.dataLength);
    if (expected[5] == 0) expected[5] = 0x50;
    EXPECT_EQ(std::vector<std::uint8_t>(stat.data.begin(), stat.data.begin() + stat.dataLength), expected);
    EXPECT_EQ(CloseFile(harness.engine(), block), 0);
  }
}

}  // namespace
}  // namespace qz::test
