// btrmake: files made from DBSTAT.QRT sections give their description back
// as the engine's Stat reply; descriptions the layout cannot carry are
// refused.

#include <gtest/gtest.h>

#include <cstring>

#include "btrieve/DbStat.h"
#include "btrieve/MemoryInput.h"
#include "tests/btrieve/EngineHarness.h"
#include "tools/btrmake/BtrMake.h"

namespace qz::test {
namespace {

TableMap Sections(const std::string& text) {
  platform::LineReader reader(std::make_unique<MemoryInput>(text));
  TableMap tables;
  ReadTablesFrom(reader, tables);
  return tables;
}

const std::string kStatistics =
    "START\r\nFile name=CIKK.DAT\r\nRecord length=120\r\nPage size=1024\r\nNr. of segments=3\r\n"
    "File version=80\r\nNr. of records=70000\r\nFile flags=3\r\nDuplacted keys=2\r\n"
    "Idx=0,1,10,259,5,11,0,0\r\n"    // key 0: duplicates, modifiable, zstring
    "Idx=0,11,4,274,1000,1,0,0\r\n"  // key 1, segmented
    "Idx=0,15,2,258,70000,14,0,0\r\n"
    "Idx=0,17,4,264,3,1,32,0\r\n"    // key 2: null key, null value 32
    "END\r\n\r\n"
    "START\r\nFile name=VEVO.DAT\r\nRecord length=50\r\nPage size=512\r\nNr. of segments=1\r\n"
    "Idx=0,1,50,0,0,0,0,0\r\nEND\r\n";

// The Stat replies of the file: the description itself with key number
// -1 (version 5.0 where it gives none), with the reserved bytes 5 and 12
// zero otherwise; and nothing of the description left over.
void ExpectDescribed(const std::string& path, const TableDescription& description) {
  SCOPED_TRACE(path);
  EngineHarness harness;
  std::uint8_t block[128] = {};
  ASSERT_EQ(OpenFile(harness.engine(), block, path), 0);
  for (std::int8_t keyNumber : {0, -1}) {
    Request stat = StatFile(harness.engine(), block, keyNumber);
    ASSERT_EQ(stat.status, 0);
    Bytes expected(description.block, description.block + stat.dataLength);
    expected[5] = keyNumber == -1 ? (expected[5] ? expected[5] : 0x50) : 0;
    if (keyNumber == 0) expected[12] = 0;
    EXPECT_EQ(Bytes(stat.data.begin(), stat.data.begin() + stat.dataLength), expected) << int{keyNumber};
    EXPECT_EQ(Bytes(description.block + stat.dataLength, description.block + TableDescription::kBlockSize),
              Bytes(TableDescription::kBlockSize - stat.dataLength, 0));
  }
  EXPECT_EQ(CloseFile(harness.engine(), block), 0);
}

// Files made here, and those qz_make_btrieve_files() made when the tests
// were built.
TEST(BtrMakeTest, MadeFilesGiveTheirDescriptionBack) {
  EngineHarness harness;
  TableMap tables = Sections(kStatistics);
  ASSERT_EQ(tables.size(), 2u);
  for (const auto& [name, description] : tables) {
    Bytes bytes;
    std::string problem;
    ASSERT_TRUE(btrmake::MakeVersion5File(*description, bytes, problem)) << problem;
    ExpectDescribed(harness.WriteFile(name, bytes), *description);
  }
  Bytes text = ReadHostFile(QZ_MADE_QRT);
  TableMap made = Sections(std::string(text.begin(), text.end()));
  ASSERT_EQ(made.size(), 2u);
  for (const auto& [name, description] : made) {
    ExpectDescribed((std::filesystem::path(QZ_MADE_DIR) / name).string(), *description);
  }
}

TEST(BtrMakeTest, DescriptionsTheLayoutCannotCarryAreRefused) {
  const std::pair<const char*, const char*> cases[] = {
      {"Page size=1000\nNr. of segments=1\nIdx=0,1,4,0,0,0,0,0", "page size"},
      {"Page size=512\nFile version=96\nNr. of segments=0", "file version"},
      {"Page size=512\nUnused pages=3\nNr. of segments=0", "unused pages"},
      {"Page size=512\nNr. of segments=1\nIdx=0,1,4,32,0,0,0,0", "collating sequence"},
      {"Page size=512\nNr. of segments=1\nIdx=1,1,4,0,0,0,0,0", "key number"},
      {"Page size=512\nNr. of segments=1\nIdx=0,1,4,0,0,0,0,0\nIdx=0,5,4,0,0,0,0,0", "more \"Idx=\""},
      {"Page size=512\nNr. of segments=1\nIdx=0,38,4,0,0,0,0,0", "within the record"},
      {"Page size=512\nNr. of segments=1\nIdx=0,1,4,16,0,0,0,0", "within the record"},  // no next segment
      {"Page size=512\nNr. of segments=9", "segments"},
      {"Page size=512\nDuplacted keys=255\nRecord length=65000\nNr. of segments=0", "65535"},
  };
  for (const auto& [lines, reason] : cases) {
    TableMap tables = Sections(std::string("START\nFile name=T\nRecord length=40\n") + lines + "\nEND\n");
    Bytes bytes;
    std::string problem;
    EXPECT_FALSE(btrmake::MakeVersion5File(*tables["T"], bytes, problem)) << lines;
    EXPECT_NE(problem.find(reason), std::string::npos) << lines << ": " << problem;
  }
}

}  // namespace
}  // namespace qz::test
