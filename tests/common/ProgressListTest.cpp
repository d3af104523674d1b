#include <gtest/gtest.h>

#include "common/ProgressList.h"
#include "platform/sim/SimList.h"

namespace qz::test {
namespace {

TEST(ProgressListTest, SelectsTheNewLineAsARule) {
  platform::sim::SimList list;
  ProgressList progress(list);
  progress.AddLine("A Btrieve regisztrálás...");
  EXPECT_EQ(list.selected(), 0);
  progress.AddLine("   Fájl : C:\\APP\\A.EXE");
  progress.AddLine("   Fájl : C:\\APP\\B.EXE");
  EXPECT_EQ(list.selected(), 2);
  EXPECT_EQ(list.items().size(), 3u);
}

TEST(ProgressListTest, AnEarlierLineThatBeginsWithTheTextWins) {
  platform::sim::SimList list;
  ProgressList progress(list);
  progress.AddLine("first");
  progress.AddLine("   Fájl : C:\\APP\\DATA.DAT\\X.DAT");
  progress.AddLine("   Fájl : C:\\APP\\DATA");
  EXPECT_EQ(list.selected(), 1) << "the search starts at the second line, without regard to case";
  progress.AddLine("   fájl : c:\\app\\data.dat");
  EXPECT_EQ(list.selected(), 1) << "accented letters match without regard to case too";
}

TEST(ProgressListTest, SearchOfSelectString) {
  std::vector<std::string> items{"alpha", "beta", "alphabet"};
  EXPECT_EQ(platform::FindStringFrom(items, 0, "alpha"), 2);
  EXPECT_EQ(platform::FindStringFrom(items, 2, "alpha"), 0);
  EXPECT_EQ(platform::FindStringFrom(items, -1, "alpha"), 0);
  EXPECT_EQ(platform::FindStringFrom(items, 0, "gamma"), -1);
  EXPECT_EQ(platform::FindStringFrom({}, 0, "x"), -1);
}

}  // namespace
}  // namespace qz::test
