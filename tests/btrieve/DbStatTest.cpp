// DBSTAT.QRT: sections, fields and the quirks stored files rely on.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "btrieve/DbStat.h"
#include "btrieve/MemoryInput.h"

namespace qz::test {
namespace {

TableMap Read(const std::string& text) {
  platform::LineReader reader(std::make_unique<MemoryInput>(text));
  TableMap map;
  ReadTablesFrom(reader, map);
  return map;
}

std::uint32_t Field(const TableDescription& d, std::size_t offset, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value |= static_cast<std::uint32_t>(d.block[offset + i]) << (8 * i);
  return value;
}

const std::string kSectionA = "START\r\nFile name=CIKK.DAT\r\nRecord length=100\r\nEND\r\n";
const std::string kSectionB = "START\r\nFile name=VEVO.DAT\r\nRecord length=50\r\nEND\r\n";

TEST(DbStatTest, TheLineAfterEndBelongsToTheSection) {
  TableMap two = Read(kSectionA + "\r\n" + kSectionB);
  EXPECT_EQ(two.size(), 2u);
  TableMap one = Read(kSectionA + kSectionB);
  ASSERT_EQ(one.size(), 1u) << "the second START is consumed by the first END";
  EXPECT_EQ(one.count("CIKK.DAT"), 1u);
  // Any line beginning with END ends a section.
  TableMap ended = Read("START\nFile name=A\nENDE\nx\nSTART\nFile name=B\nEND");
  EXPECT_EQ(ended.size(), 2u);
}

TEST(DbStatTest, FieldsGoToTheirPlacesInAnyOrder) {
  TableMap map = Read(
      "START\n"
      "File version=6\n"
      "Nr. of segments=2\n"
      "Page size=1024\n"
      "Record length=100\n"
      "File name=CIKK.DAT\n"
      "Nr. of records=70000\n"
      "File flags=3\n"
      "Duplacted keys=4\n"
      "Unused pages=  9\n"
      "Idx=1,5,4,3,0,0,0,0\n"
      "Idx=2, 9, 2, 258, 123456, 11, 32, 1\n"
      "END\n");
  ASSERT_EQ(map.count("CIKK.DAT"), 1u);
  const TableDescription& d = *map["CIKK.DAT"];
  const std::uint8_t head[] = {100, 0, 0x00, 0x04, 2, 6};
  EXPECT_EQ(0, std::memcmp(d.block, head, sizeof head));
  EXPECT_EQ(Field(d, 6, 4), 70000u);
  EXPECT_EQ(Field(d, 10, 2), 3u);
  EXPECT_EQ(Field(d, 12, 1), 4u);
  EXPECT_EQ(Field(d, 14, 2), 9u);
  const std::uint8_t key0[16] = {5, 0, 4, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0};
  EXPECT_EQ(0, std::memcmp(d.block + 16, key0, 16));
  const std::uint8_t key1[16] = {9, 0, 2, 0, 2, 1, 0x40, 0xE2, 0x01, 0, 11, 32, 0, 0, 2, 1};
  EXPECT_EQ(0, std::memcmp(d.block + 32, key1, 16));
  EXPECT_EQ(d.changeCount, 0);
}

TEST(DbStatTest, ValuesTooWideKeepTheirLowOrderBytes) {
  TableMap map = Read("START\nFile name=T\nRecord length=65537\nNr. of segments=258\nNr. of records=4294967297\nEND\n");
  const TableDescription& d = *map["T"];
  EXPECT_EQ(Field(d, 0, 2), 1u);
  EXPECT_EQ(Field(d, 2, 2), 0u) << "the neighbour is untouched";
  EXPECT_EQ(Field(d, 4, 1), 2u);
  EXPECT_EQ(Field(d, 5, 1), 0u);
  EXPECT_EQ(Field(d, 6, 4), 1u);
}

TEST(DbStatTest, LinesThatDoNotCount) {
  TableMap map = Read(
      "File name=BEFORE\n"         // before START
      "START\n"
      "File name=T\n"
      "Idx=1,2,3,4,5,6,7\n"         // seven numbers: skipped, no key slot taken
      "Idx=1 ,2,3,4,5,6,7,8\n"      // the comma must follow the number
      "Idx=9,8,7,6,5,4,3,2\n"
      "Record length=-5\n"          // no unsigned number
      "record length=7\n"           // keywords are case-sensitive
      " Page size=512\n"            // keywords begin the line
      "END\n");
  ASSERT_EQ(map.size(), 1u);
  const TableDescription& d = *map["T"];
  EXPECT_EQ(d.block[16 + 14], 9) << "the first whole Idx line fills the first key slot";
  EXPECT_EQ(d.block[32 + 14], 0);
  EXPECT_EQ(Field(d, 0, 2), 0u);
  EXPECT_EQ(Field(d, 2, 2), 0u);
}

TEST(DbStatTest, EndOfFileWithoutEndAndFilesWithoutStart) {
  TableMap last = Read(kSectionA + "\n" + "START\nFile name=LAST\nRecord length=9");
  EXPECT_EQ(last.size(), 2u);
  EXPECT_EQ(last["LAST"]->block[0], 9);
  EXPECT_TRUE(Read("File name=A\nRecord length=1\n").empty());
  EXPECT_TRUE(Read("").empty());
  // An END before any START ends the reading: stored files never have one.
  EXPECT_TRUE(Read("END\n\n" + kSectionA).empty());
}

// Names: a later section replaces an earlier one of the same name; names
// compare with regard to case; a section without a name is not kept; a
// name longer than 15 characters does not count (it is not cut).
TEST(DbStatTest, SectionNames) {
  TableMap map = Read(
      "START\nFile name=T\nRecord length=1\nEND\n\n"
      "START\nFile name=t\nRecord length=2\nEND\n\n"
      "START\nFile name=T\nRecord length=3\nEND\n\n"
      "START\nRecord length=4\nEND\n\n"
      "START\nFile name=ABCDEFGHIJKLMNOP\nRecord length=5\nEND\n\n"
      "START\nFile name=KEPT\nFile name=ABCDEFGHIJKLMNOPQ\nRecord length=6\nEND\n\n"
      "START\nFile name=ABCDEFGHIJKLMNO\nRecord length=7\nEND\n");
  EXPECT_EQ(map.size(), 4u);
  EXPECT_EQ(map["T"]->block[0], 3);
  EXPECT_EQ(map["t"]->block[0], 2);
  EXPECT_EQ(map["KEPT"]->block[0], 6);
  EXPECT_EQ(map["ABCDEFGHIJKLMNO"]->block[0], 7);
  EXPECT_EQ(map.count("ABCDEFGHIJKLMNOP"), 0u);
  EXPECT_EQ(map.count(""), 0u);
}

TEST(DbStatTest, AtMost119KeySpecifications) {
  std::string text = "START\nFile name=BIG\n";
  for (int i = 0; i < 125; ++i) text += "Idx=" + std::to_string(i + 1) + ",1,1,0,0,0,0,0\n";
  text += "END\n";
  TableMap map = Read(text);
  const TableDescription& d = *map["BIG"];
  EXPECT_EQ(d.block[16 + 118 * 16 + 14], 119);
  for (std::size_t at = 16 + 119 * 16; at < TableDescription::kBlockSize; ++at) {
    ASSERT_EQ(d.block[at], 0) << "written past the key specifications at " << at;
  }
}

TEST(DbStatTest, LongLinesArriveInPieces) {
  // A line longer than 1,023 characters is read in pieces, as fgets reads
  // it; the lines after it are read as usual.
  std::string text = "START\nFile name=T\n" + std::string(3000, 'x') + "\nRecord length=12\nEND\n";
  TableMap map = Read(text);
  EXPECT_EQ(map["T"]->block[0], 12);
}

}  // namespace
}  // namespace qz::test
