// The native QZSetup program: options, transcript and exit statuses (its
// --dir and --no-overwrite drive the end-to-end scenarios).

#include <sys/wait.h>

#include <cstdlib>

#include "common/CodePage.h"
#include "tests/support/SimFixture.h"

namespace qz::test {
namespace {


class NativeProgramTest : public ::testing::Test {
 protected:
  NativeProgramTest() { std::filesystem::copy(QZ_SAMPLE_MEDIUM, medium_, std::filesystem::copy_options::recursive); }

  // Runs QZSetup in the medium with the arguments (already quoted for the
  // shell); returns its exit status, its standard output (UTF-8) in `out_`
  // turned back into Windows-1250.
  int Run(const std::string& cp1250Arguments) {
    std::string command = "cd '" + medium_.string() + "' && '" QZ_SETUP_PROGRAM "' --machine '" + machine_.string() +
                          "' " + Utf8FromCp1250(cp1250Arguments) + " > '" + (temp_.path() / "out").string() +
                          "' 2> '" + (temp_.path() / "err").string() + "'";
    int status = std::system(command.c_str());
    EXPECT_TRUE(Cp1250FromUtf8(HostText(temp_.path() / "out"), out_)) << "the transcript is UTF-8";
    err_ = HostText(temp_.path() / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  TempDir temp_;
  std::filesystem::path medium_ = temp_.path() / "medium";
  std::filesystem::path machine_ = temp_.path() / "machine";
  std::string out_, err_;
};

TEST_F(NativeProgramTest, ExitStatusesAndAUtf8Transcript) {
  EXPECT_EQ(Run("--leave-at 102"), 3);
  EXPECT_THAT(out_, HasSubstr("Dialog 101 \"Üdvözli a \"QZ Raktár\" telepítője\"\n> Click 1 \"Tovább >\"\n"));
  EXPECT_THAT(out_, HasSubstr("Dialog 102 \"Szoftver licensz\"\n> Esc\nDialog 116 \"Kilépés a telepítőből\"\n> Esc\n"));
  EXPECT_THAT(out_, EndsWith("Main window closed\n"));
  EXPECT_EQ(Run("--bogus"), 64);
  EXPECT_THAT(err_, HasSubstr("usage: QZSetup"));
  EXPECT_EQ(Run("--leave-at 104"), 64);
  EXPECT_EQ(Run("--dir"), 64);
  std::filesystem::remove(medium_ / "setup.ini");
  EXPECT_EQ(Run(""), 2);
  EXPECT_THAT(out_, HasSubstr("(OK, exclamation): Nem lehet megnyitni a telepítő fájlt (setup.ini)\n> OK\n"));
}

}  // namespace
}  // namespace qz::test
