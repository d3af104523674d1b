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

namespace qz::test {
namespace {

// The simulated list finds by an index of its items; it must choose as the
// plain search does, whatever the lines.
TEST(ProgressListTest, IndexedListChoosesAsThePlainSearch) {
  platform::sim::SimList list;
  unsigned seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
  const char* pieces[] = {"a", "A", "b", "á", "Á", " "};
  for (int i = 0; i < 400; ++i) {
    std::string text;
    for (unsigned n = next() % 4; n > 0; --n) text += pieces[next() % 6];
    list.AddString(text.c_str());
    int start = static_cast<int>(next() % 3) - 1;
    std::string prefix = text.substr(0, next() % (text.size() + 1));
    int before = list.selected();
    list.SelectString(start, prefix.c_str());
    int expected = platform::FindStringFrom(list.items(), start, prefix);
    ASSERT_EQ(list.selected(), expected >= 0 ? expected : before) << i;
  }
}

}  // namespace
}  // namespace qz::test
