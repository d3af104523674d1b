// DBCHANGE.QRT: version sections, table blocks and the changes they add.

#include <gtest/gtest.h>

#include <string>

#include "btrieve/ConversionPlan.h"
#include "btrieve/MemoryInput.h"

namespace qz::test {
namespace {

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
  std::vector<std::string> Changes(const char* table) {
    std::vector<std::string> out;
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

using Texts = std::vector<std::string>;

TEST_F(ConversionPlanTest, OnlySectionsOfTheInstalledVersionCount) {
  ReadScript(
      "TABLE=CIKK.DAT\nAPPEND_FIELD=1\n"  // before any section
      "AppVesion=1.1\nTABLE=CIKK.DAT\nAPPEND_FIELD=2\nEND_TABLE\n"
      "AppVesion=1.2\nTABLE=CIKK.DAT\nAPPEND_FIELD=3\nEND_TABLE\n"
      "AppVesion=1.20\nTABLE=CIKK.DAT\nAPPEND_FIELD=4\nEND_TABLE\n"
      "AppVesion=1.2 \nTABLE=CIKK.DAT\nINSERT_FIELD=4,2\nEND_TABLE\n"
      "AppVesion=1.3\nTABLE=CIKK.DAT\nAPPEND_FIELD=6\nEND_TABLE\n");
  EXPECT_EQ(Changes("CIKK.DAT"), (Texts{"99999/3", "4/2"})) << "sections of 1.2 only, in file order";
}

TEST_F(ConversionPlanTest, FieldAndRecordLines) {
  ReadScript(
      "AppVesion=1.2\n"
      "TABLE=CIKK.DAT\n"
      "APPEND_FIELD=12\n"
      "INSERT_FIELD=7\n"         // one number: nothing
      "INSERT_FIELD=4,2\n"
      "INSERT_FIELD=5 ,1\n"      // the comma must follow the number
      "INSERT_FIELD=6, 3\n"
      "INSERT_RECORD=  ABC DEF\n"
      "INSERT_RECORD=\n"         // no token
      "APPEND_FIELD=x\n"
      "END_TABLE");              // the last line, with no line end
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
      "TABLE=VEVO.DAT\nAPPEND_FIELD=4\n"
      "AppVesion=2.0\nTABLE=CIKK.DAT\nAPPEND_FIELD=5\nEND_TABLE\n"  // inactive: the block stays open
      "AppVesion=1.2\nAPPEND_FIELD=6\n"
      "END_TABLE \nAPPEND_FIELD=7\n");      // "END_TABLE " is not the keyword line
  EXPECT_EQ(Changes("CIKK.DAT"), (Texts{"99999/1", "99999/2"}));
  EXPECT_EQ(Changes("VEVO.DAT"), (Texts{"99999/4", "99999/6", "99999/7"}));
}

TEST_F(ConversionPlanTest, TablesAreNamedExactly) {
  ReadScript("AppVesion=1.2\nTABLE=cikk.dat\nAPPEND_FIELD=1\nEND_TABLE\nTABLE=  CIKK.DAT  \nAPPEND_FIELD=2\n");
  EXPECT_EQ(Changes("CIKK.DAT"), (Texts{"99999/2"}));
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
