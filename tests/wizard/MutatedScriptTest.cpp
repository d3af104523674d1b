// The sample medium's setup script mutated many times over (names that
// climb out of their root, drives, devices, dots, lost quotes, lines
// dropped and doubled), each installed on a fresh machine: the installation
// writes nothing outside the home directory, the Windows directory's named
// items, the maker's folder, the program group and the desktop's links.

#include <cstdlib>

#include "setup/SimulatedSetup.h"
#include "tests/support/ScriptMutator.h"
#include "tests/support/SimFixture.h"
#include "tests/support/TreeSnapshot.h"
#include "text/CodePage.h"

namespace qz::test {
namespace {

// The plain names of the "WinDir:" section's items: what may appear right
// in the Windows directory.
std::vector<std::string> WindirNames(const std::string& script) {
  std::vector<std::string> names;
  std::istringstream lines(script);
  bool inside = false;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.back() == ':') inside = line == "WinDir:";
    std::size_t open = line.find('"'), close = open == std::string::npos ? open : line.find('"', open + 1);
    if (inside && close != std::string::npos) names.push_back(Utf8FromCp1250(line.substr(open + 1, close - open - 1)));
  }
  return names;
}

TEST(MutatedScriptTest, TheInstallationWritesNothingOutsideItsFolders) {
  int runs = std::getenv("QZ_MUTATIONS") ? std::atoi(std::getenv("QZ_MUTATIONS")) : 300;
  TempDir temp;
  std::filesystem::path medium = temp.path() / "medium";
  std::filesystem::copy(QZ_SAMPLE_MEDIUM, medium, std::filesystem::copy_options::recursive);
  std::filesystem::path blank = temp.path() / "blank";
  { platform::sim::SimMachine layout(blank, medium); }
  std::string user = platform::sim::SimMachine::UserName();
  std::string programs = "users/" + user + "/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/";
  std::string desktop = "users/" + user + "/Desktop/";

  ScriptMutator mutator(HostText(medium / "setup.ini"), 20261207);
  for (int run = 0; run < runs; ++run) {
    std::string mutated = mutator.Next();
    std::ofstream(medium / "setup.ini", std::ios::binary | std::ios::trunc) << mutated;
    std::filesystem::path root = temp.path() / ("m" + std::to_string(run));
    std::filesystem::copy(blank, root, std::filesystem::copy_options::recursive);
    TreeSnapshot before = SnapshotOf(root / "drive_c");
    std::string appName;
    {
      platform::sim::SimMachine machine(root, medium);
      UnattendedRun result = RunUnattended(machine, {true, "C:\\QZRAKTAR", false, 0});
      appName = Utf8FromCp1250(result.settings.appName.view());
    }
    std::vector<std::string> names = WindirNames(mutated);
    for (const std::string& path : ChangedPaths(before, SnapshotOf(root / "drive_c"))) {
      bool allowed = IsWithin(path, "QZRAKTAR") || IsWithin(path, "windows/Vormex") ||
                     (!appName.empty() && IsWithin(path, programs + appName));
      for (const std::string& name : names) allowed = allowed || IsWithin(path, "windows/" + name);
      bool desktopLink = path.rfind(desktop, 0) == 0 && path.find('/', desktop.size()) == std::string::npos &&
                         path.size() > desktop.size() + 4 && path.compare(path.size() - 4, 4, ".lnk") == 0;
      EXPECT_TRUE(allowed || desktopLink) << "run " << run << " wrote \"" << path << "\"; its script:\n"
                                          << Utf8FromCp1250(mutated);
    }
    std::filesystem::remove_all(root);
    if (::testing::Test::HasFailure()) return;
  }
}

}  // namespace
}  // namespace qz::test
