// Removes an installation of 10,000 files in 100 directories (200 MB) on the
// simulated machine, as the uninstaller does, and times it against `rm -rf`
// of the same tree in the same run. Prints its figures.
//
//   bench_uninstall [ROUNDS]

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchTree.h"
#include "common/LogFile.h"
#include "common/ProgressList.h"
#include "common/Registry.h"
#include "platform/sim/SimList.h"
#include "platform/sim/SimMachine.h"
#include "uninst/Removal.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using namespace qz::bench;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
  if (rounds < 1) rounds = 1;
  fs::path work = fs::temp_directory_path() / ("qz-bench-uninstall-" + std::to_string(getpid()));
  fs::remove_all(work);
  fs::create_directories(work);
  std::printf("Uninstalling %d files in %d directories (%zu MB), %d rounds\n", kDirectories * kFilesPerDirectory,
              kDirectories, kDirectories * kFilesPerDirectory * kFileSize >> 20, rounds);
  double totalOurs = 0, totalRm = 0;
  std::vector<double> ratios;
  for (int round = 1; round <= rounds; ++round) {
    qz::platform::sim::SimMachine machine(work / "machine", work);
    fs::path home = machine.HostPath("C:\\SZAMLA");
    fs::path copy = work / "copy";
    MakeTree(home);
    MakeTree(copy);
    sync();  // the new trees' writing must not fall into either side's time
    qz::LogFile log(machine.files());
    qz::NameText message;
    log.Open("C:\\windows\\Vormex", message);
    qz::Registry registry(machine.registry());
    registry.AttachLog(&log);
    registry.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla", "Home Dir", "C:\\SZAMLA");
    registry.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vormex kft\\Számla", "Version", "1.0");
    registry.SetValueString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Számla",
                            "DisplayName", "Számla");
    qz::UninstallContext context{machine.platform(), log, registry};
    qz::platform::sim::SimList list;
    qz::ProgressList progress(list);
    qz::Removal removal(context, "Számla", progress);

    // Each side goes first in every other round, so neither gains from the
    // other having warmed the caches.
    std::string command = "rm -rf '" + copy.string() + "'";
    double rm = 0, ours = 0;
    bool removed = false;
    auto removeWithRm = [&] {
      auto start = Clock::now();
      bool ok = std::system(command.c_str()) == 0;
      rm = Seconds(start);
      return ok;
    };
    auto removeAsTheUninstaller = [&] {
      auto start = Clock::now();
      removed = removal.GetDirs() && removal.RemoveProgramFiles() && removal.RemoveRegistration();
      ours = Seconds(start);
    };
    if (round % 2) {
      if (!removeWithRm()) return 1;
      removeAsTheUninstaller();
    } else {
      removeAsTheUninstaller();
      if (!removeWithRm()) return 1;
    }
    log.Close();
    if (!removed || fs::exists(home)) {
      std::printf("the removal failed\n");
      return 1;
    }
    ratios.push_back(rm / ours);
    totalOurs += ours;
    totalRm += rm;
    std::printf("round %d: uninstaller %.3f s (%.1f us per file, %zu list lines), rm -rf %.3f s, speed ratio %.2f\n",
                round, ours, ours * 1e6 / (kDirectories * kFilesPerDirectory), list.items().size(), rm, rm / ours);
  }
  std::sort(ratios.begin(), ratios.end());
  std::printf("total: uninstaller %.3f s, rm -rf %.3f s, speed ratio %.2f, median of the rounds %.2f (target at least 0.8)\n",
              totalOurs, totalRm, totalRm / totalOurs, ratios[ratios.size() / 2]);
  std::printf("peak memory: %ld kB\n", PeakKilobytes());
  fs::remove_all(work);
  return 0;
}
