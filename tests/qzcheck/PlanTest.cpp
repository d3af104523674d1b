// The dry run: what it lists for the sample medium is what the end-to-end
// installation leaves; a named machine is copied, never changed; an update
// shows its backup and conversion plan; a stopped run its message.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/Registry.h"
#include "platform/sim/SimMachine.h"
#include "setup/SimulatedSetup.h"
#include "tests/support/TempDir.h"
#include "text/CodePage.h"
#include "tools/qzcheck/Plan.h"

namespace qz::test {
namespace {

namespace fs = std::filesystem;
using check::Plan;

const fs::path kSource = QZ_SOURCE_DIR;

Plan PlanOf(const char* medium, const fs::path& machine = {}) {
  check::PlanOptions options;
  options.medium = kSource / medium;
  if (!machine.empty()) options.machine = machine;
  return check::MakePlan(options);
}

// Installs a medium on a machine as the native QZSetup does.
void Install(const fs::path& machineDir, const char* medium) {
  platform::sim::SimMachine machine(machineDir, kSource / medium);
  ASSERT_EQ(RunUnattended(machine, {}).outcome, RunOutcome::Finished);
}

// Every file below a folder with its bytes and times.
std::map<std::string, std::string> Contents(const fs::path& root) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::string state = std::to_string(entry.last_write_time().time_since_epoch().count());
    if (entry.is_regular_file()) {
      std::ifstream in(entry.path(), std::ios::binary);
      state += std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    contents[fs::relative(entry.path(), root).string()] = state;
  }
  return contents;
}

// The plan in the form of the end-to-end scenarios' expected changes: the
// paths below drive C: ("/" between names, directories ending in "/",
// shortcuts with what lnkinfo reads of them) and the registry keys the
// scenarios compare, the user's name as <user>.
std::vector<std::string> AsScenarioChanges(const Plan& plan) {
  std::string user = "\\users\\" + platform::sim::SimMachine::UserName() + "\\";
  auto userForm = [&](std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at; (at = text.find(from)) != std::string::npos;) text.replace(at, from.size(), to);
    return text;
  };
  std::vector<std::string> lines;
  for (const check::PathChange& change : plan.files) {
    EXPECT_EQ(change.path.compare(0, 3, "C:\\"), 0) << change.path;
    std::string path = userForm(change.path, user, "\\users\\<user>\\").substr(3);
    std::replace(path.begin(), path.end(), '\\', '/');
    std::string line = std::string(1, change.kind) + " " + Utf8FromCp1250(path) + (change.directory ? "/" : "");
    for (const check::ShortcutMade& link : plan.shortcuts) {
      if (link.link == change.path) {
        line += "\t" + Utf8FromCp1250("-> " + link.target + " | " + link.arguments + " | " + link.workingDirectory +
                                      " | " + link.description);
      }
    }
    lines.push_back(line);
  }
  auto compared = [](const std::string& key) {
    for (std::string root : {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve Technologies"}) {
      if (key == root || key.compare(0, root.size() + 1, root + "\\") == 0) return true;
    }
    std::string below = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    return key.compare(0, below.size(), below) == 0;
  };
  for (const check::RegistryChange& change : plan.registry) {
    if (!compared(change.key)) continue;
    std::string line = std::string(1, change.kind) + " registry " + change.key;
    if (!change.value.empty()) line += "  " + userForm(change.value, "\\\\users\\\\" + platform::sim::SimMachine::UserName() + "\\\\", "\\\\users\\\\<user>\\\\");
    lines.push_back(Utf8FromCp1250(line));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST(PlanTest, TheSampleMediumsPlanIsWhatTheInstallScenarioLeaves) {
  Plan plan = PlanOf("samples/medium");
  EXPECT_EQ(plan.outcome, RunOutcome::Finished);
  EXPECT_EQ(check::PlanExitStatus(plan), 0);
  // The scenario's file: "+ path<tab>md5" for a file, a shortcut's line
  // whole; the checksums are the copies', which the plan does not make.
  std::ifstream in(kSource / "tests/e2e/scenarios/install/expected-changes");
  std::vector<std::string> expected;
  for (std::string line; std::getline(in, line);) {
    std::size_t tab = line.find('\t');
    if (tab != std::string::npos && line.compare(tab, 4, "\t-> ") != 0) line.resize(tab);
    expected.push_back(line);
  }
  std::sort(expected.begin(), expected.end());
  ASSERT_GT(expected.size(), 30u);
  EXPECT_EQ(AsScenarioChanges(plan), expected);
  EXPECT_TRUE(plan.raised.empty());
  EXPECT_TRUE(plan.conversion.empty()) << "a first installation converts nothing";
}

TEST(PlanTest, ANamedMachineIsCopiedNeverChanged) {
  TempDir temp;
  fs::path machineDir = temp.path() / "machine";
  {
    platform::sim::SimMachine machine(machineDir, kSource / "samples/medium");
    Registry registry(machine.registry());
    // An earlier Btrieve 6.15 whose setting the check raises.
    ASSERT_TRUE(registry.SetValueDWord(
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve Technologies\\Microkernel Workstation Engine\\Version 6.15\\Settings",
        "Max Open Files", 0x80));
    fs::create_directories(machineDir / "drive_c/QZRAKTAR");
    std::ofstream(machineDir / "drive_c/QZRAKTAR/RAKTAR.EXE") << "older";
  }
  std::map<std::string, std::string> before = Contents(machineDir);
  Plan plan = PlanOf("samples/medium", machineDir);
  EXPECT_EQ(Contents(machineDir), before);
  EXPECT_EQ(plan.outcome, RunOutcome::Finished) << "the operator answers Yes to the existing directory";
  ASSERT_EQ(plan.raised.size(), 1u);
  EXPECT_EQ(plan.raised[0].name, "Max Open Files");
  EXPECT_EQ(plan.raised[0].before, 0x80u);
  EXPECT_EQ(plan.raised[0].after, 0x100u);
  auto has = [&](char kind, const std::string& path) {
    return std::any_of(plan.files.begin(), plan.files.end(),
                       [&](const check::PathChange& c) { return c.kind == kind && c.path == path; });
  };
  EXPECT_TRUE(has('~', "C:\\QZRAKTAR\\RAKTAR.EXE")) << "replaced";
  EXPECT_TRUE(has('+', "C:\\QZRAKTAR\\RAKTAR.HLP"));
  EXPECT_FALSE(has('+', "C:\\QZRAKTAR")) << "it was there";
  std::string text = check::FormatPlan(plan, "samples/medium");
  EXPECT_THAT(text, ::testing::HasSubstr("on a copy of the machine " + machineDir.string() + "\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("\nBtrieve settings raised:\n  HKEY_LOCAL_MACHINE\\SOFTWARE\\Btrieve "
                                         "Technologies\\Microkernel Workstation Engine\\Version 6.15\\Settings  "
                                         "\"Max Open Files\": 128 -> 256\n"));
}

TEST(PlanTest, AMachineWithALinkOutOfItIsNotRun) {
  TempDir temp;
  fs::path machineDir = temp.path() / "machine";
  fs::create_directories(machineDir / "drive_c");
  fs::create_directories(temp.path() / "outside");
  fs::create_directory_symlink(temp.path() / "outside", machineDir / "drive_c/QZRAKTAR");
  EXPECT_THROW(PlanOf("samples/medium", machineDir), std::runtime_error);
  fs::remove(machineDir / "drive_c/QZRAKTAR");
  fs::create_directory_symlink("../drive_c", machineDir / "drive_c/inside");
  EXPECT_NO_THROW(PlanOf("samples/medium", machineDir)) << "a link within the machine stays within the copy";
  EXPECT_TRUE(fs::is_empty(temp.path() / "outside"));
}

TEST(PlanTest, AnUpdateShowsItsBackupAndTheConversionOfEachVersion) {
  TempDir temp;
  Install(temp.path() / "machine", "samples/medium");
  Plan plan = PlanOf("samples/medium-update", temp.path() / "machine");
  EXPECT_EQ(plan.outcome, RunOutcome::Finished);
  EXPECT_EQ(plan.settings.installType, kInstallUpdate);
  EXPECT_EQ(plan.backupDir, "C:\\windows\\Vormex\\MENTES.TMP");
  EXPECT_EQ(plan.backupEntries, 9u) << "the home directory's files and folders";
  ASSERT_EQ(plan.conversion.size(), 2u);
  EXPECT_EQ(plan.conversion[0].version, "2.0");
  EXPECT_EQ(plan.conversion[1].version, "2.1");
  EXPECT_EQ(plan.conversion[1].line, 11);
  std::string text = check::FormatPlan(plan, "samples/medium-update");
  EXPECT_THAT(text, ::testing::HasSubstr(Utf8FromCp1250("QZ Raktár 2.2: an update (UPDATE) into C:\\QZRAKTAR, installed version 2.1\n")));
  EXPECT_THAT(text, ::testing::HasSubstr(
                        "  2.1 (line 11), the installed version: the one this run converts:\n"
                        "    CIKK.DAT: insert a field of 8 bytes at 53\n"
                        "    PARTNER.DAT: append a field of 16 bytes\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("PARTNER.DAT: insert a field of 20 bytes at 69; append a field of 16 bytes; "
                                         "insert the record \"ALAPERTELMEZETT\"\n"));
}

TEST(PlanTest, ARunThatStopsShowsItsMessage) {
  Plan plan = PlanOf("samples/medium-patch");
  EXPECT_EQ(plan.outcome, RunOutcome::Stopped);
  EXPECT_EQ(check::PlanExitStatus(plan), 1);
  ASSERT_EQ(plan.messages.size(), 1u);
  EXPECT_THAT(plan.messages[0], ::testing::HasSubstr("A QZ Raktár program frissítése nem lehetséges!"));
  EXPECT_TRUE(plan.shortcuts.empty());
  EXPECT_TRUE(plan.registry.empty());
  EXPECT_THAT(check::FormatPlan(plan, "m"), ::testing::HasSubstr("The setup would stop before any page\n"));
}

}  // namespace
}  // namespace qz::test
