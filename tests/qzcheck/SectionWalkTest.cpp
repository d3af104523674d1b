// One table of "Home:" sections run through the setup program's
// installation and through the medium checker: both follow the one section
// walk, so each case's last line is planned, installed and reported alike.

#include <optional>
#include <string>
#include <vector>

#include "engine/InstallFiles.h"
#include "engine/SectionPlan.h"
#include "tests/engine/StepFixture.h"
#include "tools/qzcheck/MediumCheck.h"
#include "tools/qzcheck/NativeHost.h"

namespace qz::test {
namespace {

using check::Check;
using ::testing::HasSubstr;

constexpr int kFirstItemLine = 12;  // behind the defaults of WriteCase's script

struct Case {
  std::vector<std::string> lines;  // the section; the last line is the one judged
  ItemKind kind;
  ItemFault fault;
  bool installed;              // the section installs to its end
  std::string logged;          // what the installer's log says of the last line ("": nothing)
  std::optional<Check> found;  // what the checker reports at the last line
};

class SectionWalkTest : public StepFixture {
 protected:
  SectionWalkTest() {
    MakeDirs("C:\\APP");
    WriteMedium("A.EXE", "a");
    WriteMedium("DATA/B.DAT", "b");
    WriteMedium("DATA/SUB/C.DAT", "c");
  }

  void WriteCase(const Case& c) {
    std::vector<std::string> script = {"InstallType:", "\"Install\"", "AppName:",  "\"QZ\"",  "AppVersion:",
                                       "\"2.0\"",      "DefaultDir:", "\"C:\\APP\"", "AppLogo:", "\"\"",
                                       "Home:"};
    script.insert(script.end(), c.lines.begin(), c.lines.end());
    WriteScript(script);
  }

  PlannedItem PlanLast(const Case& c) {
    SettingsMacros macros(settings_);
    SectionCursor cursor("C:\\APP");
    PlannedItem item;
    int number = kFirstItemLine;
    for (const std::string& line : c.lines) cursor.Plan(line, number++, macros, item);
    return item;
  }

  std::vector<Check> FoundAt(int line) {
    check::NativeHost host;
    std::string problem;
    EXPECT_TRUE(host.OpenMedium(medium_.string(), problem)) << problem;
    std::vector<Check> found;
    for (const check::Finding& f : check::CheckMedium(host.files(), host.btrieve())) {
      if (f.file == "setup.ini" && f.line == line) found.push_back(f.check);
    }
    return found;
  }
};

TEST_F(SectionWalkTest, InstallerAndCheckerFollowOneWalk) {
  const std::string longName(253, 'N');  // "C:\APP\" and 253 characters: 260
  const std::string longLine = "\"A.EXE\"" + std::string(260, ' ') + "x";
  const std::vector<Case> cases = {
      {{"\"A.EXE\""}, ItemKind::kCopy, ItemFault::kNone, true, "Fájl másolás : C:\\APP\\A.EXE...OK", {}},
      // The source lies below the root as the target does.
      {{"DIR \"DATA\"", "\"B.DAT\""}, ItemKind::kCopy, ItemFault::kNone, true,
       "Fájl másolás : C:\\APP\\DATA\\B.DAT...OK", {}},
      {{"DIR \"DATA\"", "DIR \"SUB\"", "\"C.DAT\""}, ItemKind::kCopy, ItemFault::kNone, true,
       "Fájl másolás : C:\\APP\\DATA\\SUB\\C.DAT...OK", {}},
      {{"DIR \"DATA\"", "DIR \"..\"", "\"A.EXE\""}, ItemKind::kCopy, ItemFault::kNone, true,
       "Fájl másolás : C:\\APP\\A.EXE...OK", {}},
      {{"DIR \"DATA\"", "DIR \"\\\"", "\"DATA\\B.DAT\""}, ItemKind::kCopy, ItemFault::kNone, true,
       "Fájl másolás : C:\\APP\\DATA\\B.DAT...OK", {}},
      {{"DIR \"..\""}, ItemKind::kUp, ItemFault::kNone, true,
       "Könyvtár : \"..\" a(z) C:\\APP gyökérkönyvtárban, a kurzor a gyökérben marad", {}},
      // Lines that name nothing.
      {{"\"A.EXE"}, ItemKind::kSkip, ItemFault::kNone, true, "", Check::SkippedLine},
      {{"DIR \"\""}, ItemKind::kSkip, ItemFault::kNone, true, "", Check::SkippedLine},
      // DIR anywhere in the line makes a directory.
      {{"\"A.EXE\" ; DIR"}, ItemKind::kMakeDirectory, ItemFault::kNone, true,
       "Könyvtár készítés : C:\\APP\\A.EXE...OK", Check::DirTrap},
      // Refused before they are tried.
      {{"\"..\\A.EXE\""}, ItemKind::kCopy, ItemFault::kRefusedName, false, "Hibás elem : \"..\\A.EXE\"",
       Check::RefusedName},
      {{"DIR \"NUL\""}, ItemKind::kMakeDirectory, ItemFault::kRefusedName, false, "Hibás elem : \"NUL\"",
       Check::RefusedName},
      {{"\"" + longName + "\""}, ItemKind::kCopy, ItemFault::kPathTooLong, false,
       "Fájl másolás : C:\\APP\\" + longName + "...ERROR", Check::TextLength},
      {{longLine}, ItemKind::kCopy, ItemFault::kLineTooLong, false, "Túl hosszú sor : " + longLine, Check::TextLength},
      // Planned, and failing on the disk.
      {{"\"NINCS.TXT\""}, ItemKind::kCopy, ItemFault::kNone, false, "Fájl másolás : C:\\APP\\NINCS.TXT...ERROR",
       Check::MissingSource},
  };
  for (const Case& c : cases) {
    const std::string& last = c.lines.back();
    PlannedItem item = PlanLast(c);
    EXPECT_EQ(item.kind, c.kind) << last;
    EXPECT_EQ(item.fault, c.fault) << last;

    WriteCase(c);
    EXPECT_EQ(InstallSection(ctx_, "C:\\APP", "Home:"), c.installed) << last;
    std::string log = TakeLog();
    if (c.logged.empty()) {
      EXPECT_EQ(log.find(last), std::string::npos) << log;
    } else {
      EXPECT_THAT(log, HasSubstr(c.logged)) << last;
    }

    std::vector<Check> found = FoundAt(kFirstItemLine + static_cast<int>(c.lines.size()) - 1);
    if (c.found) {
      EXPECT_THAT(found, ::testing::Contains(*c.found)) << last;
    } else {
      EXPECT_THAT(found, IsEmpty()) << last;
    }
  }
}

}  // namespace
}  // namespace qz::test
