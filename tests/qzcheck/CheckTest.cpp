// The medium checker on the native machine: every check found by name on
// the broken medium, the sample media clean, the program's output and exit
// statuses, the findings that depend on the kind of run, and stable output
// for mutated scripts.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/support/ScriptMutator.h"
#include "tests/support/SimFixture.h"
#include "tests/support/TempDir.h"
#include "text/CodePage.h"
#include "tools/qzcheck/MediumCheck.h"
#include "tools/qzcheck/NativeHost.h"

namespace qz::test {
namespace {

namespace fs = std::filesystem;
using check::Check;
using check::Finding;

const fs::path kSource = QZ_SOURCE_DIR;

// The program run as from the command line: exit status and standard output.
struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome RunQzcheck(std::vector<std::string> args) {
  check::NativeHost host;
  Outcome run;
  run.status = check::RunProgram(args, host, run.out, run.err);
  return run;
}

std::vector<Finding> CheckDir(const fs::path& medium) {
  check::NativeHost host;
  std::string problem;
  EXPECT_TRUE(host.OpenMedium(medium.string(), problem)) << problem;
  return check::CheckMedium(host.files(), host.btrieve());
}

std::string Describe(const std::vector<Finding>& findings) {
  std::string text;
  for (const Finding& f : findings) {
    text += f.file + ":" + std::to_string(f.line) + " [" + check::Info(f.check).name + "] " + Utf8FromCp1250(f.text) + "\n";
  }
  return text;
}

std::vector<Finding> Of(const std::vector<Finding>& findings, Check check) {
  std::vector<Finding> out;
  std::copy_if(findings.begin(), findings.end(), std::back_inserter(out),
               [&](const Finding& f) { return f.check == check; });
  return out;
}

// A copy of a sample medium whose files a test may change.
class MediumCopy {
 public:
  explicit MediumCopy(const fs::path& from) { fs::copy(from, dir(), fs::copy_options::recursive); }
  fs::path dir() const { return temp_.path() / "medium"; }
  // Writes a file of the medium: lines (Windows-1250) ended by CR LF.
  void Write(const std::string& name, const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    std::ofstream(dir() / name, std::ios::binary | std::ios::trunc) << bytes;
  }
  // A file of the sample medium (its script by default) with the line
  // `from` replaced by the lines `to`.
  void Edit(const std::string& from, const std::vector<std::string>& to, const std::string& file = "setup.ini") const {
    std::ifstream in(dir() / file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line == from) lines.insert(lines.end(), to.begin(), to.end());
      else lines.push_back(line);
    }
    Write(file, lines);
  }

 private:
  TempDir temp_;
};

TEST(QzcheckTest, TheBrokenMediumGivesEachFindingOnce) {
  std::vector<Finding> findings = CheckDir(kSource / "tests/qzcheck/broken-medium");
  std::map<std::string, int> counts;
  for (const Finding& f : findings) ++counts[check::Info(f.check).name];
  for (const check::CheckInfo& info : check::Checks()) {
    EXPECT_EQ(counts[info.name], 1) << info.name << "\n" << Describe(findings);
  }
  EXPECT_EQ(findings.size(), check::Checks().size());
  // Where they point: the script's lines, the settings file's failing
  // line, the database file the engine refuses.
  auto at = [&](Check check) { return Of(findings, check)[0].file + ":" + std::to_string(Of(findings, check)[0].line); };
  EXPECT_EQ(at(Check::InstallType), "setup.ini:4");
  EXPECT_EQ(at(Check::DirTrap), "setup.ini:33");
  EXPECT_EQ(at(Check::DuplicateLabel), "setup.ini:45");
  EXPECT_EQ(at(Check::SettingsLine), "btrieve.reg:3");
  EXPECT_EQ(at(Check::BtrieveFile), "ADATOK.DAT/ROSSZ.DAT:0");
  EXPECT_EQ(at(Check::DbchangeVersion), "DBCHANGE.QRT:5");
  EXPECT_THAT(Of(findings, Check::DirTrap)[0].text, ::testing::HasSubstr("C:\\QZHIBAS\\DIRECT.DLL"));
  EXPECT_THAT(Of(findings, Check::SettingsLine)[0].text, ::testing::HasSubstr("\"Open Files\"=dword:zz"));
}

TEST(QzcheckTest, TheSampleMediaCheckClean) {
  for (const char* medium : {"samples/medium", "samples/medium-patch", "samples/medium-update"}) {
    EXPECT_EQ(Describe(CheckDir(kSource / medium)), "") << medium;
    EXPECT_EQ(RunQzcheck({(kSource / medium).string()}).status, 0) << medium;
  }
}

TEST(QzcheckTest, OutputExitStatusesAndSwitches) {
  std::string broken = (kSource / "tests/qzcheck/broken-medium").string();
  Outcome run = RunQzcheck({broken});
  EXPECT_EQ(run.status, 2);
  EXPECT_THAT(run.out, ::testing::HasSubstr(broken + "/setup.ini:4: error: the install type \"Instal\" is none of "));
  EXPECT_THAT(run.out, ::testing::HasSubstr(broken + "/REGI.TXT: warning: nothing installs or reads this file [unused-file]\n"));
  EXPECT_THAT(run.out, ::testing::EndsWith("qzcheck: " + broken + ": 6 errors, 9 warnings\n"));
  EXPECT_THAT(run.out, ::testing::HasSubstr(Utf8FromCp1250("\"Ismeretlen telepítési típus\""))) << "UTF-8 on the terminal";

  // Without the error checks the warnings remain: 1, or 2 with --werror.
  std::vector<std::string> args = {"--disable", "missing-label,install-type,refused-name", "--disable",
                                    "missing-source,settings-line,btrieve-file", broken};
  run = RunQzcheck(args);
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_THAT(run.out, ::testing::EndsWith(": 0 errors, 9 warnings\n"));
  args.insert(args.begin(), "--werror");
  run = RunQzcheck(args);
  EXPECT_EQ(run.status, 2);
  EXPECT_THAT(run.out, ::testing::HasSubstr("/REGI.TXT: error: nothing installs"));
  EXPECT_THAT(run.out, ::testing::EndsWith(": 9 errors, 0 warnings\n"));

  run = RunQzcheck({"--json", "--disable", "unused-file", broken});
  EXPECT_EQ(run.status, 2);
  EXPECT_THAT(run.out, ::testing::StartsWith("{\"medium\": \"" + broken + "\", \"findings\": [\n  {\"file\": \"setup.ini\", "
                                             "\"line\": 4, \"severity\": \"error\", \"check\": \"install-type\", "
                                             "\"text\": \"the install type \\\"Instal\\\" is none of "));
  EXPECT_THAT(run.out, ::testing::EndsWith("], \"errors\": 6, \"warnings\": 8}\n"));
  EXPECT_THAT(RunQzcheck({"--json", (kSource / "samples/medium").string()}).out,
              ::testing::EndsWith("\"findings\": [], \"errors\": 0, \"warnings\": 0}\n"));

  EXPECT_EQ(RunQzcheck({"--disable", "no-such-check", broken}).status, check::kExitUsage);
  EXPECT_EQ(RunQzcheck({"--machine", "/tmp", broken}).status, check::kExitUsage) << "--machine goes with --plan";
  EXPECT_EQ(RunQzcheck({broken + "/nowhere"}).status, check::kExitUsage);
  run = RunQzcheck({"--list-checks"});
  EXPECT_EQ(run.status, 0);
  EXPECT_THAT(run.out, ::testing::HasSubstr("\ndir-trap          warning  a line holding DIR"));
}

TEST(QzcheckTest, DatabaseFilesAgainstTheirDescriptions) {
  MediumCopy medium(kSource / "samples/medium");
  medium.Edit("Record length=180", {"Record length=200"}, "DBSTAT.QRT");
  std::vector<Finding> findings = CheckDir(medium.dir());
  ASSERT_EQ(findings.size(), 1u) << Describe(findings);
  EXPECT_EQ(findings[0].file, "ADATOK.DAT/CIKK.DAT");
  EXPECT_EQ(findings[0].text, "the record length is 180, but DBSTAT.QRT describes \"CIKK.DAT\" with 200");
}

// What is found depends on what the run reads: a patch makes shortcuts to
// what an earlier installation left and never converts; an update
// converts only versions up to its own.
TEST(QzcheckTest, FindingsFollowTheKindOfRun) {
  MediumCopy medium(kSource / "samples/medium");
  medium.Edit("\"Install\"", {"\"Patch\""});
  medium.Edit("\"RAKTAR.HLP\"", {});
  fs::remove(medium.dir() / "RAKTAR.HLP");
  std::vector<Finding> findings = CheckDir(medium.dir());
  // A patch installs no WinDir: files and applies no Btrieve settings.
  EXPECT_EQ(Of(findings, Check::ShortcutTarget).size(), 0u) << Describe(findings);
  ASSERT_EQ(Of(findings, Check::DbchangeVersion).size(), 1u) << Describe(findings);
  EXPECT_THAT(Of(findings, Check::DbchangeVersion)[0].text, ::testing::HasSubstr("a patch never converts"));
  EXPECT_EQ(Of(findings, Check::UnusedFile).size(), 3u) << "VXKONF.DLL and both settings files\n" << Describe(findings);

  medium.Edit("\"Patch\"", {"\"Install\""});
  medium.Edit("\"2.1\"", {"\"1.9\""});
  findings = CheckDir(medium.dir());
  ASSERT_EQ(Of(findings, Check::DbchangeVersion).size(), 1u) << Describe(findings);
  EXPECT_EQ(Of(findings, Check::DbchangeVersion)[0].line, 1);
  EXPECT_THAT(Of(findings, Check::DbchangeVersion)[0].text, ::testing::HasSubstr("newer than this medium's 1.9"));
  ASSERT_EQ(Of(findings, Check::ShortcutTarget).size(), 1u) << Describe(findings);
  EXPECT_EQ(Of(findings, Check::ShortcutTarget)[0].line, 46) << "the help file's menu line";
}

// Any script, however broken, is checked without a fault, and the same
// input always gives the same report.
TEST(QzcheckTest, MutatedScriptsGiveStableReports) {
  MediumCopy medium(kSource / "samples/medium");
  ScriptMutator mutator(HostText(kSource / "samples/medium/setup.ini"), 12);
  std::string dir = medium.dir().string();
  int withFindings = 0;
  for (int i = 0; i < 150; ++i) {
    std::string script = mutator.Next();
    std::ofstream(medium.dir() / "setup.ini", std::ios::binary | std::ios::trunc) << script;
    Outcome first = RunQzcheck({dir});
    Outcome second = RunQzcheck({dir});
    Outcome json = RunQzcheck({"--json", dir});
    ASSERT_EQ(first.out, second.out) << "script " << i;
    ASSERT_EQ(first.status, json.status) << "script " << i;
    ASSERT_LE(first.status, 2) << first.err;
    withFindings += first.status != 0;
  }
  EXPECT_GT(withFindings, 100) << "the mutations are found";
}

}  // namespace
}  // namespace qz::test
