// The medium's two description files: DBSTAT.QRT (sections, fields and the
// quirks stored files rely on) and DBCHANGE.QRT (version sections, table
// blocks and the changes they add).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "btrieve/ConversionPlan.h"
#include "btrieve/DbStat.h"
#include "btrieve/MemoryInput.h"

namespace qz::test {
namespace {

using Texts = std::vector<std::string>;

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
  EXPECT_EQ(Read(kSectionA + "\r\n" + kSectionB).size(), 2u);
  TableMap one = Read(kSectionA + kSectionB);
  ASSERT_EQ(one.size(), 1u) << "the second START is consumed by the first END";
  EXPECT_EQ(one.count("CIKK.DAT"), 1u);
  EXPECT_EQ(Read("START\nFile name=A\nENDE\nx\nSTART\nFile name=B\nEND").size(), 2u)
      << "any line beginning with END ends a section";
  TableMap last = Read(kSectionA + "\n" + "START\nFile name=LAST\nRecord length=9");
  EXPECT_EQ(last.size(), 2u);
  EXPECT_EQ(last["LAST"]->block[0], 9) << "the end of the file ends the last section";
  EXPECT_TRUE(Read("END\n\n" + kSectionA).empty()) << "an END before any START ends the reading";
}

TEST(DbStatTest, FieldsGoToTheirPlacesInAnyOrder) {
  TableMap map = Read(
      "START\nFile version=6\nNr. of segments=2\nPage size=1024\nRecord length=100\nFile name=CIKK.DAT\n"
      "Nr. of records=70000\nFile flags=3\nDuplacted keys=4\nUnused pages=  9\n"
      "Idx=1,5,4,3,0,0,0,0\nIdx=2, 9, 2, 258, 123456, 11, 32, 1\nEND\n");
  ASSERT_EQ(map.count("CIKK.DAT"), 1u);
  const TableDescription& d = *map["CIKK.DAT"];
  // Record length, page size, segments, version, records, flags, duplicate
  // keys, unused pages; then a key specification of 16 bytes per Idx line.
  const std::vector<std::uint8_t> head = {100, 0, 0x00, 0x04, 2, 6, 0x70, 0x11, 0x01, 0, 3, 0, 4, 0, 9, 0,
                                          5, 0, 4, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0,
                                          9, 0, 2, 0, 2, 1, 0x40, 0xE2, 0x01, 0, 11, 32, 0, 0, 2, 1};
  EXPECT_EQ(std::vector<std::uint8_t>(d.block, d.block + head.size()), head);
  // Values too wide for their field keep their low-order bytes.
  map = Read("START\nFile name=T\nRecord length=65537\nNr. of segments=258\nNr. of records=4294967297\nEND\n");
  const TableDescription& wide = *map["T"];
  EXPECT_EQ(Field(wide, 0, 2), 1u);
  EXPECT_EQ(Field(wide, 2, 2), 0u) << "the neighbour is untouched";
  EXPECT_EQ(Field(wide, 4, 2), 2u);
  EXPECT_EQ(Field(wide, 6, 4), 1u);
}

// Lines that do not count: before START; Idx with seven numbers (no key
// slot taken) or a blank before a comma; no unsigned number; keywords in
// another case or not at the start of the line.
TEST(DbStatTest, LinesThatDoNotCount) {
  TableMap map = Read("File name=BEFORE\nSTART\nFile name=T\nIdx=1,2,3,4,5,6,7\nIdx=1 ,2,3,4,5,6,7,8\nIdx=9,8,7,6,5,4,3,2\n"
                      "Record length=-5\nrecord length=7\n Page size=512\nEND\n");
  ASSERT_EQ(map.size(), 1u);
  const TableDescription& d = *map["T"];
  EXPECT_EQ(d.block[16 + 14], 9) << "the first whole Idx line fills the first key slot";
  EXPECT_EQ(d.block[32 + 14], 0);
  EXPECT_EQ(Field(d, 0, 4), 0u);
}

// A later section replaces an earlier one of the same name; names compare
// with regard to case; a section without a name is not kept; a name longer
// than 15 characters does not count (it is not cut).
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
}

TEST(DbStatTest, AtMost119KeySpecificationsAndLongLinesInPieces) {
  std::string text = "START\nFile name=BIG\n";
  for (int i = 0; i < 125; ++i) text += "Idx=" + std::to_string(i + 1) + ",1,1,0,0,0,0,0\n";
  // A line longer than 1,023 characters is read in pieces, as fgets reads
  // it; the lines after it are read as usual.
  text += std::string(3000, 'x') + "\nRecord length=12\nEND\n";
  TableMap map = Read(text);
  const TableDescription& d = *map["BIG"];
  EXPECT_EQ(d.block[16 + 118 * 16 + 14], 119);
  for (std::size_t at = 16 + 119 * 16; at < TableDescription::kBlockSize; ++at) {
    ASSERT_EQ(d.block[at], 0) << "written past the key specifications at " << at;
  }
  EXPECT_EQ(d.block[0], 12);
}

class ConversionPlanTest : public ::testing::Test {
 protected:
  ConversionPlanTest() {
    for (const char* name : {"CIKK.DAT", "VEVO.DAT"}) plan_.tables()[name] = std::make_unique<TableDescription>();
    plan_.SetVersion("1.2");
  }

  void ReadScript(const std::string& text) {
    platform::LineReader reader(std::make_unique<MemoryInput>(text));
    plan_.ReadScript(reader);
  }

  // The changes of a table as "position/length" and "record" texts.
  Texts Changes(const char* table) {
    Texts out;
    const TableDescription& d = *plan_.tables()[table];
    for (std::int32_t i = 0; i < d.changeCount; ++i) {
      const TableChange& c = d.changes[i];
      out.push_back(c.recordText.empty() ? std::to_string(c.position) + "/" + std::to_string(c.length)
                                         : c.recordText.c_str());
    }
    return out;
  }

  ConversionPlan plan_;
};

TEST_F(ConversionPlanTest, OnlySectionsOfTheInstalledVersionCount) {
  ReadScript(
      "TABLE=CIKK.DAT\nAPPEND_FIELD=1\n"  // before any section
      "AppVesion=1.1\nTABLE=CIKK.DAT\nAPPEND_FIELD=2\nEND_TABLE\n"
      "AppVesion=1.2\nTABLE=CIKK.DAT\nAPPEND_FIELD=3\nEND_TABLE\n"
      "AppVesion=\nTABLE=CIKK.DAT\nAPPEND_FIELD=7\nEND_TABLE\n"  // no token: no section
      "AppVesion=1.20\nTABLE=CIKK.DAT\nAPPEND_FIELD=4\nEND_TABLE\n"
      "AppVesion=1.2 \nTABLE=CIKK.DAT\nINSERT_FIELD=4,2\nEND_TABLE\n"
      "AppVesion=1.3\nTABLE=CIKK.DAT\nAPPEND_FIELD=6\nEND_TABLE\n");
  EXPECT_EQ(Changes("CIKK.DAT"), (Texts{"99999/3", "99999/7", "4/2"})) << "sections of 1.2 only, in file order";
}

// INSERT_FIELD needs two numbers, the comma right after the first; a
// record line takes its first token; END_TABLE may end the file.
TEST_F(ConversionPlanTest, FieldAndRecordLines) {
  ReadScript("AppVesion=1.2\nTABLE=CIKK.DAT\nAPPEND_FIELD=12\nINSERT_FIELD=7\nINSERT_FIELD=4,2\nINSERT_FIELD=5 ,1\n"
             "INSERT_FIELD=6, 3\nINSERT_RECORD=  ABC DEF\nINSERT_RECORD=\nAPPEND_FIELD=x\nEND_TABLE");
  EXPECT_EQ(Changes("CIKK.DAT"), (Texts{"99999/12", "4/2", "6/3", "ABC"}));
  ReadScript("AppVesion=1.2\nAPPEND_FIELD=1\n");
  EXPECT_EQ(plan_.tables()["CIKK.DAT"]->changeCount, 4) << "END_TABLE without a line end closed the block";
}

TEST_F(ConversionPlanTest, TableBlocks) {
  ReadScript(
      "AppVesion=1.2\n"
      "TABLE=CIKK.DAT\nAPPEND_FIELD=1\n"
      "TABLE=NINCS.DAT\nAPPEND_FIELD=2\n"   // unknown, no END_TABLE before: CIKK stays current
      "END_TABLE\n"
      "TABLE=NINCS.DAT\nAPPEND_FIELD=3\n"   // unknown after END_TABLE: no current table
      "INSERT_RECORD=R\n"
      "TABLE=cikk.dat\nAPPEND_FIELD=3\n"    // tables are named exactly
      "TABLE=  CIKK.DAT  \nAPPEND_FIELD=8\nEND_TABLE\n"  // but without the blanks around them
      "TABLE=VEVO.DAT\nAPPEND_FIELD=4\n"
      "AppVesion=2.0\nTABLE=CIKK.DAT\nAPPEND_FIELD=5\nEND_TABLE\n"  // inactive: the block stays open
      "AppVesion=1.2\nAPPEND_FIELD=6\n"
      "END_TABLE \nAPPEND_FIELD=7\n");      // "END_TABLE " is not the keyword line
  EXPECT_EQ(Changes("CIKK.DAT"), (Texts{"99999/1", "99999/2", "99999/8"}));
  EXPECT_EQ(Changes("VEVO.DAT"), (Texts{"99999/4", "99999/6", "99999/7"}));
}

// What the file is expected never to hold: limits that are not cut to fit.
TEST_F(ConversionPlanTest, OverlongTokensAndTooManyChanges) {
  std::string script = "AppVesion=1.2\nTABLE=CIKK.DAT\n";
  script += "INSERT_RECORD=" + std::string(259, 'r') + "\n";
  script += "INSERT_RECORD=" + std::string(260, 's') + "\n";  // dropped, not cut
  for (int i = 0; i < 40; ++i) script += "APPEND_FIELD=" + std::to_string(i) + "\n";
  script += "END_TABLE\n";
  // A table name longer than 15 characters names no table: the current
  // one stays.
  script += "TABLE=VEVO.DAT\nTABLE=VEVO.DAT_AND_MORE\nAPPEND_FIELD=1\nEND_TABLE\n";
  ReadScript(script);
  const TableDescription& cikk = *plan_.tables()["CIKK.DAT"];
  ASSERT_EQ(cikk.changeCount, 32) << "a table holds at most 32 changes";
  EXPECT_EQ(cikk.changes[0].recordText.view(), std::string(259, 'r'));
  EXPECT_EQ(cikk.changes[1].length, 0u);
  EXPECT_EQ(cikk.changes[31].length, 30u);
  EXPECT_EQ(Changes("VEVO.DAT"), (Texts{"99999/1"}));
}

// A file saved as UTF-16 has a NUL byte before or after every character:
// such lines count as lines, and what they hold names nothing.
TEST_F(ConversionPlanTest, LinesLedByNulBytesNameNothing) {
  std::string utf16;
  for (char c : std::string("AppVesion=1.2\r\nTABLE=CIKK.DAT\r\nAPPEND_FIELD=1\r\n")) utf16 += std::string{c, '\0'};
  std::string script = std::string("\xFF\xFE", 2) + utf16;
  ReadScript(std::string(1, '\0') + "\n" + script + "\n" + "AppVesion=1.2\nTABLE=CIKK.DAT\nAPPEND_FIELD=2\n");
  EXPECT_EQ(Changes("CIKK.DAT"), (Texts{"99999/2"}));

  struct Sections : ConversionScriptObserver {
    void VersionSection(int line, std::string_view, bool) override { lines.push_back(line); }
    std::vector<int> lines;
  } sections;
  platform::LineReader reader(std::make_unique<MemoryInput>(std::string("\0\n\0x\nAppVesion=1.2\n", 16)));
  plan_.ReadScript(reader, &sections);
  EXPECT_EQ(sections.lines, std::vector<int>{3}) << "the NUL-led lines are counted";
}

TEST_F(ConversionPlanTest, OverlongVersionsNameNoSection) {
  std::string longVersion(31, '9');
  plan_.SetVersion(longVersion);
  ReadScript("AppVesion=" + longVersion + "\nTABLE=CIKK.DAT\nAPPEND_FIELD=1\nEND_TABLE\n" +
             "AppVesion=" + longVersion + "9\nTABLE=CIKK.DAT\nAPPEND_FIELD=2\nEND_TABLE\n");
  EXPECT_EQ(Changes("CIKK.DAT"), (Texts{"99999/1"}));
  // A section of an overlong version ends the active one before it.
  ReadScript("AppVesion=" + longVersion + "\nTABLE=VEVO.DAT\nAppVesion=" + longVersion + "99\nAPPEND_FIELD=3\n");
  EXPECT_EQ(Changes("VEVO.DAT"), Texts{});
  // An installed version too long for the plan matches nothing, not even
  // a section naming the part that was kept.
  plan_.SetVersion(longVersion + "12");
  ReadScript("AppVesion=" + longVersion + "\nTABLE=VEVO.DAT\nAPPEND_FIELD=4\n");
  EXPECT_EQ(Changes("VEVO.DAT"), Texts{});
}

}  // namespace
}  // namespace qz::test
