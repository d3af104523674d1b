// The resource-script reader that gives the simulated machine the setup
// program's dialogs: it refuses what it cannot read rather than leave a
// control out. (What the dialogs hold is the conformance suite's DialogTest,
// on both machines.)

#include <sys/wait.h>

#include <cstdlib>

#include "tests/support/SimFixture.h"

namespace qz::test {
namespace {

int Generate(const TempDir& temp, const std::string& script) {
  std::ofstream(temp.path() / "t.rc", std::ios::binary) << script;
  std::string command = "'" QZ_RCGEN "' '" + (temp.path() / "t.rc").string() + "' '" +
                        (temp.path() / "t.cpp").string() + "' kTest 2> '" + (temp.path() / "err").string() + "'";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(RcgenTest, RefusesWhatItCannotRead) {
  TempDir temp;
  EXPECT_EQ(Generate(temp, "1 DIALOG 0, 0, 1, 1\nBEGIN\n  LTEXT \"x\", 1, 2, 3, 4, 5\nEND\n"), 0);
  EXPECT_NE(Generate(temp, "1 DIALOG 0, 0, 1, 1\nBEGIN\n  FOO \"x\", 1, 2, 3, 4, 5\nEND\n"), 0);
  EXPECT_NE(Generate(temp, "1 DIALOG 0, 0, 1, 1\nBEGIN\n  LTEXT \"open, 1, 2, 3, 4, 5\nEND\n"), 0);
  EXPECT_NE(Generate(temp, "1 DIALOG 0, 0, 1, 1\nSTYLE WS_NONSENSE\nBEGIN\nEND\n"), 0);
  EXPECT_NE(Generate(temp, "#pragma code_page(1250)\n"), 0);
  EXPECT_NE(Generate(temp, "1 DIALOG 0, 0, 1, 1\nBEGIN\n  LTEXT \"\xF5\", 1, 2, 3, 4, 5\nEND\n"), 0) << "not UTF-8";
}

}  // namespace
}  // namespace qz::test
