#include <gtest/gtest.h>

#include "common/ProgressList.h"
#include "platform/sim/SimList.h"

namespace qz::test {
namespace {

// The selection rule, which the plain search follows, is the conformance
// suite's DialogTest on both machines. The simulated list finds by an index
// of its items; it must choose as the plain search does, whatever the lines.
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
