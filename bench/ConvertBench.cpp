// The database conversion pass over 10,000 database files in 100 database
// directories on the simulated machine, with the machine's Btrieve engine,
// and the parts it is made of: the directory walk, opening files through
// the machine, the engine's Open/Stat/Close, and the engine's parsing of a
// file from memory. Prints its figures (best of the rounds).
//
//   bench_convert [ROUNDS]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "btrieve/ConvertDatabase.h"
#include "btrieve/DbStat.h"
#include "btrieve/MemoryInput.h"
#include "platform/sim/SimList.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/btrieve/SimBtrieve.h"
#include "tools/btrmake/BtrMake.h"
#include "wbtrv/FileReader.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kDirectories = 100;
constexpr int kFilesPerDirectory = 100;
constexpr int kFiles = kDirectories * kFilesPerDirectory;

// A table of three keys in pages of 4,096 bytes, as btrmake makes it, and a
// second page as a file with records would have.
std::vector<std::uint8_t> DatabaseFile() {
  qz::platform::LineReader reader(std::make_unique<qz::MemoryInput>(
      "START\nFile name=T\nRecord length=200\nPage size=4096\nNr. of segments=3\nNr. of records=1500\n"
      "File flags=0\nIdx=0,1,8,258,1500,14,0,0\nIdx=0,9,30,275,700,11,0,0\nIdx=0,39,4,3,1200,1,0,0\n"
      "Idx=0,43,20,267,80,0,32,0\nEND\n"));
  qz::TableMap tables;
  qz::ReadTablesFrom(reader, tables);
  std::vector<std::uint8_t> bytes;
  std::string problem;
  if (!qz::btrmake::MakeVersion5File(*tables["T"], bytes, problem)) {
    std::fprintf(stderr, "bench_convert: %s\n", problem.c_str());
    std::exit(1);
  }
  bytes.resize(2 * 4096, 0);
  return bytes;
}

std::string DirectoryName(int d) {
  qz::FixedText<16> name;
  name.Format("D%03d.DAT", d);
  return std::string(name.view());
}

std::string FileName(int f) {
  qz::FixedText<16> name;
  name.Format("T%03d.DAT", f);
  return std::string(name.view());
}

void MakeHome(const fs::path& home, const std::vector<std::uint8_t>& bytes) {
  for (int d = 0; d < kDirectories; ++d) {
    fs::path dir = home / DirectoryName(d);
    fs::create_directories(dir);
    for (int f = 0; f < kFilesPerDirectory; ++f) {
      std::ofstream out(dir / FileName(f), std::ios::binary);
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
  }
}

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double Best(int rounds, const std::function<void()>& run) {
  double best = 1e30;
  for (int i = 0; i < rounds; ++i) {
    Clock::time_point start = Clock::now();
    run();
    best = std::min(best, Seconds(start));
  }
  return best;
}

void Report(const char* what, double seconds, int count, double pass) {
  std::printf("  %-44s %9.1f ms  %8.2f us/file  %5.1f%% of the pass\n", what, seconds * 1e3, seconds * 1e6 / count,
              100.0 * seconds / pass);
}

class NoMessages : public qz::platform::MessageOwner {
 public:
  int ShowMessage(const char*, const char*, qz::platform::Buttons, qz::platform::Icon) override { return 1; }
};

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  fs::path work = fs::temp_directory_path() / ("qz-bench-convert-" + std::to_string(getpid()));
  fs::remove_all(work);
  fs::create_directories(work / "medium");

  std::vector<std::uint8_t> bytes = DatabaseFile();
  qz::platform::sim::SimMachine machine(work / "machine", work / "medium");
  MakeHome(machine.HostPath("C:\\") / "App", bytes);
  std::vector<std::string> paths;
  for (int d = 0; d < kDirectories; ++d) {
    for (int f = 0; f < kFilesPerDirectory; ++f) paths.push_back("C:\\App\\" + DirectoryName(d) + "\\" + FileName(f));
  }
  std::printf("Conversion pass over %d database files in %d database directories (%zu bytes each), best of %d\n",
              kFiles, kDirectories, bytes.size(), rounds);

  qz::platform::sim::SimBtrieve engine(machine);
  qz::platform::FileSystem& files = machine.files();
  bool passed = true;
  double pass = Best(rounds, [&] {
    qz::SetupSettings settings;
    settings.homeDir.Assign("C:\\App");
    settings.oldVersion.Assign("1.0");
    qz::SetupScript script(files);
    qz::LogFile log(files);
    qz::NameText message;
    log.Open("C:\\windows\\Vormex", message);
    qz::Registry registry(machine.registry());
    qz::platform::sim::SimList list;
    qz::ProgressList progress(list);
    NoMessages messages;
    qz::StepContext ctx{machine.platform(), engine, settings, script, log, registry, progress, messages};
    passed = qz::ConvertDatabase(ctx) && passed && list.items().size() == kFiles + kDirectories;
  });
  if (!passed) {
    std::fprintf(stderr, "bench_convert: the pass failed\n");
    return 1;
  }

  double walk = Best(rounds, [&] {
    qz::platform::ErrorCode error;
    auto home = files.FindFiles("C:\\App\\*.*", error);
    qz::platform::FindEntry entry;
    while (home->Next(entry)) {
      if (entry.IsDots()) continue;
      std::string pattern = "C:\\App\\" + std::string(entry.name.c_str()) + "\\*.DAT";
      auto inner = files.FindFiles(pattern.c_str(), error);
      qz::platform::FindEntry match;
      while (inner && inner->Next(match)) {
      }
    }
  });

  double opens = Best(rounds, [&] {
    char page[512];
    for (const std::string& path : paths) {
      qz::platform::ErrorCode error;
      auto input = files.OpenForReading(path.c_str(), qz::platform::kShareReadWrite, error);
      std::size_t got = 0;
      if (input) input->Read(page, sizeof page, got);
    }
  });

  double requests = Best(rounds, [&] {
    for (std::string path : paths) {
      std::uint8_t block[128] = {};
      std::vector<std::uint8_t> reply(33455);
      std::uint32_t length = 0;
      engine.Call(0, block, nullptr, &length, path.data(), 255, 0);
      length = static_cast<std::uint32_t>(reply.size());
      engine.Call(15, block, reply.data(), &length, nullptr, 255, 0);
      engine.Call(1, block, nullptr, &length, nullptr, 255, 0);
    }
  });

  double parse = Best(rounds, [&] {
    for (int i = 0; i < kFiles; ++i) {
      qz::wbtrv::MemoryFile file(bytes);
      qz::wbtrv::FileFacts facts;
      qz::wbtrv::ReadFileFacts(file, facts);
    }
  });

  std::printf("  %-44s %9.1f ms  %8.2f us/file\n", "conversion pass (ConvertDatabase)", pass * 1e3,
              pass * 1e6 / kFiles);
  Report("directory walk alone", walk, kFiles, pass);
  Report("opening each file through the machine", opens, kFiles, pass);
  Report("engine Open + Stat + Close", requests, kFiles, pass);
  Report("engine parsing alone, from memory", parse, kFiles, pass);

  fs::remove_all(work);
  return 0;
}
