// Installs a medium of 10,000 files in 100 directories (200 MB) with the
// "Home:" section on the simulated machine, then makes the UPDATE backup of
// the installed tree, and times both against `cp -r` of the same tree in
// the same run. Prints its figures, and the peak memory after a run of a
// quarter of the files and after the full run, to show that it does not
// grow with the number of files.
//
//   bench_install [ROUNDS]
//
// The trees go below $QZ_BENCH_DIR (default: the temporary directory); on a
// tmpfs such as /dev/shm the figures show the programs' own cost without the
// disk's writeback.

#include <sys/resource.h>
#include <unistd.h>

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
#include "engine/Backup.h"
#include "engine/InstallFiles.h"
#include "engine/SetupScript.h"
#include "engine/StepContext.h"
#include "platform/sim/SimMachine.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using namespace qz::bench;

// The page's list is not what is measured: it counts the lines only.
class CountingList : public qz::platform::ListControl {
 public:
  void AddString(const char*) override { ++lines; }
  void SelectString(int, const char*) override {}
  long lines = 0;
};

class SilentOwner : public qz::platform::MessageOwner {
 public:
  int ShowMessage(const char* text, const char*, qz::platform::Buttons, qz::platform::Icon) override {
    std::fprintf(stderr, "message box: %s\n", text);
    return qz::platform::kIdOk;
  }
};

class NoBtrieve : public qz::platform::BtrieveEngine {
 public:
  std::uint16_t Call(std::uint16_t, void*, void*, std::uint32_t*, void*, std::uint8_t, std::int8_t) override {
    return 20;
  }
};

// The medium: `directories` directories of 100 files, and the "Home:"
// section that installs them.
void MakeMedium(const fs::path& medium, int directories) {
  MakeTree(medium, directories);
  std::ofstream script(medium / "setup.ini", std::ios::binary);
  script << "Home:\r\n";
  for (int d = 0; d < directories; ++d) {
    script << "DIR \"" << TreeDirName(d) << "\"\r\n";
    for (int f = 0; f < kFilesPerDirectory; ++f) script << "\"" << TreeFileName(f) << "\"\r\n";
    script << "DIR \"..\"\r\n";
  }
}

// Processor seconds (user and system) of this process or of its children.
double ProcessorSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Wall-clock and processor time of one copy. On a machine shared with
// other work the processor time is the steadier figure.
struct Timing {
  double wall = 0;
  double processor = 0;
};

template <typename Work>
Timing Time(int who, Work work) {
  sync();  // each copy starts with the disk's writeback done
  double before = ProcessorSeconds(who);
  auto start = Clock::now();
  work();
  return {std::chrono::duration<double>(Clock::now() - start).count(), ProcessorSeconds(who) - before};
}

// `cp -r` of every directory of `from` into the new directory `to`.
Timing CopyWithCp(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  std::string command = "cp -r '" + from.string() + "'/DIR* '" + to.string() + "'/";
  return Time(RUSAGE_CHILDREN, [&] {
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "cp failed\n");
  });
}

struct Figures {
  Timing install, installCp, backup, backupCp;
  long lines = 0;
};

// Each run works in a folder of its own; all are removed at the end, as a
// file system slows the creation of files just after mass deletions (ext4
// skips recently freed inodes), which would burden whichever copy comes
// first.
Figures RunOnce(const fs::path& work, int directories) {
  fs::path medium = work / "medium";
  fs::create_directories(medium);
  MakeMedium(medium, directories);

  qz::platform::sim::SimMachine machine(work / "machine", medium);
  qz::LogFile log(machine.files());
  qz::NameText message;
  log.Open("C:\\windows\\Vormex", message);
  qz::Registry registry(machine.registry());
  registry.AttachLog(&log);
  qz::SetupSettings settings;
  settings.installType = qz::kInstallInstall;
  settings.appName = "Számla";
  settings.appVersion = "1.0";
  settings.homeDir = "C:\\SZAMLA";
  settings.winDir = "C:\\windows";
  settings.sysDir = "C:\\windows\\system32";
  settings.vormexDir = "C:\\windows\\Vormex";
  qz::SetupScript script(machine.files());
  script.Open("setup.ini");
  CountingList list;
  qz::ProgressList progress(list);
  SilentOwner owner;
  NoBtrieve btrieve;
  qz::StepContext ctx{machine.platform(), btrieve, settings, script, log, registry, progress, owner};
  machine.files().MakeDirectory("C:\\SZAMLA");

  Figures figures;
  figures.install = Time(RUSAGE_SELF, [&] {
    if (!qz::InstallSection(ctx, "C:\\SZAMLA", "Home:")) std::fprintf(stderr, "InstallSection failed\n");
  });
  figures.lines = list.lines;
  figures.installCp = CopyWithCp(medium, work / "cp-install");
  settings.installType = qz::kInstallUpdate;
  figures.backup = Time(RUSAGE_SELF, [&] {
    if (!qz::MakeBackup(ctx)) std::fprintf(stderr, "MakeBackup failed\n");
  });
  figures.backupCp = CopyWithCp(machine.HostPath("C:\\SZAMLA"), work / "cp-backup");
  log.Close();
  return figures;
}

void Report(const char* what, const Timing& ours, const Timing& cp) {
  std::printf("%s best %.3f s against cp -r's %.3f s: %.2f of cp -r's speed; processor time %.3f s against %.3f s: %.2f\n",
              what, ours.wall, cp.wall, cp.wall / ours.wall, ours.processor, cp.processor, cp.processor / ours.processor);
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
  const char* base = std::getenv("QZ_BENCH_DIR");
  fs::path work = (base && *base ? fs::path(base) : fs::temp_directory_path()) /
                  ("qz-bench-install-" + std::to_string(getpid()));
  std::printf("Installing %d files in %d directories (%zu MB) and backing them up, %d rounds\n",
              kDirectories * kFilesPerDirectory, kDirectories,
              kDirectories * kFilesPerDirectory * kFileSize >> 20, rounds);

  RunOnce(work / "quarter", kDirectories / 4);
  long quarterPeak = PeakKilobytes();

  // On a shared machine the best round of each is the least disturbed.
  Figures best;
  for (int round = 1; round <= rounds; ++round) {
    Figures f = RunOnce(work / ("round" + std::to_string(round)), kDirectories);
    std::printf("round %d: InstallSection %.3f s (cp -r %.3f s), MakeBackup %.3f s (cp -r %.3f s), %ld list lines\n",
                round, f.install.wall, f.installCp.wall, f.backup.wall, f.backupCp.wall, f.lines);
    auto keep = [round](Timing& to, const Timing& value) {
      if (round == 1 || value.wall < to.wall) to.wall = value.wall;
      if (round == 1 || value.processor < to.processor) to.processor = value.processor;
    };
    keep(best.install, f.install);
    keep(best.installCp, f.installCp);
    keep(best.backup, f.backup);
    keep(best.backupCp, f.backupCp);
  }
  fs::remove_all(work);
  Report("install:", best.install, best.installCp);
  Report("backup: ", best.backup, best.backupCp);
  std::printf("peak memory: %ld KB after %d files, %ld KB after %d files\n", quarterPeak,
              kDirectories / 4 * kFilesPerDirectory, PeakKilobytes(), kDirectories * kFilesPerDirectory);
  return 0;
}
